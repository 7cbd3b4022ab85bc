#!/usr/bin/env bash
# Random platforms, answered by the platform and by the toolkit's own one-catalog-at-a-time
# lookup: every answer, the program's report and its table must be the same, and the platform
# must ask exactly the catalogs that hold each text. Then the catalog each component takes for
# the system's language, in many environments, must be the one the toolkit's loader takes.
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

# The system's language as the toolkit takes it: LANGUAGE a list tried in order (also when the
# locale is C), else LC_ALL, LC_MESSAGES, LANG; regions before their language, both spellings.
languages=$work/languages
mkdir -p "$languages"
"${emulator[@]}" "$diff_tool" write-languages "$languages" || { echo "FAIL languages: write"; exit 1; }
for ts in "$languages"/*.ts; do "$lrelease" -silent "$ts" -qm "${ts%.ts}.qm" >/dev/null; done
while read -r setting; do
    # shellcheck disable=SC2086
    if ! answered=$(env -i $setting "${emulator[@]}" "$diff_tool" languages "$languages"); then
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
