#!/usr/bin/env bash
# Prints what the program costs beside the bare loop (the floor any implementation on this
# toolkit pays), on the same generated input and catalog:
#   instructions per line (callgrind, so the figure holds on a busy machine), wall time and
#   lines per second, peak memory for a small and a large input, the peak with the table on a
#   full disk, and the start-up cost on an empty input; then bench/components.sh (platforms of
#   many components) and bench/page.py (the coverage page's size, its writing, and its first
#   paint, filter and scroll in headless Chromium).
# usage: bench/run.sh [CALLGRIND_LINES [LARGE_LINES]]   (defaults: 100000 and 3000000)
set -euo pipefail
cd "$(dirname "$0")/.."
counted=${1:-100000}
large=${2:-3000000}

scripts/install-deps.sh build bench browser
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" >/dev/null

build=$PWD/build-bench
data=$build/bench-data
mkdir -p "$data/catalogs" "$data/bin"
# Inputs are kept between runs: the generator writes the same bytes for the same size.
input() {
    local dir=$data/lines-$1
    if [ ! -f "$dir/Strings.txt" ]; then
        mkdir -p "$dir"
        "$build/bench/trcheck_bench_generate" "$1" "$dir"
    fi
    echo "$dir/Strings.txt"
}
input 0 >/dev/null
/usr/lib/qt6/bin/lrelease -silent "$data/lines-0/bench_de.ts" -qm "$data/catalogs/bench_de.qm"
# The program writes its table beside itself.
cp "$build/trcheck" "$data/bin/trcheck"
program=$data/bin/trcheck
floor=$build/bench/trcheck_bench_floor
options=(-translations "$data/catalogs" -lang de)

# instructions PROGRAM INPUT: instructions executed, whole run
instructions() {
    local out
    out=$(mktemp)
    LANG=C.UTF-8 valgrind --tool=callgrind --callgrind-out-file="$out" \
        "$1" "${options[@]}" "$2" >/dev/null 2>&1 || true
    awk '/^(summary|totals):/ { print $2; exit }' "$out"
    rm -f "$out"
}
# run PROGRAM INPUT: "SECONDS PEAK_KB STATUS"
run() {
    local stats status
    stats=$(mktemp)
    status=0
    LANG=C.UTF-8 /usr/bin/time -f '%e %M' -o "$stats" "$1" "${options[@]}" "$2" >/dev/null \
        2>/dev/null || status=$?
    echo "$(tail -1 "$stats") $status"
    rm -f "$stats"
}

empty=$(input 0) small=$(input 10) measured=$(input "$counted") big=$(input "$large")
bytes=$(stat -c %s "$big")
# calc EXPRESSION: floating-point arithmetic
calc() { awk "BEGIN { print $1 }"; }
printf 'input: %d lines, %.1f bytes per line; catalog: %d messages\n' "$large" \
    "$(calc "$bytes / $large")" "$(grep -c '<message>' "$data/lines-0/bench_de.ts")"

declare -A perLine startup
for name in program floor; do
    exe=${!name}
    startup[$name]=$(instructions "$exe" "$empty")
    full=$(instructions "$exe" "$measured")
    perLine[$name]=$(((full - startup[$name]) / counted))
done

echo
printf '%-8s %12s %10s %12s %12s %12s %14s\n' "" "instr/line" "wall s" "lines/s" \
    "peak 10 KB" "peak big KB" "start-up instr"
for name in program floor; do
    exe=${!name}
    read -r _ smallPeak _ <<<"$(run "$exe" "$small")"
    read -r seconds bigPeak _ <<<"$(run "$exe" "$big")"
    printf '%-8s %12d %10.2f %12.0f %12d %12d %14d\n' "$name" "${perLine[$name]}" "$seconds" \
        "$(calc "$large / ($seconds + 0.001)")" "$smallPeak" "$bigPeak" "${startup[$name]}"
done
printf '\nprogram / floor, instructions per line: %.3f (%d lines under callgrind)\n' \
    "$(calc "${perLine[program]} / ${perLine[floor]}")" "$counted"

# A table that cannot be written must not make the run keep it in memory.
ln -sf /dev/full "$data/bin/Strings_Table.txt"
read -r _ fullPeak status <<<"$(run "$program" "$big")"
rm -f "$data/bin/Strings_Table.txt"
printf 'program, table on a full disk: peak %d KB, exit status %d\n' "$fullPeak" "$status"

echo
bench/components.sh

echo
/usr/bin/python3 bench/page.py "$build/bench/trcoverage_bench_page_feed" "$data/page"
