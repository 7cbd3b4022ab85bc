#!/usr/bin/env bash
# Random platforms, answered by the platform and by the toolkit's own one-catalog-at-a-time
# lookup: every answer, the program's report and its table must be the same, and the platform
# must ask exactly the catalogs that hold each text. Then random platforms in several languages:
# trcoverage's verdicts, counts and missing lines must be what trcheck -lang reports for each
# language, and its conflicts what each catalog says on its own. Last, the catalog each
# component takes for the system's language, in many environments, must be the one the
# toolkit's loader takes.
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
    [ ! -e "$dir/deps/zdep_de.ts" ] || "$lrelease" -silent "$dir/deps/zdep_de.ts" >/dev/null
    "$lrelease" -silent -compress "$dir/deps/base_de.ts" >/dev/null
    [ ${#compressed[@]} -eq 0 ] || "$lrelease" -silent -compress "${compressed[@]}" >/dev/null

    "${emulator[@]}" "$diff_tool" answers platform "$dir" >"$dir/platform.txt"
    "${emulator[@]}" "$diff_tool" answers reference "$dir" >"$dir/reference.txt"
    if ! cmp -s "$dir/platform.txt" "$dir/reference.txt" || [ ! -s "$dir/reference.txt" ]; then
        echo "FAIL seed $seed: answers differ"
        diff "$dir/reference.txt" "$dir/platform.txt" | head -10
        failures=$((failures + 1))
    fi
    if ! asked=$("${emulator[@]}" "$diff_tool" asked "$dir"); then
        echo "FAIL seed $seed: the platform asks other catalogs than those holding a text"
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
        "$(grep -l deps/ "$dir"/*_de.ts | wc -l) with a dependency," \
        "$(grep -c . "$dir/compressed.txt") compressed, $(grep -c ' OK: ' "$dir/report.txt") found;" \
        "$asked"
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

# The system's language as the toolkit takes it: LANGUAGE a list tried in order (also when the
# locale is C), else LC_ALL, LC_MESSAGES, LANG; regions before their language, both spellings.
languages=$work/languages
mkdir -p "$languages"
"${emulator[@]}" "$diff_tool" write-locales "$languages" || { echo "FAIL languages: write"; exit 1; }
for ts in "$languages"/*.ts; do "$lrelease" -silent "$ts" -qm "${ts%.ts}.qm" >/dev/null; done
while read -r setting; do
    # shellcheck disable=SC2086
    if ! answered=$(env -i $setting "${emulator[@]}" "$diff_tool" system-language "$languages"); then
        echo "FAIL the catalogs for [$setting] differ from the toolkit's:"
        failures=$((failures + 1))
    fi
    echo "[$setting]$answered"
done <<'SETTINGS'
LANGUAGE=de
LANG=C LANGUAGE=de
LANG=C.UTF-8 LANGUAGE=de
LANG=en_US.UTF-8 LANGUAGE=xx:de
LC_ALL=C LANGUAGE=pt_BR:de_AT
LANG=de_AT.UTF-8
LC_ALL=de_AT.UTF-8 LANG=pt_BR.UTF-8
LC_MESSAGES=pt_BR.UTF-8 LANG=de_AT.UTF-8
LANGUAGE=br
LANGUAGE=de_DE:pt
LANG=zh_TW.UTF-8
LANGUAGE=zh_Hant_TW
LANG=sr_RS@latin
LANGUAGE=sr_Latn_RS:en
LANG=en_US.UTF-8
LANG=C
SETTINGS
exit $((failures > 0))
