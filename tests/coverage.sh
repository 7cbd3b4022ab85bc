#!/usr/bin/env bash
# Runs the built trcoverage as a user would, on catalogs compiled from tests/catalogs/*.ts, and
# compares its standard output, standard error and exit status byte for byte.
# usage: coverage.sh GROUP TRCOVERAGE CATALOG_DIR [EMULATOR...]
set -u
group=$1 program=$2 built=$3 emulator=("${@:4}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/bin"
cp "$program" "$work/bin/trcoverage"
# A platform of three languages: de from four components (Zeta before alpha, app and zoo
# translating Hello differently), fr from two that agree, pt only for pt_BR to fall back to.
cat=$work/cat
mkdir "$cat"
cp "$built"/{app,zoo,Zeta,alpha}_de.qm "$cat/"
cp "$built/app_pt_BR.qm" "$cat/app_pt.qm"
cp "$built/zoo_de.qm" "$cat/zoo_fr.qm"
cp "$built/zoo_de.qm" "$cat/zoo2_fr.qm"
printf 'Hello\nZoo\nOrder\nMenu\nRadio\nnope\n' >"$work/run/Strings.txt"

# cover ARGS...: the program from $work/run in a neutral environment; standard output in
# $work/out (or $OUT), standard error in $work/err, the exit status in $status
cover() {
    (cd "$work/run" && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 \
        timeout 120 "${emulator[@]}" "$work/bin/trcoverage" "$@" >"${OUT:-$work/out}" 2>"$work/err")
    status=$?
}
# Counted in a file, not a variable: a check fed by a pipe (summary | same ...) runs in a
# subshell, whose count would be lost.
fail() {
    echo "FAIL [$group] $*"
    echo "$*" >>"$work/failures"
}
# same LABEL FILE: FILE holds exactly standard input
same() {
    cat >"$work/wanted"
    cmp -s "$work/wanted" "$2" || {
        fail "$1: $2 differs"
        diff "$work/wanted" "$2" | head -10
    }
}
# outcome LABEL STATUS STDERR: the status and the whole of standard error
outcome() {
    [ "$status" -eq "$2" ] || fail "$1: status $status, expected $2"
    printf '%s' "$3" | same "$1: standard error" "$work/err"
}
usage="Usage:
	$work/bin/trcoverage [-translations DIR] [-lang LOCALE]... [-missing] [-conflicts] [-checks] [-max-width N] [-max-growth PERCENT] [-format text|csv|json] [-fail-under PERCENT [-count-same]] [-fail-on-checks] [-html FILE] Strings.txt
"
summary() { # the summary of Strings.txt in $cat
    printf '%s\n' "Lines:    6" "Catalogs: $cat" "" \
        "Language  Translated  Untranslated  Same   Share" \
        "de                 4             2     1   66.6%  █████████████░░░░░░░" \
        "fr                 2             4     0   33.3%  ██████░░░░░░░░░░░░░░" \
        "pt                 1             5     0   16.6%  ███░░░░░░░░░░░░░░░░░"
}

case $group in
usage)
    # Every mistake is told before any file is opened, and nothing goes to standard output.
    # (Which thresholds are numbers from 0 to 100 is the unit tests'.)
    for args in "" "a b" "-format xml no/such.txt" "-fail-under abc no/such.txt" "Strings.txt -lang"; do
        # shellcheck disable=SC2086
        cover $args
        [ "$status" -eq 1 ] || fail "'$args': status $status"
        [ -s "$work/out" ] && fail "'$args': standard output"
        same "'$args': usage" <(tail -2 "$work/err") <<<"${usage%$'\n'}"
    done
    cover -format xml Strings.txt
    outcome "unknown format" 1 "Unknown format 'xml': text, csv or json."$'\n'"$usage"
    cover -fail-under 100.5 Strings.txt
    outcome "threshold past 100" 1 "-fail-under takes a number from 0 to 100, not '100.5'."$'\n'"$usage"
    cover -bogus Strings.txt
    outcome "unknown option" 1 "Unknown option 'bogus'."$'\n'"$usage"
    cover -lang '' Strings.txt
    outcome "empty language" 1 "-lang takes a language name, such as de or pt_BR."$'\n'"$usage"
    cover -max-growth 1.5 Strings.txt
    outcome "growth not whole" 1 "-max-growth takes a whole percent, not '1.5'."$'\n'"$usage"
    cover -count-same Strings.txt
    outcome "-count-same alone" 1 "-count-same goes with -fail-under."$'\n'"$usage"
    for help in --help -help; do
        cover "$help"
        outcome "$help" 0 ""
        same "$help: first line" <(head -1 "$work/out") <<<"Usage: $work/bin/trcoverage [options] Strings.txt"
        grep -q -- '--fail-under <PERCENT>' "$work/out" || fail "$help: no -fail-under"
    done
    cover --version
    outcome "--version" 0 ""
    same "--version" "$work/out" <<<"trcoverage 1.0.0"
    # What cannot be shown is no success.
    for shown in --help --version; do
        OUT=/dev/full cover "$shown"
        outcome "$shown on a full disk" 4 "Cannot write the report to standard output."$'\n'
    done
    ;;
unreadable)
    mkdir "$work/run/adir"
    cover -translations "$cat" no/such.txt
    outcome "missing file" 2 "Cannot open 'no/such.txt' file for read."$'\n'
    cover -translations "$cat" adir
    outcome "directory" 2 "Cannot open 'adir' file for read."$'\n'
    # What was read is summed up before the message.
    cover -translations "$cat" -lang de /proc/self/mem
    outcome "read error" 2 "Cannot read '/proc/self/mem' file."$'\n'
    same "read error: summary" <(head -1 "$work/out") <<<"Lines:    0"
    # The input's failure is the one told, though the output failed as well.
    OUT=/dev/full cover -translations "$cat" -lang de /proc/self/mem
    outcome "read error, output failing" 2 "Cannot read '/proc/self/mem' file."$'\n'
    ;;
nocatalog)
    mkdir "$work/empty" "$work/other" "$work/odd"$'\xff'
    touch "$work/other/notes.txt" "$work/other/x.qm" "$work/other/app_DE.qm"
    for dir in "$work/nowhere" "$work/empty" "$work/other" "$work/odd"$'\xff'; do
        for lang in "" "-lang de"; do
            # shellcheck disable=SC2086
            cover -translations "$dir" $lang Strings.txt
            outcome "$dir $lang" 6 "No catalog in '$dir'."$'\n'
            [ -s "$work/out" ] && fail "$dir: standard output"
        done
    done
    # A broken catalog is a catalog: its language is reported, the platform names the file.
    echo 'not a catalog' >"$work/empty/garbage_de.qm"
    cover -translations "$work/empty" Strings.txt
    outcome "broken catalog" 0 \
        "ZApplication: cannot load catalog '$work/empty/garbage_de.qm': not a catalog"$'\n'
    same "broken catalog: nothing translated" <(tail -1 "$work/out") \
        <<<"de                 0             6     0    0.0%  ░░░░░░░░░░░░░░░░░░░░"
    # Two languages that fall back to the same broken catalog: it is named once.
    cover -translations "$work/empty" -lang de -lang de_DE Strings.txt
    outcome "broken catalog, two languages" 0 \
        "ZApplication: cannot load catalog '$work/empty/garbage_de.qm': not a catalog"$'\n'
    same "broken catalog, two languages" <(tail -2 "$work/out") <<'END'
de                 0             6     0    0.0%  ░░░░░░░░░░░░░░░░░░░░
de_DE              0             6     0    0.0%  ░░░░░░░░░░░░░░░░░░░░
END
    ;;
summary)
    cover -translations "$cat" Strings.txt
    outcome "summary" 0 ""
    summary | same "summary" "$work/out"
    # Named languages in the order given, each once; one with no catalog is reported and named,
    # and the columns widen for the longest name.
    cover --translations="$cat" -lang pt_BR --lang de_DE -lang=xx --lang=ca_valencia -lang de_DE Strings.txt
    outcome "named languages" 0 "ZApplication: no catalog for language 'xx' in '$cat'
ZApplication: no catalog for language 'ca_valencia' in '$cat'
"
    same "named languages" <(tail -n +4 "$work/out") <<'END'
Language     Translated  Untranslated  Same   Share
pt_BR                 1             5     0   16.6%  ███░░░░░░░░░░░░░░░░░
de_DE                 4             2     1   66.6%  █████████████░░░░░░░
xx                    0             6     0    0.0%  ░░░░░░░░░░░░░░░░░░░░
ca_valencia           0             6     0    0.0%  ░░░░░░░░░░░░░░░░░░░░
END
    # A name beyond the BMP takes a column a character, not one a UTF-16 unit: ca_𝔳𝔞𝔩 fits.
    cover -translations "$cat" -lang de -lang 'ca_𝔳𝔞𝔩' Strings.txt
    outcome "a name beyond the BMP" 0 "ZApplication: no catalog for language 'ca_𝔳𝔞𝔩' in '$cat'"$'\n'
    same "a name beyond the BMP" <(tail -n +4 "$work/out") <<'END'
Language  Translated  Untranslated  Same   Share
de                 4             2     1   66.6%  █████████████░░░░░░░
ca_𝔳𝔞𝔩             0             6     0    0.0%  ░░░░░░░░░░░░░░░░░░░░
END
    # The same from a pipe that hands the bytes over in pieces, led by a byte-order mark and
    # with CR LF line ends.
    cover -translations "$cat" /dev/stdin < <(printf '\xef\xbb\xbfHello\r\nZoo\r\n'; sleep 0.1
        printf 'Order\r\nMe'; sleep 0.1; printf 'nu\r\nRadio\r\nnope')
    summary | same "through a pipe" "$work/out"
    # An empty input leaves nothing untranslated.
    : >"$work/run/empty.txt"
    cover -translations "$cat" -lang de -fail-under 100 empty.txt
    outcome "empty input" 0 ""
    same "empty input" <(tail -1 "$work/out") <<<"de                 0             0     0  100.0%  ████████████████████"
    ;;
details)
    cover -translations "$cat" -missing -conflicts Strings.txt
    outcome "-missing -conflicts" 0 ""
    { summary; cat <<'END'

Untranslated in de: 2
     5 'Radio'  (same)
     6 'nope'

Untranslated in fr: 4
     3 'Order'
     4 'Menu'
     5 'Radio'
     6 'nope'

Untranslated in pt: 5
     2 'Zoo'
     3 'Order'
     4 'Menu'
     5 'Radio'
     6 'nope'

Conflicts in de: 3
     1 'Hello'
         answers  app  'Hallo'
         differs  zoo  'Servus'
     3 'Order'
         answers  Zeta   'von Zeta'
         differs  alpha  'von alpha'
     4 'Menu'
         answers  Zeta   'Menü von Zeta'
         differs  alpha  'Menü von alpha'

Conflicts in fr: 2
     1 'Hello'
         answers  zoo   'Servus'
         same     zoo2  'Servus'
     2 'Zoo'
         answers  zoo   'Tierpark'
         same     zoo2  'Tierpark'

Conflicts in pt: 0
END
    } | same "-missing -conflicts" "$work/out"
    cover -translations "$cat" -lang fr -lang pt -missing -conflicts -format csv Strings.txt
    sed 's/$/\r/' <<'END' | same "CSV" "$work/out"
record,language,line,text,translated,untranslated,share,component,translation,role,same,flagged,checks
summary,fr,,,2,4,33.3,,,,0,,
summary,pt,,,1,5,16.6,,,,0,,
missing,fr,3,Order,,,,,,,0,,
missing,fr,4,Menu,,,,,,,0,,
missing,fr,5,Radio,,,,,,,0,,
missing,fr,6,nope,,,,,,,0,,
missing,pt,2,Zoo,,,,,,,0,,
missing,pt,3,Order,,,,,,,0,,
missing,pt,4,Menu,,,,,,,0,,
missing,pt,5,Radio,,,,,,,0,,
missing,pt,6,nope,,,,,,,0,,
conflict,fr,1,Hello,,,,zoo,Servus,answers,,,
conflict,fr,1,Hello,,,,zoo2,Servus,same,,,
conflict,fr,2,Zoo,,,,zoo,Tierpark,answers,,,
conflict,fr,2,Zoo,,,,zoo2,Tierpark,same,,,
END
    # differing: the conflicts where a component answers otherwise (fr's two agree).
    cover -translations "$cat" -lang de -lang fr -lang xx -missing -conflicts -format json Strings.txt
    same "JSON" "$work/out" <<END
{
  "lines": 6,
  "catalogs": "$cat",
  "languages": [
    {
      "language": "de",
      "translated": 4,
      "untranslated": 2,
      "same": 1,
      "share": 66.6,
      "missing": [
        {"line": 5, "text": "Radio", "same": true},
        {"line": 6, "text": "nope", "same": false}
      ],
      "differing": 3,
      "conflicts": [
        {"line": 1, "text": "Hello", "answers": [{"component": "app", "translation": "Hallo", "role": "answers"}, {"component": "zoo", "translation": "Servus", "role": "differs"}]},
        {"line": 3, "text": "Order", "answers": [{"component": "Zeta", "translation": "von Zeta", "role": "answers"}, {"component": "alpha", "translation": "von alpha", "role": "differs"}]},
        {"line": 4, "text": "Menu", "answers": [{"component": "Zeta", "translation": "Menü von Zeta", "role": "answers"}, {"component": "alpha", "translation": "Menü von alpha", "role": "differs"}]}
      ]
    },
    {
      "language": "fr",
      "translated": 2,
      "untranslated": 4,
      "same": 0,
      "share": 33.3,
      "missing": [
        {"line": 3, "text": "Order", "same": false},
        {"line": 4, "text": "Menu", "same": false},
        {"line": 5, "text": "Radio", "same": false},
        {"line": 6, "text": "nope", "same": false}
      ],
      "differing": 0,
      "conflicts": [
        {"line": 1, "text": "Hello", "answers": [{"component": "zoo", "translation": "Servus", "role": "answers"}, {"component": "zoo2", "translation": "Servus", "role": "same"}]},
        {"line": 2, "text": "Zoo", "answers": [{"component": "zoo", "translation": "Tierpark", "role": "answers"}, {"component": "zoo2", "translation": "Tierpark", "role": "same"}]}
      ]
    },
    {
      "language": "xx",
      "translated": 0,
      "untranslated": 6,
      "same": 0,
      "share": 0.0,
      "missing": [
        {"line": 1, "text": "Hello", "same": false},
        {"line": 2, "text": "Zoo", "same": false},
        {"line": 3, "text": "Order", "same": false},
        {"line": 4, "text": "Menu", "same": false},
        {"line": 5, "text": "Radio", "same": false},
        {"line": 6, "text": "nope", "same": false}
      ],
      "differing": 0,
      "conflicts": []
    }
  ]
}
END
    # A language past the first 64 has its own bits for what is missing and kept the same: de,
    # the 65th, after 64 that have no catalog and miss every line.
    many=() said=""
    for i in {1..64}; do
        many+=(-lang "x$i")
        said+="ZApplication: no catalog for language 'x$i' in '$cat'"$'\n'
    done
    cover -translations "$cat" "${many[@]}" -lang de -missing Strings.txt
    outcome "65 languages" 0 "$said"
    same "65 languages" <(sed -n '/^Untranslated in de:/,/^$/p' "$work/out") <<'END'
Untranslated in de: 2
     5 'Radio'  (same)
     6 'nope'
END
    # Components named by bytes that are not UTF-8 (E9, FF), by U+FFFD itself and by \xe9 spelled
    # in ASCII each read as their own in every format; they answer by their names decoded (the
    # first three alike, as U+FFFD, and after U+FF21, whose bytes come after E9), then by their
    # bytes.
    names=$work/names
    mkdir "$names"
    cp "$built/app_de.qm" "$names/caf\\xe9_de.qm"
    cp "$built/zoo_de.qm" "$names/cafＡ_de.qm"
    cp "$built/zoo_de.qm" "$names/caf"$'\xe9'_de.qm
    cp "$built/app_pt_BR.qm" "$names/caf"$'\xef\xbf\xbd'_de.qm
    cp "$built/nolanguage.qm" "$names/caf"$'\xff'_de.qm
    printf 'Hello\n' >"$work/run/hello.txt"
    cover -translations "$names" -conflicts hello.txt
    outcome "component names" 0 ""
    same "component names" <(tail -n +7 "$work/out") <<'END'
Conflicts in de: 1
     1 'Hello'
         answers  caf\\xe9  'Hallo'
         differs  cafＡ      'Servus'
         differs  caf\xe9   'Servus'
         differs  caf�      'Olá'
         same     caf\xff   'Hallo'
END
    cover -translations "$names" -conflicts -format csv hello.txt
    sed 's/$/\r/' <<'END' | same "component names, CSV" <(grep '^conflict,' "$work/out")
conflict,de,1,Hello,,,,caf\\xe9,Hallo,answers,,,
conflict,de,1,Hello,,,,cafＡ,Servus,differs,,,
conflict,de,1,Hello,,,,caf\xe9,Servus,differs,,,
conflict,de,1,Hello,,,,caf�,Olá,differs,,,
conflict,de,1,Hello,,,,caf\xff,Hallo,same,,,
END
    cover -translations "$names" -conflicts -format json hello.txt
    same "component names, JSON" <(grep -o '"component": "[^"]*"' "$work/out") <<'END'
"component": "caf\\\\xe9"
"component": "cafＡ"
"component": "caf\\xe9"
"component": "caf�"
"component": "caf\\xff"
END
    # Texts that need quoting or escaping: a comma, quotes, a tab, a lone CR, a backslash, a
    # control character, a NUL, a character beyond the BMP and a lone surrogate (UTF-16 input).
    printf '\xff\xfea\0,\0b\0\n\0"\0q\0"\0\n\0t\0\t\0\r\0x\0\n\0\\\0\x01\0\0\0\n\0\x3d\xd8\x00\xde\n\0\x00\xd8\n\0' >"$work/run/odd.txt"
    cover -translations "$cat" -lang de -missing -format csv odd.txt
    {
        printf 'record,language,line,text,translated,untranslated,share,component,translation,role,same,flagged,checks\r\n'
        printf 'summary,de,,,0,6,0.0,,,,0,,\r\n'
        printf 'missing,de,1,"a,b",,,,,,,0,,\r\n'
        printf 'missing,de,2,"""q""",,,,,,,0,,\r\n'
        printf 'missing,de,3,"t\t\rx",,,,,,,0,,\r\n'
        printf 'missing,de,4,\\\x01\0,,,,,,,0,,\r\n'
        printf 'missing,de,5,\xf0\x9f\x98\x80,,,,,,,0,,\r\n'
    } >"$work/csv"
    head -7 "$work/out" | cmp -s - "$work/csv" || fail "CSV quoting: $(head -7 "$work/out" | od -c | head -5)"
    cover -translations "$cat" -lang de -missing -format json odd.txt
    same "JSON escaping" <(grep -o '"text": .*", "same"' "$work/out" | sed 's/, "same"$//') < <(printf '"text": "%s"\n' 'a,b' \
        '\"q\"' 't\u0009\u000dx' '\\\u0001\u0000' '😀' '\ud800')
    # Every record keeps its thirteen fields, as a CSV reader of its own reads them, whatever a
    # translation (a line feed) or a language's name (a comma, a quote) holds.
    mkdir "$work/twice"
    cp "$built/app_de.qm" "$work/twice/app_de.qm"
    cp "$built/app_de.qm" "$work/twice/app2_de.qm"
    printf 'Two lines\nnope\n' >"$work/run/two.txt"
    cover -translations "$work/twice" -lang de -lang 'x,y' -lang 'q"t' -missing -conflicts \
        -format csv two.txt
    outcome "CSV fields" 0 "ZApplication: no catalog for language 'x,y' in '$work/twice'
ZApplication: no catalog for language 'q\"t' in '$work/twice'
"
    python3 -c '
import csv, json, sys
with open(sys.argv[1], newline="", encoding="utf-8") as f:
    for record in csv.reader(f, strict=True):
        print(len(record), json.dumps(record, ensure_ascii=False))
' "$work/out" >"$work/records" || fail "CSV fields: not read"
    same "CSV fields" "$work/records" <<'END'
13 ["record", "language", "line", "text", "translated", "untranslated", "share", "component", "translation", "role", "same", "flagged", "checks"]
13 ["summary", "de", "", "", "1", "1", "50.0", "", "", "", "0", "", ""]
13 ["summary", "x,y", "", "", "0", "2", "0.0", "", "", "", "0", "", ""]
13 ["summary", "q\"t", "", "", "0", "2", "0.0", "", "", "", "0", "", ""]
13 ["missing", "de", "2", "nope", "", "", "", "", "", "", "0", "", ""]
13 ["missing", "x,y", "1", "Two lines", "", "", "", "", "", "", "0", "", ""]
13 ["missing", "x,y", "2", "nope", "", "", "", "", "", "", "0", "", ""]
13 ["missing", "q\"t", "1", "Two lines", "", "", "", "", "", "", "0", "", ""]
13 ["missing", "q\"t", "2", "nope", "", "", "", "", "", "", "0", "", ""]
13 ["conflict", "de", "1", "Two lines", "", "", "", "app", "Zwei\nZeilen", "answers", "", "", ""]
13 ["conflict", "de", "1", "Two lines", "", "", "", "app2", "Zwei\nZeilen", "same", "", "", ""]
END
    # The same of names that reach the records of problems and conflicts: a component's, and a
    # language's that finds a catalog all the same (its codeset may hold anything).
    mkdir "$work/quoted"
    cp "$built/app_de.qm" "$work/quoted/app_de.qm"
    cp "$built/app_de.qm" "$work/quoted/a,\"b_de.qm"
    printf '&Open\n' >"$work/run/open.txt"
    cover -translations "$work/quoted" -lang 'de.x,"y' -conflicts -checks -format csv open.txt
    outcome "CSV names" 0 ""
    sed 's/$/\r/' <<'END' | same "CSV names" <(tail -n +2 "$work/out")
summary,"de.x,""y",,,1,0,100.0,,,,0,1,
problem,"de.x,""y",1,&Open,,,,,Öffnen,,,,accelerator
conflict,"de.x,""y",1,&Open,,,,"a,""b",Öffnen,answers,,,
conflict,"de.x,""y",1,&Open,,,,app,Öffnen,same,,,
END
    # In JSON, every character below U+0020, and U+2028, U+2029 and U+FEFF, is escaped, never
    # raw: checked in the bytes, since the toolkit's parser takes raw control characters. The
    # catalog directory's name and the translations are escaped as the lines are.
    ctl=$work/ctl$'\x1b\x7f\xe2\x80\xa8'
    mkdir "$ctl"
    cp "$built/app_de.qm" "$ctl/app_de.qm"
    cp "$built/app_de.qm" "$ctl/app2_de.qm"
    {
        printf 'Two lines\n'
        for c in 0 1 2 3 4 5 6 7 10 11 13 14 15 16 17 20 21 22 23 24 25 26 27 30 31 32 33 34 35 36 37; do
            printf 'x%by\n' "\\0$c"
        done
        printf 'x\xe2\x80\xa8y\nx\xe2\x80\xa9y\n\xef\xbb\xbfy\nHello\n'
    } >"$work/run/controls.txt"
    cover -translations "$ctl" -lang de -lang xx -missing -conflicts -format json controls.txt
    outcome "JSON controls" 0 "ZApplication: no catalog for language 'xx' in '$ctl'"$'\n'
    python3 -c '
import json, sys
data = open(sys.argv[1], "rb").read()
for b in sorted(set(data)):
    if b < 0x20 and b != 0x0a:
        print("raw byte %02x" % b)
for raw in ("\u2028", "\u2029", "\ufeff"):
    if raw.encode() in data:
        print("raw U+%04X" % ord(raw))
run = json.loads(data)
lines = open(sys.argv[2], encoding="utf-8-sig", newline="\n").read().split("\n")[:-1]
xx = run["languages"][1]
if [m["text"] for m in xx["missing"]] != lines or not run["catalogs"].endswith("ctl\x1b\x7f\u2028"):
    print("texts differ")
de = run["languages"][0]
if de["conflicts"][0]["answers"][0]["translation"] != "Zwei\nZeilen":
    print("translations differ")
' "$work/out" "$work/run/controls.txt" >"$work/raw" || fail "JSON controls: not read"
    same "JSON controls" "$work/raw" </dev/null
    # Nothing missing is an empty list, written as no conflicts is.
    printf 'Hello\nTwo lines\n' >"$work/run/whole.txt"
    cover -translations "$cat" -lang de -missing -conflicts -format json whole.txt
    outcome "JSON, nothing missing" 0 ""
    same "JSON, nothing missing" <(sed -n '/"language"/,$p' "$work/out") <<'END'
      "language": "de",
      "translated": 2,
      "untranslated": 0,
      "same": 0,
      "share": 100.0,
      "missing": [],
      "differing": 1,
      "conflicts": [
        {"line": 1, "text": "Hello", "answers": [{"component": "app", "translation": "Hallo", "role": "answers"}, {"component": "zoo", "translation": "Servus", "role": "differs"}]}
      ]
    }
  ]
}
END
    # The checks, in every format: each problem named where the translation has it (a marker
    # lost, an accelerator lost, a tag changed, too wide), a full-width question mark none.
    printf 'Copy %%1 to %%2\n&Open\n<b>Move</b> it?\nHello\nRadio\n' >"$work/run/checks.txt"
    cover -translations "$cat" -lang de -checks -max-width 8 checks.txt
    outcome "-checks" 0 ""
    same "-checks" <(tail -n +4 "$work/out") <<'END'
Language  Translated  Untranslated  Same  Flagged   Share
de                 4             1     1        3   80.0%  ████████████████░░░░

Problems in de: 3
     1 'Copy %1 to %2'
         placeholders, width: 'Kopiere %1'
     2 '&Open'
         accelerator: 'Öffnen'
     3 '<b>Move</b> it?'
         markup, width: '<i>Verschieben</i>？'
END
    cover -translations "$cat" -lang de -checks -max-width 8 -format json checks.txt
    same "-checks, JSON" <(sed -n '/"flagged"/,/^      \]/p' "$work/out") <<'END'
      "flagged": 3,
      "problems": [
        {"line": 1, "text": "Copy %1 to %2", "translation": "Kopiere %1", "checks": ["placeholders", "width"]},
        {"line": 2, "text": "&Open", "translation": "Öffnen", "checks": ["accelerator"]},
        {"line": 3, "text": "<b>Move</b> it?", "translation": "<i>Verschieben</i>？", "checks": ["markup", "width"]}
      ]
END
    cover -translations "$cat" -lang de -checks -max-width 8 -format csv checks.txt
    sed 's/$/\r/' <<'END' | same "-checks, CSV" <(sed -n '2p;/^problem,/p' "$work/out")
summary,de,,,4,1,80.0,,,,1,3,
problem,de,1,Copy %1 to %2,,,,,Kopiere %1,,,,placeholders width
problem,de,2,&Open,,,,,Öffnen,,,,accelerator
problem,de,3,<b>Move</b> it?,,,,,<i>Verschieben</i>？,,,,markup width
END
    # Without -checks a failing check is counted, not listed; it fails the run after the output,
    # and after a threshold, whose status comes first.
    cover -translations "$cat" -lang de -lang pt -fail-on-checks checks.txt
    outcome "-fail-on-checks" 7 "Translations with problems: de 3."$'\n'
    same "-fail-on-checks" <(tail -n +4 "$work/out") <<'END'
Language  Translated  Untranslated  Same  Flagged   Share
de                 4             1     1        3   80.0%  ████████████████░░░░
pt                 1             4     0        0   20.0%  ████░░░░░░░░░░░░░░░░
END
    cover -translations "$cat" -lang de -fail-on-checks -fail-under 90 checks.txt
    outcome "-fail-on-checks below -fail-under" 5 "Below 90%: de 80.0%.
Translations with problems: de 3.
"
    # A limit alone checks every translation, as -checks does, and counts what it flags.
    for limit in "-max-width 100" "-max-growth 100"; do
        # shellcheck disable=SC2086 # the option and its value are words
        cover -translations "$cat" -lang de $limit checks.txt
        outcome "$limit alone" 0 ""
        same "$limit alone" <(tail -n +4 "$work/out") <<'END'
Language  Translated  Untranslated  Same  Flagged   Share
de                 4             1     1        3   80.0%  ████████████████░░░░
END
    done
    # So do CSV and JSON, which count without listing.
    cover -translations "$cat" -lang de -fail-on-checks -format csv checks.txt
    outcome "-fail-on-checks, CSV" 7 "Translations with problems: de 3."$'\n'
    same "-fail-on-checks, CSV" <(sed -n 2p "$work/out") <<<$'summary,de,,,4,1,80.0,,,,1,3,\r'
    cover -translations "$cat" -lang de -fail-on-checks -format json checks.txt
    outcome "-fail-on-checks, JSON" 7 "Translations with problems: de 3."$'\n'
    same "-fail-on-checks, JSON" <(sed -n '/"share"/,/^    }/p' "$work/out") <<'END'
      "share": 80.0,
      "flagged": 3
    }
END
    # Lines kept the same count as translated for the threshold only when asked.
    cover -translations "$cat" -lang de -fail-under 100 -count-same checks.txt
    outcome "-count-same" 0 ""
    cover -translations "$cat" -lang de -fail-under 100 checks.txt
    outcome "without -count-same" 5 "Below 100%: de 80.0%."$'\n'
    ;;
threshold)
    # de translates 4 of 6 lines: 66.666...%, shown cut to 66.6.
    # A computed share passes whole, however many decimals it has.
    sixes=$(printf '6%.0s' {1..1000})
    for case in 66.6:0 66.66:0 66.666:0 66.6667:5 66.7:5 0:0 100:5 0066.70:5 66.6666666667:5 \
        66.666666666666666666666:0 "66.$sixes:0" "66.${sixes}7:5" "100.${sixes//6/0}:5"; do
        cover -translations "$cat" -lang de -fail-under "${case%:*}" Strings.txt
        [ "$status" -eq "${case#*:}" ] || fail "-fail-under ${case:0:30}: status $status"
    done
    cover -translations "$cat" -fail-under 66.6666666667 Strings.txt
    outcome "below a long threshold" 5 "Below 66.6666666667%: de 66.6%, fr 33.3%, pt 16.6%."$'\n'
    summary | same "output as usual" "$work/out"
    cover -translations "$cat" -fail-under 30 Strings.txt
    outcome "below" 5 "Below 30%: pt 16.6%."$'\n'
    summary | same "output as usual" "$work/out"
    ;;
output)
    OUT=/dev/full cover -translations "$cat" Strings.txt
    outcome "full disk" 4 "Cannot write the report to standard output."$'\n'
    # A reader that stops early: the run is told failed, not cut short by a signal.
    yes nope | head -200000 >"$work/run/many.txt"
    (cd "$work/run" && LANG=C.UTF-8 timeout 120 "${emulator[@]}" "$work/bin/trcoverage" \
        -translations "$cat" -missing many.txt 2>"$work/err" | head -1 >"$work/out"
        exit "${PIPESTATUS[0]}")
    status=$?
    outcome "early-closed output" 4 "Cannot write the report to standard output."$'\n'
    # The directory by its own bytes, beside the one its decoded name would be.
    odd=$work/cat$'\xff' twin=$work/cat$'\xef\xbf\xbd'
    mkdir "$odd" "$twin"
    cp "$built/app_de.qm" "$odd/"
    cp "$built/zoo_de.qm" "$twin/app_de.qm"
    cover -translations "$odd" -missing Strings.txt
    outcome "non-UTF-8 directory" 0 ""
    same "non-UTF-8 directory" <(sed -n '2p;7,11p' "$work/out") <<END
Catalogs: $work/cat\xff
Untranslated in de: 5
     2 'Zoo'
     3 'Order'
     4 'Menu'
     5 'Radio'  (same)
END
    # In JSON, the byte as \xff and a leading U+FEFF kept (the toolkit's decoder would give
    # U+FFFD for the one and drop the other).
    bom=$'\xef\xbb\xbf'cat$'\xff'
    mkdir "$work/run/$bom"
    cp "$built/app_de.qm" "$work/run/$bom/"
    cover -translations "$bom" -format json Strings.txt
    outcome "non-UTF-8 directory, JSON" 0 ""
    same "non-UTF-8 directory, JSON" <(sed -n 3p "$work/out") <<'END'
  "catalogs": "\ufeffcat\\xff",
END
    ;;
html)
    # The page comes beside whatever the run prints, which stays as it is without it.
    for format in text json; do
        cover -translations "$cat" -missing -format $format Strings.txt
        cp "$work/out" "$work/without"
        cover -translations "$cat" -missing -format $format -html page.html Strings.txt
        outcome "-html, $format" 0 ""
        same "-html, $format: the output" "$work/out" <"$work/without"
        if ! grep -q '^<!DOCTYPE html>' "$work/run/page.html" ||
            ! tail -1 "$work/run/page.html" | grep -qx '</html>'; then
            fail "-html, $format: no whole page"
        fi
    done
    # Never over the strings file or the file standard output goes to: both are left as they
    # were, and nothing runs. A FIFO without a reader fails rather than wait.
    cp "$work/run/Strings.txt" "$work/strings-before"
    cover -translations "$cat" -html Strings.txt Strings.txt
    outcome "the strings file" 4 "Cannot open 'Strings.txt' file for write."$'\n'
    same "the strings file" "$work/run/Strings.txt" <"$work/strings-before"
    ln -s Strings.txt "$work/run/link.html"
    cover -translations "$cat" -html link.html Strings.txt
    outcome "a link to the strings file" 4 "Cannot open 'link.html' file for write."$'\n'
    same "a link to the strings file" "$work/run/Strings.txt" <"$work/strings-before"
    OUT=$work/run/out.html cover -translations "$cat" -html out.html Strings.txt
    outcome "standard output's file" 4 "Cannot open 'out.html' file for write."$'\n'
    [ ! -s "$work/run/out.html" ] || fail "standard output's file: written"
    # A device is no file to keep apart: /dev/null takes the page and the output alike.
    OUT=/dev/null cover -translations "$cat" -html /dev/null Strings.txt
    outcome "the page and standard output both /dev/null" 0 ""
    OUT=/dev/null cover -translations "$cat" -html /dev/null /dev/null
    outcome "the strings file, the page and standard output all /dev/null" 0 ""
    mkfifo "$work/run/fifo.html"
    cover -translations "$cat" -html fifo.html Strings.txt
    outcome "a FIFO without a reader" 4 "Cannot open 'fifo.html' file for write."$'\n'
    # Not to be opened, or not written whole: status 4 after the output, which is whole.
    cover -translations "$cat" -html no/such/dir/page.html Strings.txt
    outcome "no such directory" 4 "Cannot open 'no/such/dir/page.html' file for write."$'\n'
    cover -translations "$cat" -html /dev/full Strings.txt
    outcome "full disk" 4 "Cannot write '/dev/full' file."$'\n'
    summary | same "full disk: the summary" "$work/out"
    # A run that stops before the pass leaves an earlier page as it was.
    echo 'an earlier page' >"$work/run/kept.html"
    cover -translations "$work/nowhere" -html kept.html Strings.txt
    outcome "no catalog" 6 "No catalog in '$work/nowhere'."$'\n'
    same "no catalog: the page" "$work/run/kept.html" <<<'an earlier page'
    cover -translations "$cat" -html kept.html no/such.txt
    outcome "no strings file" 2 "Cannot open 'no/such.txt' file for read."$'\n'
    same "no strings file: the page" "$work/run/kept.html" <<<'an earlier page'
    ;;
*)
    fail "unknown group"
    ;;
esac

failures=0
[ ! -e "$work/failures" ] || failures=$(wc -l <"$work/failures")
[ "$failures" -eq 0 ] && echo "[$group] passed"
exit $((failures > 0))
