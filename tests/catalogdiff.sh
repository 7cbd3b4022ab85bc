#!/usr/bin/env bash
# Random platforms, answered by the platform and by the toolkit's own one-catalog-at-a-time
# lookup: every answer, the program's report and its table must be the same. Then random
# platforms in several languages: trcoverage's verdicts, counts and missing lines must be what
# trcheck -lang reports for each language, and its conflicts what each catalog says on its own.
# usage: catalogdiff.sh CATALOG_DIFF PROGRAM TRCOVERAGE LRELEASE [EMULATOR...]
set -u
diff_tool=$1 program=$2 coverage=$3 lrelease=$4
shift 4
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

# cover OUT ARGS...: trcoverage's JSON with every detail, on the seed's platform
cover() {
    local out=$1
    shift
    (cd "$dir" && LANG=C.UTF-8 "${emulator[@]}" "$coverage" -translations "$dir" -format json \
        -missing -conflicts "$@" >"$out")
}
for seed in 1 2 3 4 5 6; do
    dir=$work/languages-$seed
    mkdir -p "$dir"
    "${emulator[@]}" "$diff_tool" languages "$seed" "$dir" || { echo "FAIL languages $seed: write"; exit 1; }
    "$lrelease" -silent "$dir"/*.ts >/dev/null
    mapfile -t locales <"$dir/locales.txt"
    # Every language there by default; named ones in the order given, falling back per
    # component (pt_BR to pt, de_DE to de) or finding nothing at all (xx).
    asked=(pt_BR de_DE xx fr sv_SE)
    cover "$dir/default.json" "$dir/Strings.txt"
    cover "$dir/asked.json" "${asked[@]/#/-lang=}" "$dir/Strings.txt" 2>/dev/null
    cover "$dir/piped.json" /dev/stdin < <(cat "$dir/Strings.txt")
    for language in "${locales[@]}" "${asked[@]}"; do
        (cd "$dir" && LANG=C.UTF-8 "${emulator[@]}" "$work/bin/trcheck" -translations "$dir" \
            -lang "$language" "$dir/Strings.txt" >"$dir/report-$language.txt" 2>/dev/null)
    done
    for run in "default ${locales[*]}" "asked ${asked[*]}"; do
        # shellcheck disable=SC2086 # the languages are words
        "${emulator[@]}" "$diff_tool" coverage "$dir" "$dir/${run%% *}.json" ${run#* } ||
            { echo "FAIL languages $seed: ${run%% *} languages"; failures=$((failures + 1)); }
    done
    cmp -s "$dir/default.json" "$dir/piped.json" ||
        { echo "FAIL languages $seed: through a pipe"; failures=$((failures + 1)); }
    echo "languages $seed: $(wc -l <"$dir/components.txt") components, ${#locales[@]} languages," \
        "$(grep -c '"role": "differs"' "$dir/default.json") differing answers," \
        "$(grep -c '"role": "same"' "$dir/default.json") same"
done
exit $((failures > 0))
