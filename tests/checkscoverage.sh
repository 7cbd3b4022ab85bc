#!/usr/bin/env bash
# trcoverage's checks end to end against the model: catalogs of several components in several
# languages from tests/checkscoverage.py, compiled with lrelease, the strings file given through
# a pipe; -format json and -format csv (with -conflicts, whose answers come another way) must
# list per language the problems, counts and missing lines the model gives for every line's
# answering translation, and -fail-on-checks must fail with the model's languages and counts.
# Skipped (status 77) without /usr/bin/python3. CHECKS_SEED=N tries another platform (default 1).
# usage: checkscoverage.sh TRCOVERAGE LRELEASE [EMULATOR...]
set -u
trcoverage=$1 lrelease=$2 emulator=("${@:3}")
if [ ! -x /usr/bin/python3 ]; then
    echo "SKIP: /usr/bin/python3 is not installed"
    exit 77
fi
model=(/usr/bin/python3 -B "$(dirname "$0")/checkscoverage.py")
seed=${CHECKS_SEED:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat=$work/catalogs
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# Three batches of the pass and more, so that lines are read while others are checked.
read -ra languages < <("${model[@]}" make "$seed" 2500 "$cat") || exit 1
for ts in "$cat"/*.ts; do
    "$lrelease" -silent "$ts" -qm "${ts%.ts}.qm" || fail "lrelease $ts"
done
# cover OUTPUT ARGS...: trcoverage on the platform, Strings.txt through a pipe
cover() {
    local output=$1
    shift
    # shellcheck disable=SC2002 # a pipe, not the file, is what is read
    cat "$cat/Strings.txt" | (cd "$work" && "${emulator[@]}" "$trcoverage" \
        -translations "$cat" "$@" /dev/stdin >"$output" 2>"$output.err")
}

lang=()
for language in "${languages[@]}"; do
    lang+=(-lang "$language")
done
limits=(-max-width 60 -max-growth 150)
cover "$work/json" "${lang[@]}" -checks "${limits[@]}" -missing -format json ||
    fail "-format json: status $?"
cover "$work/csv" "${lang[@]}" -checks "${limits[@]}" -conflicts -format csv ||
    fail "-format csv: status $?"
"${model[@]}" compare "$cat" "${limits[1]}" "${limits[3]}" "$work/json" "$work/csv" ||
    fail "the outputs differ from the model (seed $seed)"

# The gate in the other order of languages, without -checks: counted, not listed.
reversed=()
for language in "${languages[@]}"; do
    reversed=(-lang "$language" "${reversed[@]}")
done
cover "$work/text" "${reversed[@]}" -fail-on-checks -max-width 200
status=$?
# shellcheck disable=SC2046 # the languages are words
"${model[@]}" gate "$cat" 200 "$status" "$work/text.err" "$work/text" \
    $(printf '%s\n' "${languages[@]}" | tac) ||
    fail "-fail-on-checks differs from the model (seed $seed)"
exit $((failures > 0))
