#!/usr/bin/env bash
# Prints what the program costs beside the bare loop (the floor any implementation on this
# toolkit pays), on the same generated input and catalog:
#   instructions per line (callgrind, so the figure holds on a busy machine), wall time and
#   lines per second, peak memory for a small and a large input, the peak with the table on a
#   full disk, and the start-up cost on an empty input.
# Then trcoverage on 1, 10 and 30 languages (the same catalog under other languages' names):
#   instructions per line and language against trcheck's per line, wall time against trcheck
#   run once per language (one run after another, and two at a time), and peak memory; then on
#   10 languages, what checking every translation costs beside: instructions and peak memory.
# Last, bench/page.py: the coverage page's size, its writing, and its first paint, filter and
#   scroll in headless Chromium.
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

# trcoverage: every language's catalog is the German one under that language's name, so that
# each language costs what trcheck -lang de costs. Counted on a smaller input: 30 languages
# under callgrind take long.
echo
names=(de fr es it pt nl sv da 'fi' nb pl cs sk hu ro bg el tr ru uk ja ko zh ar he hi th vi id ms)
cp "$build/trcoverage" "$data/bin/trcoverage"
mkdir -p "$data/bin2"
cp "$build/trcheck" "$data/bin2/trcheck"
coverage=$data/bin/trcoverage
few=20000
fewInput=$(input "$few")
checkPerLine=$((($(instructions "$program" "$fewInput") - startup[program]) / few))
# timed COMMAND...: "WALL CPU PEAK_KB" of the command and all it starts, its output dropped
timed() {
    local stats
    stats=$(mktemp)
    LANG=C.UTF-8 /usr/bin/time -f '%e %U %S %M' -o "$stats" "$@" >/dev/null 2>&1 || true
    tail -1 "$stats" | awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }'
    rm -f "$stats"
}
# checks BIN LANGUAGE...: trcheck from BIN on the large input, once per language, one run after
# another; pairs BIN LANGUAGE...: the same two at a time, the second from its own copy of the
# program, so that the two write their tables apart
checks() {
    local bin=$1 language
    shift
    for language in "$@"; do
        "$bin/trcheck" -translations "$dir" -lang "$language" "$big"
    done
}
pairs() {
    local odd=() even=() i
    for ((i = 2; i <= $#; ++i)); do
        if ((i % 2)); then odd+=("${!i}"); else even+=("${!i}"); fi
    done
    checks "$1" "${even[@]}" &
    checks "$data/bin2" "${odd[@]}"
    wait
}
export -f checks pairs
export data big
printf '%-9s %9s %9s %6s | %7s %7s | %14s %14s | %6s %6s | %8s %8s %8s\n' languages \
    instr/l/L trcheck/l ratio "wall s" "cpu s" "trcheck seq" "trcheck x2" "/seq" "/x2" \
    "KB 10" "KB big" "KB -miss"
printf '%-9s %9s %9s %6s | %7s %7s | %14s %14s | %6s %6s | %8s %8s %8s\n' "" "" "" "" "" "" \
    "wall  cpu" "wall  cpu" "wall" "wall" "" "" ""
for count in 1 10 30; do
    dir=$data/languages-$count
    export dir
    mkdir -p "$dir"
    for name in "${names[@]:0:count}"; do
        cp "$data/catalogs/bench_de.qm" "$dir/bench_$name.qm"
    done
    options=(-translations "$dir")
    start=$(instructions "$coverage" "$empty")
    coveragePerLine=$((($(instructions "$coverage" "$fewInput") - start) / (few * count)))
    read -r _ _ smallPeak <<<"$(timed "$coverage" "${options[@]}" "$small")"
    read -r wall cpu bigPeak <<<"$(timed "$coverage" "${options[@]}" "$big")"
    read -r _ _ missingPeak <<<"$(timed "$coverage" "${options[@]}" -missing "$big")"
    read -r seqWall seqCpu _ <<<"$(timed bash -c 'checks "$@"' _ "$data/bin" "${names[@]:0:count}")"
    read -r pairWall pairCpu _ <<<"$(timed bash -c 'pairs "$@"' _ "$data/bin" "${names[@]:0:count}")"
    printf '%-9d %9d %9d %6.3f | %7.2f %7.2f | %6.2f %7.2f %6.2f %7.2f | %6.3f %6.3f | %8d %8d %8d\n' \
        "$count" "$coveragePerLine" "$checkPerLine" "$(calc "$coveragePerLine / $checkPerLine")" \
        "$wall" "$cpu" \
        "$seqWall" "$seqCpu" "$pairWall" "$pairCpu" "$(calc "$wall / $seqWall")" \
        "$(calc "$wall / $pairWall")" "$smallPeak" "$bigPeak" "$missingPeak"
done
printf '(instructions on %d lines; instr/l/L: per line and language; /seq and /x2: wall time to\n' "$few"
printf ' trcheck run once per language, one run after another, and two at a time; load now: %s)\n' \
    "$(cut -d' ' -f1-3 /proc/loadavg)"

# The checks of every translation, on the 10 languages: instructions per line and language
# without them, with them counted only (the limits and -fail-on-checks, which lists nothing) and
# with them listed (-checks and the limits); peak memory for 10 lines, a tenth of the large input
# and the whole, which must not grow with the input unless the lines with problems are listed.
echo
dir=$data/languages-10
limits=(-max-width 40 -max-growth 180)
tenth=$(input $((large / 10)))
printf '%-56s %9s %6s | %8s %8s %8s\n' "checks, 10 languages" instr/l/L ratio "KB 10" \
    "KB big/10" "KB big"
for mode in none counted listed; do
    options=(-translations "$dir")
    case $mode in
    counted) options+=("${limits[@]}" -fail-on-checks) ;;
    listed) options+=(-checks "${limits[@]}") ;;
    esac
    start=$(instructions "$coverage" "$empty")
    checkedPerLine=$((($(instructions "$coverage" "$fewInput") - start) / (few * 10)))
    [ "$mode" != none ] || plainPerLine=$checkedPerLine
    read -r _ _ smallPeak <<<"$(timed "$coverage" "${options[@]}" "$small")"
    read -r _ _ tenthPeak <<<"$(timed "$coverage" "${options[@]}" "$tenth")"
    read -r _ _ bigPeak <<<"$(timed "$coverage" "${options[@]}" "$big")"
    printf '%-56s %9d %6.3f | %8d %8d %8d\n' "$mode: ${options[*]:2}" "$checkedPerLine" \
        "$(calc "$checkedPerLine / $plainPerLine")" "$smallPeak" "$tenthPeak" "$bigPeak"
done
printf '(goal: a ratio of at most 1.3 with the lines listed; %s of the %d lines flagged in each\n' \
    "$("$coverage" -translations "$dir" -lang de "${limits[@]}" -format csv "$fewInput" |
        awk -F, '$1 == "summary" { print $12 }')" "$few"
printf ' language, listed in the text format)\n'

echo
/usr/bin/python3 -B bench/page.py "$build/bench/trcoverage_bench_page_feed" "$data/page"
