#!/usr/bin/env bash
# The checks of a translation against their model (tests/checksmodel.py): random pairs from
# tests/checkspairs.py, faults of every kind planted, checked by checks_driver without limits
# and with them, must give the model's widths and problems, pair for pair. Then the catalogs
# the generator writes for a run of the programs: trcoverage must find translated exactly the
# lines the generator says it translated. Skipped (status 77) without /usr/bin/python3.
# CHECKS_SEED=N tries other pairs (default 1).
# usage: checksdiff.sh DRIVER TRCOVERAGE LRELEASE [EMULATOR...]
set -u
driver=$1 trcoverage=$2 lrelease=$3 emulator=("${@:4}")
if [ ! -x /usr/bin/python3 ]; then
    echo "SKIP: /usr/bin/python3 is not installed"
    exit 77
fi
python=(/usr/bin/python3 -B)
pairs=$(dirname "$0")/checkspairs.py
seed=${CHECKS_SEED:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

"${python[@]}" "$pairs" pairs "$seed" 6000 "$work/pairs" || exit 1
for limits in "" "-max-width 30 -max-growth 150" "-max-growth 100"; do
    # shellcheck disable=SC2086 # the limits are words
    "${emulator[@]}" "$driver" $limits "$work/pairs" >"$work/results" ||
        fail "checks_driver $limits: status $?"
    # shellcheck disable=SC2086
    "${python[@]}" "$pairs" compare $limits "$work/pairs" "$work/results" ||
        fail "checks ${limits:-without limits} differ from the model (seed $seed)"
done

cat=$work/catalogs
"${python[@]}" "$pairs" catalogs "$seed" 400 "$cat" de ja ar || exit 1
for language in de ja ar; do
    "$lrelease" -silent "$cat/app_$language.ts" || fail "lrelease app_$language.ts"
done
(cd "$work" && "${emulator[@]}" "$trcoverage" -translations "$cat" -lang de -lang ja -lang ar \
    -format csv "$cat/Strings.txt" >"$work/coverage") || fail "trcoverage: status $?"
for language in de ja ar; do
    wanted=$(wc -l <"$cat/pairs_$language.txt")
    found=$(awk -F, -v language="$language" '$1 == "summary" && $2 == language { print $5 }' \
        "$work/coverage")
    [ "$found" = "$wanted" ] ||
        fail "catalogs: $language translates ${found:-nothing} lines, the generator says $wanted"
done
exit $((failures > 0))
