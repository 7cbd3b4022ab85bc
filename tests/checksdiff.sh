#!/usr/bin/env bash
# The checks of a translation against their model (tests/checksmodel.py): random pairs from
# tests/checkspairs.py, faults of every kind planted, checked by checks_driver without limits
# and with them, must give the model's widths and problems, pair for pair (trcoverage's outputs
# against the model: checkscoverage.sh). Skipped (status 77) without /usr/bin/python3.
# CHECKS_SEED=N tries other pairs (default 1).
# usage: checksdiff.sh DRIVER [EMULATOR...]
set -u
driver=$1 emulator=("${@:2}")
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

exit $((failures > 0))
