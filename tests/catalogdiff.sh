#!/usr/bin/env bash
# Random platforms, answered by the platform and by the toolkit's own one-catalog-at-a-time
# lookup: every answer, the program's report and its table must be the same.
# usage: catalogdiff.sh CATALOG_DIFF PROGRAM LRELEASE [EMULATOR...]
set -u
diff_tool=$1 program=$2 lrelease=$3
shift 3
emulator=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
mkdir -p "$work/bin"
cp "$program" "$work/bin/trcheck"

for seed in 1 2 3 4 5 6 7 8; do
    dir=$work/seed-$seed
    mkdir -p "$dir"
    "${emulator[@]}" "$diff_tool" write "$seed" "$dir" || { echo "FAIL seed $seed: write"; exit 1; }
    plain=() compressed=()
    for ts in "$dir"/*_de.ts; do
        name=$(basename "$ts" _de.ts)
        if grep -qxF "$name" "$dir/compressed.txt"; then compressed+=("$ts"); else plain+=("$ts"); fi
    done
    "$lrelease" -silent "${plain[@]}" "$dir/deps/common_de.ts" >/dev/null
    [ ${#compressed[@]} -eq 0 ] || "$lrelease" -silent -compress "${compressed[@]}" >/dev/null
    "${emulator[@]}" "$diff_tool" depend "$dir" || { echo "FAIL seed $seed: depend"; exit 1; }

    "${emulator[@]}" "$diff_tool" answers platform "$dir" >"$dir/platform.txt"
    "${emulator[@]}" "$diff_tool" answers reference "$dir" >"$dir/reference.txt"
    if ! cmp -s "$dir/platform.txt" "$dir/reference.txt" || [ ! -s "$dir/reference.txt" ]; then
        echo "FAIL seed $seed: answers differ"
        diff "$dir/reference.txt" "$dir/platform.txt" | head -10
        failures=$((failures + 1))
    fi

    rm -f "$work/bin/Strings_Table.txt"
    (cd "$dir" && LANG=C.UTF-8 "${emulator[@]}" "$work/bin/trcheck" -translations "$dir" -lang de \
        "$dir/lookups.txt" >"$dir/report.txt")
    "${emulator[@]}" "$diff_tool" check "$dir" >"$dir/reference_report.txt"
    if ! cmp -s "$dir/report.txt" "$dir/reference_report.txt" ||
        ! cmp -s "$work/bin/Strings_Table.txt" "$dir/reference_Table.txt"; then
        echo "FAIL seed $seed: the program's report or table differs"
        diff "$dir/reference_report.txt" "$dir/report.txt" | head -10
        failures=$((failures + 1))
    fi
    echo "seed $seed: $(wc -l <"$dir/components.txt") components," \
        "$(grep -c . "$dir/depend.txt") with a dependency," \
        "$(grep -c . "$dir/compressed.txt") compressed, $(grep -c ' OK: ' "$dir/report.txt") found"
done
exit $((failures > 0))
