#!/usr/bin/env bash
# Prints, for platforms of 1, 10, 50 and 200 components (catalogs of 100 messages, context
# QObject), instructions per line on a 20,000-line input (a third catalog texts) and
# instructions to start up and finish on an empty input, for the program and the bare loop.
# Run by bench/run.sh after it has built the bench preset; usage: bench/components.sh [COUNT...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build bench
build=$PWD/build-bench
data=$build/bench-data/components
lines=20000
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1 10 50 200)
mkdir -p "$data/bin"
cp "$build/trcheck" "$data/bin/trcheck"

# instructions PROGRAM DIR INPUT: instructions executed, whole run
instructions() {
    local out
    out=$(mktemp)
    LANG=C.UTF-8 valgrind --tool=callgrind --callgrind-out-file="$out" \
        "$1" -translations "$2" -lang de "$3" >/dev/null 2>&1 || true
    awk '/^(summary|totals):/ { print $2; exit }' "$out"
    rm -f "$out"
}

printf '%-10s %-8s %12s %14s\n' catalogs "" instr/line "start-up instr"
for count in "${counts[@]}"; do
    dir=$data/$count
    if [ ! -f "$dir/Strings.txt" ]; then
        mkdir -p "$dir/catalogs"
        "$build/bench/trcheck_bench_components" "$count" "$lines" "$dir"
        for ts in "$dir"/*.ts; do
            /usr/lib/qt6/bin/lrelease -silent "$ts" -qm "$dir/catalogs/$(basename "$ts" .ts).qm"
        done
        : >"$dir/empty.txt"
    fi
    for exe in "$data/bin/trcheck" "$build/bench/trcheck_bench_floor"; do
        name=program
        [ "$exe" = "$data/bin/trcheck" ] || name=floor
        startup=$(instructions "$exe" "$dir/catalogs" "$dir/empty.txt")
        full=$(instructions "$exe" "$dir/catalogs" "$dir/Strings.txt")
        printf '%-10s %-8s %12d %14d\n' "$count" "$name" $(((full - startup) / lines)) "$startup"
    done
done
