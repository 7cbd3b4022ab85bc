#!/usr/bin/env bash
# Prints the instructions the checks of a translation cost (callgrind, so the figures hold on a
# busy machine), on 10,000 realistic pairs (tests/checkspairs.py realistic: UI texts of a few
# words, a marker, an accelerator or a tag in one of three or four, translated into ten
# languages, a fault planted now and then), then on each language's alone; without limits and
# with -max-width 40 -max-growth 180. "line" is what a source line costs, found once for all its
# translations; "translation" what each translation costs beside it. The pairs are checked 1
# and 11 times over in one run each; the difference, per pair and round, is the cost of the
# calls alone.
# usage: bench/checks.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build bench
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" --target trcoverage_bench_checks >/dev/null
driver=$PWD/build-bench/bench/trcoverage_bench_checks
data=$PWD/build-bench/bench-data/checks
mkdir -p "$data"
count=10000

# instructions ROUNDS OPTION... PAIRS: instructions executed, whole run
instructions() {
    local out rounds=$1
    shift
    out=$(mktemp)
    valgrind --tool=callgrind --callgrind-out-file="$out" "$driver" -repeat "$rounds" "$@" \
        >/dev/null 2>&1
    awk '/^(summary|totals):/ { print $2; exit }' "$out"
    rm -f "$out"
}
# per_call OPTION... PAIRS: instructions per pair and round
per_call() {
    echo $((($(instructions 11 "$@") - $(instructions 1 "$@")) / (10 * count)))
}

printf '%-8s %9s | %12s %12s | %12s %12s\n' "" "units" "no limits" "" "width, growth" ""
printf '%-8s %9s | %12s %12s | %12s %12s\n' pairs "line/tr" line translation line translation
for language in all de fr ru ar he el ja zh_CN ko uk; do
    pairs=$data/$language.txt
    if [ ! -f "$pairs" ]; then
        if [ "$language" = all ]; then
            /usr/bin/python3 -B tests/checkspairs.py realistic 1 "$count" "$pairs"
        else
            /usr/bin/python3 -B tests/checkspairs.py realistic 1 "$count" "$pairs" "$language"
        fi
    fi
    units=$(awk '{ line += (length($1) - 1) / 4; translation += (length($2) - 1) / 4 }
        END { printf "%4.1f/%4.1f", line / NR, translation / NR }' "$pairs")
    figures=()
    for limits in "" "-max-width 40 -max-growth 180"; do
        # shellcheck disable=SC2086 # the limits are words
        both=$(per_call $limits "$pairs")
        # shellcheck disable=SC2086
        translation=$(per_call -line-once $limits "$pairs")
        figures+=("$((both - translation))" "$translation")
    done
    printf '%-8s %9s | %12d %12d | %12d %12d\n' "$language" "$units" "${figures[@]}"
done
