#!/usr/bin/env bash
# Prints, for platforms of 1, 10, 50 and 200 components (catalogs of 100 messages, context
# QObject), instructions per line on a 20,000-line input (a third catalog texts) and
# instructions to start up and finish on an empty input, for the program and the bare loop.
# Then the start-up of the one-component platform with a hostile catalog beside it: a sparse
# file of 8 KB that declares a 256 MiB hash table; its instructions, wall time and peak memory
# against those of the one-component platform alone. Last, trcoverage's start-up on a platform of
# 1,000 languages of 10 catalogs each (10 components, each catalog of 100 messages, linked under
# 1,000 locale names): wall and CPU time and peak memory on an empty input, and instructions.
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

# platform COUNT: makes $data/COUNT (catalogs/, Strings.txt, empty.txt) unless it is there
platform() {
    local dir=$data/$1 ts
    [ ! -f "$dir/empty.txt" ] || return 0
    mkdir -p "$dir/catalogs"
    "$build/bench/trcheck_bench_components" "$1" "$lines" "$dir"
    for ts in "$dir"/*.ts; do
        /usr/lib/qt6/bin/lrelease -silent "$ts" -qm "$dir/catalogs/$(basename "$ts" .ts).qm"
    done
    : >"$dir/empty.txt"
}

printf '%-10s %-8s %12s %14s\n' catalogs "" instr/line "start-up instr"
for count in "${counts[@]}"; do
    dir=$data/$count
    platform "$count"
    for exe in "$data/bin/trcheck" "$build/bench/trcheck_bench_floor"; do
        name=program
        [ "$exe" = "$data/bin/trcheck" ] || name=floor
        startup=$(instructions "$exe" "$dir/catalogs" "$dir/empty.txt")
        full=$(instructions "$exe" "$dir/catalogs" "$dir/Strings.txt")
        printf '%-10s %-8s %12d %14d\n' "$count" "$name" $(((full - startup) / lines)) "$startup"
    done
done

# The hostile catalog: a hash table of 1,024 real entries and then a hole up to 256 MiB, and
# one message after it.
hostile=$data/hostile
if [ ! -f "$hostile/catalogs/hostile_de.qm" ]; then
    platform 1
    mkdir -p "$hostile/catalogs"
    cp "$data/1/catalogs/c000_de.qm" "$hostile/catalogs/"
    file=$hostile/catalogs/hostile_de.qm
    {
        head -c 16 "$data/1/catalogs/c000_de.qm"
        printf '\x42\x10\x00\x00\x00'
        # shellcheck disable=SC2059
        printf "$(for i in $(seq 1 1024); do
            printf '\\x00\\x00\\x%02x\\x%02x\\x00\\x00\\x00\\x00' $((i / 256)) $((i % 256))
        done)"
    } >"$file"
    truncate -s $((16 + 5 + 0x10000000)) "$file"
    printf '\x69\x00\x00\x00\x01\x01' >>"$file"
fi
printf '\n%-22s %14s %8s %10s\n' "start-up" instructions "wall s" "peak KB"
for dir in "$data/1/catalogs" "$hostile/catalogs"; do
    name="1 catalog"
    [ "$dir" = "$data/1/catalogs" ] || name="1 + the sparse one"
    LANG=C.UTF-8 /usr/bin/time -f '%e %M' -o "$data/time.txt" "$data/bin/trcheck" \
        -translations "$dir" -lang de "$data/1/empty.txt" >/dev/null 2>&1 || true
    read -r wall peak <"$data/time.txt"
    printf '%-22s %14d %8s %10s\n' "$name" "$(instructions "$data/bin/trcheck" "$dir" \
        "$data/1/empty.txt")" "$wall" "$peak"
done

# Many languages: every language's catalogs are read, and each file once; the directory is
# listed once for them all.
languages=$data/languages
if [ ! -f "$languages/done" ]; then
    platform 10
    rm -rf "$languages"
    mkdir -p "$languages/catalogs"
    count=0
    for code in {a..z}{a..z}{a..z}; do
        for qm in "$data/10/catalogs"/c0*_de.qm; do
            name=$(basename "$qm" _de.qm)
            ln "$qm" "$languages/catalogs/${name}_$code.qm"
        done
        count=$((count + 1))
        [ $count -lt 1000 ] || break
    done
    : >"$languages/done"
fi
printf '\n%-22s %8s %8s %10s %14s\n' "trcoverage start-up" "wall s" "CPU s" "peak KB" instructions
LANG=C.UTF-8 /usr/bin/time -f '%e %U %S %M' -o "$data/time.txt" "$build/trcoverage" \
    -translations "$languages/catalogs" "$data/1/empty.txt" >/dev/null 2>&1 || true
read -r wall cpu peak < <(awk '{ print $1, $2 + $3, $4 }' "$data/time.txt")
out=$(mktemp)
LANG=C.UTF-8 valgrind --tool=callgrind --callgrind-out-file="$out" "$build/trcoverage" \
    -translations "$languages/catalogs" "$data/1/empty.txt" >/dev/null 2>&1 || true
printf '%-22s %8s %8s %10s %14d\n' "1,000 languages x 10" "$wall" "$cpu" "$peak" "$(awk '/^(summary|totals):/ { print $2; exit }' "$out")"
rm -f "$out"
