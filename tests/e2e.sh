#!/usr/bin/env bash
# Runs the built program as a user would, on real files and catalogs, and compares its
# output, table and exit status byte for byte.
# usage: e2e.sh GROUP PROGRAM CATALOG_DIR [EMULATOR...]
# The catalogs group also needs E2E_DEFAULT_TRANSLATIONS, the program's default catalog directory.
set -u
group=$1 program=$2 catalogs=$3
shift 3
emulator=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin="$work/my %1 bin" # a directory name that would trip naive path formatting
mkdir -p "$bin" "$work/run"
cp "$program" "$bin/trcheck"
table="$bin/Strings_Table.txt"
failures=0
ENVS=() # extra environment for the next run

# run ARGS...: the program, from $work/run, in a neutral language environment; its output goes
# to $OUT when set
run() {
    (cd "$work/run" && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 "${ENVS[@]}" \
        timeout 120 "${emulator[@]}" "$bin/trcheck" "$@" >"${OUT:-$work/out}" 2>"$work/err")
    status=$?
}
run_de() { run -translations "$catalogs" -lang de "$@"; }

fail() {
    echo "FAIL [$group] $*"
    failures=$((failures + 1))
}
# expect LABEL FILE FORMAT [ARGS...]: FILE holds exactly what printf makes of the rest
expect() {
    local label=$1 file=$2
    shift 2
    # shellcheck disable=SC2059
    printf -- "$@" >"$work/expected"
    cmp -s "$work/expected" "$file" || {
        fail "$label: $file differs"
        diff <(od -c "$work/expected") <(od -c "$file") | head -8
    }
}
expect_status() { [ "$status" -eq "$1" ] || fail "$2: status $status, expected $1"; }
# report N VERDICT TEXT: one console line; TEXT is already in its Latin-1 bytes
report() { printf '=> %6s%s'\''%s'\''\n' "$1" "$([ "$2" = OK ] && echo '    OK: ' || echo ' ERROR: ')" "$3"; }
# row N SOURCE TRANSLATION: one table row, the source padded to 128 UTF-16 code units
row() {
    local units pad
    units=$(printf %s "$2" | iconv -f UTF-8 -t UTF-16LE | wc -c)
    pad=$((128 - units / 2))
    printf '%6s   |||   %s%*s   |||   %s\n' "$1" "$2" $((pad > 0 ? pad : 0)) '' "$3"
}
strings() { printf -- "$@" >"$work/run/Strings.txt"; }
# slow_reader FIFO OUT ENDED: opens FIFO for reading, fills it to a page short of full and says
# "ready"; reads nothing until a writer has put something in or the file ENDED exists, then all
# until the end, into OUT without the filling.
slow_reader() {
    perl -MFcntl -e '
        my ($fifo, $out, $ended) = @ARGV;
        sysopen(my $fill, $fifo, O_RDWR | O_NONBLOCK) or die "$fifo: $!";
        sysopen(my $in, $fifo, O_RDONLY) or die "$fifo: $!";
        my ($filled, $n) = (0);
        $filled += 4096 while syswrite($fill, "\0" x 4096);
        $filled -= sysread($in, $n, 4096);
        close $fill;
        $| = 1;
        print "ready\n";
        close STDOUT;
        # 0x541B: FIONREAD, what the FIFO holds
        select(undef, undef, undef, 0.001)
            until -e $ended || ioctl($in, 0x541B, $n = pack("i", 0)) && unpack("i", $n) != $filled;
        my $data = "";
        1 while sysread($in, $data, 65536, length $data);
        open(my $copy, ">", $out) or die "$out: $!";
        print $copy substr($data, $filled);
    ' "$@"
}

case $group in
usage)
    echo old >"$table"
    # An option left without its value at the end stays an argument of its own. The catalogs by
    # a name of one word, since the cases are split at spaces.
    ln -s "$catalogs" "$work/run/catalogs"
    for args in "" "a b" "-translations catalogs -lang de" "Strings.txt -lang" \
        "Strings.txt -translations" "-lang de Strings.txt -translations"; do
        # shellcheck disable=SC2086
        run $args
        expect_status 1 "args '$args'"
        expect "usage '$args'" "$work/err" 'Usage:\n\t%s Strings.txt\n' "$bin/trcheck"
        expect "no report '$args'" "$work/out" ''
    done
    expect "table untouched" "$table" 'old\n'
    run -translations
    expect_status 2 "a lone option is the strings file"
    expect "a lone option named as typed" "$work/err" "Cannot open '-translations' file for read.\n"
    expect "table untouched by a lone option" "$table" 'old\n'
    ;;
unreadable)
    echo old >"$table"
    mkdir "$work/run/adir"
    run_de no/such.txt
    expect_status 2 missing
    expect "missing file named as typed" "$work/err" "Cannot open 'no/such.txt' file for read.\n"
    run_de adir
    expect_status 2 directory
    expect "directory" "$work/err" "Cannot open 'adir' file for read.\n"
    expect "table untouched" "$table" 'old\n'
    run_de /proc/self/mem
    expect_status 2 "read error"
    expect "read error" "$work/err" "Cannot read '/proc/self/mem' file.\n"
    ;;
unwritable)
    strings 'Hello\nnope\n'
    mkdir "$table"
    run_de Strings.txt
    expect_status 3 "table is a directory"
    expect "open failure" "$work/err" "Cannot open 'Strings_Table.txt' file for write.\n"
    expect "no report" "$work/out" ''
    rmdir "$table" && ln -s /dev/full "$table"
    run_de Strings.txt
    expect_status 3 "table on a full disk"
    expect "write failure" "$work/err" "Cannot write 'Strings_Table.txt' file.\n"
    expect "report still whole" "$work/out" '%s' "$(report 1 OK Hello; report 2 ERROR nope)"$'\n'
    # Merged, the report comes first, as it was flushed before the message was written.
    (cd "$work/run" && "${emulator[@]}" "$bin/trcheck" -translations "$catalogs" -lang de \
        Strings.txt >"$work/out" 2>&1)
    expect "merged: report, then message" "$work/out" "%s\nCannot write 'Strings_Table.txt' file.\n" \
        "$(report 1 OK Hello; report 2 ERROR nope)"
    # The report fails as well, into a pipe whose reader is gone: the status and message are
    # the table's, since the table is what the user cannot get back.
    mkfifo "$work/unread"
    # shellcheck disable=SC2094 # read and written on purpose, so that the write end opens at once
    exec {unread}<>"$work/unread" {report}>"$work/unread" {unread}<&-
    (cd "$work/run" && "${emulator[@]}" "$bin/trcheck" -translations "$catalogs" -lang de \
        Strings.txt 1>&"$report" 2>"$work/err")
    status=$?
    exec {report}>&-
    expect_status 3 "table and report both failing"
    expect "both failing: the table's message" "$work/err" "Cannot write 'Strings_Table.txt' file.\n"
    rm "$table"
    cp "$work/run/Strings.txt" "$table"
    (cd "$bin" && "${emulator[@]}" ./trcheck Strings_Table.txt >/dev/null 2>&1)
    cmp -s "$work/run/Strings.txt" "$table" || fail "the table given as the strings file was emptied"
    rm "$table"
    OUT=/dev/full run_de Strings.txt
    expect_status 4 "report on a full disk"
    expect "report failure" "$work/err" 'Cannot write the report to standard output.\n'
    ;;
report)
    echo "an earlier run's table" >"$table"
    long=0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789
    # Hello! is translated as Hello, a prefix of it.
    strings 'Hello\nnope\nGood night\nRadio\n\nTwo lines\na|b\tc\n%s\nZoo\nHello!' "$long"
    run_de Strings.txt
    expect_status 0 report
    expect "nothing on stderr" "$work/err" ''
    expect "report" "$work/out" '%s\n' "$(report 1 OK Hello; report 2 ERROR nope
        report 3 OK 'Good night'; report 4 ERROR Radio; report 5 ERROR ''
        report 6 OK 'Two lines'; report 7 OK $'a|b\tc'; report 8 OK "$long"; report 9 OK Zoo
        report 10 OK 'Hello!')"
    expect "table" "$table" '%s\n' "$(row 1 Hello Hallo; row 2 'Good night' 'Gute Nacht'
        row 3 'Two lines' $'Zwei\nZeilen'; row 4 $'a|b\tc' $'x|||y\tz'; row 5 "$long" long
        row 6 Zoo Tierpark; row 7 'Hello!' Hello)"
    run_de <(printf 'nope\nHello\n')
    expect "lines from a pipe" "$work/out" '%s\n' "$(report 1 ERROR nope; report 2 OK Hello)"
    ;;
encoding)
    # CR LF, a lone CR, Latin-1 and wider characters, a NUL
    strings 'Hello\r\ncaf\xc3\xa9\r\nGr\xc3\xbc\xc3\x9fe\nHello\0x\n\xc4\x8ce\xc5\xa1tina\na\rb\n'
    run_de Strings.txt
    expect_status 0 encoding
    expect "report in Latin-1" "$work/out" '%s\n%s\0%s\n%s\n' "$(report 1 OK Hello
        report 2 ERROR $'caf\xe9'; report 3 OK $'Gr\xfc\xdfe')" "=>      4 ERROR: 'Hello" "x'" \
        "$(report 5 OK '?e?tina'; report 6 ERROR $'a\rb')"
    expect "table in UTF-8" "$table" '%s\n' "$(row 1 Hello Hallo; row 2 'Grüße' 'Schöne Grüße'
        row 3 'Čeština' Tschechisch)"
    # UTF-16 with a byte-order mark, and a lone surrogate UTF-8 cannot carry
    strings '\xff\xfeH\0e\0l\0l\0o\0\n\0\x00\xd8x\0\n\0'
    run_de Strings.txt
    expect "UTF-16 report" "$work/out" '%s\n' "$(report 1 OK Hello; report 2 ERROR '?x')"
    expect "UTF-16 table" "$table" '%s\n' "$(row 1 Hello Hallo)"
    ;;
placement)
    strings 'Hello\n'
    (cd "$work/run" && env LANG=C.UTF-8 "${emulator[@]}" "../my %1 bin/trcheck" \
        -translations "$catalogs" -lang de Strings.txt >/dev/null)
    expect "beside a relative program path" "$table" '%s\n' "$(row 1 Hello Hallo)"
    [ -e "$work/run/Strings_Table.txt" ] && fail "table in the working directory"
    rm "$table"
    if [ ${#emulator[@]} -gt 0 ]; then
        bare=("${emulator[@]}" -0 trcheck "$bin/trcheck")
    else
        bare=(env PATH="$bin:$PATH" trcheck)
    fi
    (cd "$work/run" && "${bare[@]}" -translations "$catalogs" -lang de Strings.txt >/dev/null)
    expect "bare name: working directory" "$work/run/Strings_Table.txt" '%s\n' "$(row 1 Hello Hallo)"
    [ -e "$table" ] && fail "bare name: table beside the program"
    ln -s "$bin/trcheck" "$work/link"
    (cd "$work/run" && "${emulator[@]}" ../link -translations "$catalogs" -lang de Strings.txt >/dev/null)
    expect "beside a symbolic link to the program" "$work/Strings_Table.txt" '%s\n' "$(row 1 Hello Hallo)"
    strings ''
    echo old >"$table"
    run_de Strings.txt
    expect_status 0 "empty input"
    expect "empty input, empty report" "$work/out" ''
    expect "empty input, emptied table" "$table" ''
    ;;
entries)
    # What a translator's catalog entries answer; README and man page promise each of these.
    strings 'Order\nBoth\nOther\nMenu\nUnfinished\nUnfinished empty\n%%n file(s)\n'
    run_de Strings.txt
    expect "entries' verdicts" "$work/out" '%s\n' "$(report 1 OK Order; report 2 OK Both
        report 3 OK Other; report 4 OK Menu; report 5 OK Unfinished
        report 6 ERROR 'Unfinished empty'; report 7 OK '%n file(s)')"
    # Zeta sorts before alpha by code unit; the line is its own comment, which picks the
    # matching entry but never shuts out another; an unfinished translation counts; a plural
    # entry gives its first form with %n untouched.
    expect "entries' table" "$table" '%s\n' "$(row 1 Order 'von Zeta'
        row 2 Both 'Beide mit Kommentar'; row 3 Other Anderes; row 4 Menu 'Menü von Zeta'
        row 5 Unfinished Unfertig; row 6 '%n file(s)' '%n Datei')"
    ;;
platform)
    strings 'Hello\nZoo\nTools\n'
    run Strings.txt -translations "$catalogs" -lang pt_BR
    expect "options after the argument, per-component fallback" "$work/out" '%s\n' \
        "$(report 1 OK Hello; report 2 OK Zoo; report 3 ERROR Tools)"
    expect "pt_BR table, region in lower case" "$table" '%s\n' "$(row 1 Hello Olá; row 2 Zoo 'Jardim zoológico')"
    # Every spelling of the options, as trcoverage reads them too; the last language counts.
    rm -f "$table"
    run "--translations=$catalogs" --lang de Strings.txt -lang=pt_BR
    expect_status 0 "options with two dashes or '='"
    expect "options with two dashes or '='" "$table" '%s\n' "$(row 1 Hello Olá; row 2 Zoo 'Jardim zoológico')"
    ENVS=(LANG=de_DE.UTF-8)
    run -translations "$catalogs" Strings.txt
    expect "system language, first component answers" "$table" '%s\n' \
        "$(row 1 Hello Hallo; row 2 Zoo Tierpark; row 3 Tools Werkzeuge)"
    ENVS=(LANG=de_DE.UTF-8 LANGUAGE=pt_BR:de)
    run -translations "$catalogs" Strings.txt
    expect "LANGUAGE list" "$table" '%s\n' \
        "$(row 1 Hello Olá; row 2 Zoo 'Jardim zoológico'; row 3 Tools Werkzeuge)"
    # LANGUAGE is a list tried in order, also when the locale is C; a message names the
    # language as the user chose it.
    ENVS=(LANG=C LANGUAGE=xx:de)
    run -translations "$catalogs" Strings.txt
    expect "LANGUAGE with the C locale, an unknown language first" "$table" '%s\n' \
        "$(row 1 Hello Hallo; row 2 Zoo Tierpark; row 3 Tools Werkzeuge)"
    ENVS=(LANGUAGE=xx:yy)
    run -translations "$catalogs" Strings.txt
    expect "the language as chosen" "$work/err" \
        "ZApplication: no catalog for language 'xx:yy' in '%s'\n" "$catalogs"
    ENVS=()
    run_de Strings.txt -translations "$work/nowhere"
    expect_status 0 "no catalogs"
    expect "warning for an empty -translations" "$work/err" \
        "ZApplication: no catalog for language 'de' in '%s'\n" "$work/nowhere"
    expect "nothing translated" "$table" ''
    ;;
catalogs)
    # Catalog directories of their own: copies of the built catalogs under new names, since
    # QTranslator does not care which language a file was made for.
    strings 'Hello\nnope\n'
    hallo=$(row 1 Hello Hallo)$'\n' servus=$(row 1 Hello Servus)$'\n'
    # run_in DIR LANG: look the lines up in DIR's catalogs
    run_in() { run -translations "$1" -lang "$2" Strings.txt; }
    lines_error=$(report 1 ERROR Hello; report 2 ERROR nope)$'\n'

    # Nothing installed from the default directory: said once, on the first lookup, naming the
    # language as the environment gives it. The neutral C language can have no catalog there,
    # whatever is installed on this machine.
    run Strings.txt
    expect_status 0 "default directory"
    expect "default directory warned once" "$work/err" \
        "ZApplication: no catalog for language 'C.UTF-8' in '%s'\n" "$E2E_DEFAULT_TRANSLATIONS"
    expect "report as ever" "$work/out" '%s' "$lines_error"
    # ... and never when the run ends before looking anything up
    run
    expect "usage alone" "$work/err" 'Usage:\n\t%s Strings.txt\n' "$bin/trcheck"
    run no/such.txt
    expect "unreadable alone" "$work/err" "Cannot open 'no/such.txt' file for read.\n"
    rm "$table" && mkdir "$table"
    run Strings.txt
    expect "unwritable alone" "$work/err" "Cannot open 'Strings_Table.txt' file for write.\n"
    rmdir "$table"

    # Broken catalogs are named once each, beside a good one or alone, and are not "no catalog".
    # app_de_de.qm is component app's catalog for de_DE, spelled in small letters.
    broken="$work/broken"
    mkdir "$broken" "$broken/dir_de.qm"
    head -c 100 "$catalogs/app_de.qm" >"$broken/app_de_de.qm"
    echo 'not a catalog' >"$broken/garbage_de.qm"
    : >"$broken/zero_de.qm"
    mkfifo "$broken/fifo_de.qm"
    ln -s nowhere "$broken/dangling_de.qm"
    named=
    for file_why in 'app_de_de:cut short' 'dangling_de:a link to nothing' \
        'dir_de:not a regular file' 'fifo_de:not a regular file' 'garbage_de:not a catalog' \
        'zero_de:empty'; do
        named+="ZApplication: cannot load catalog '$broken/${file_why%%:*}.qm': ${file_why#*:}"$'\n'
    done
    run_in "$broken" de_DE
    expect "broken catalogs alone" "$work/err" '%s' "$named"
    # ... also when the good one answers every line
    cp "$catalogs/app_de.qm" "$broken/"
    strings 'Hello\n'
    run_in "$broken" de_DE
    expect "broken catalogs beside a good one" "$work/err" '%s' "$named"
    expect "the good one answers" "$table" '%s' "$hallo"

    # A catalog with no messages is a catalog all the same
    mkdir "$work/empty"
    cp "$catalogs/empty.qm" "$work/empty/app_de.qm"
    run_in "$work/empty" de
    expect "empty catalog" "$work/err" ''

    # Names the locale database does not know find the catalog named for them, alone in its
    # directory, and before the fallback of the locale they read as (en_XA reads as en_US)
    for lang in en_XA ca_valencia xx fil; do
        mkdir "$work/$lang"
        cp "$catalogs/app_de.qm" "$work/$lang/app_$lang.qm"
    done
    for dir_lang in en_XA:en_XA en_XA:en-XA ca_valencia:ca_valencia xx:xx fil:fil fil:fil_PH; do
        lang=${dir_lang#*:}
        run_in "$work/${dir_lang%:*}" "$lang"
        expect "-lang $lang: its own catalog" "$table" '%s' "$hallo"
        expect "-lang $lang: no message" "$work/err" ''
    done
    cp "$catalogs/zoo_de.qm" "$work/en_XA/app_en.qm"
    run_in "$work/en_XA" en_XA
    expect "the exact name first" "$table" '%s' "$hallo"
    run_in "$work/en_XA" en_US
    expect "fallback to the language" "$table" '%s' "$servus"
    run_in "$work/xx" yy
    expect "unknown name, no catalog" "$work/err" \
        "ZApplication: no catalog for language 'yy' in '%s'\n" "$work/xx"

    # -translations by its own bytes, beside the directory its decoded name would be
    odd="$work/cat"$'\xff' twin="$work/cat"$'\xef\xbf\xbd'
    mkdir "$odd" "$twin"
    cp "$catalogs/app_de.qm" "$odd/"
    cp "$catalogs/zoo_de.qm" "$twin/app_de.qm"
    echo 'not a catalog' >"$odd/notes_de.qm"
    run_in "$odd" de_DE
    expect "non-UTF-8 directory, with the locale's fallback" "$table" '%s' "$hallo"
    expect "non-UTF-8 directory named as given" "$work/err" \
        "ZApplication: cannot load catalog '%s/notes_de.qm': not a catalog\n" "$odd"
    run_in "$odd/" de
    expect "trailing slash" "$work/err" \
        "ZApplication: cannot load catalog '%s/notes_de.qm': not a catalog\n" "$odd"
    # ... also where the process's descriptors have no names in /proc, as in a chroot or a
    # minimal container without /proc (hidden here by an empty file system over them, which
    # leaves the rest of /proc to the sanitizers' runtime in the sanitize build)
    if unshare -rm true 2>/dev/null; then
        (cd "$work/run" && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 timeout 120 \
            unshare -rm sh -c 'mount -t tmpfs none "/proc/$$/fd" && exec "$@"' sh \
            "${emulator[@]}" "$bin/trcheck" -translations "$odd" -lang de Strings.txt \
            >"$work/out" 2>"$work/err")
        expect "non-UTF-8 directory without /proc" "$table" '%s' "$hallo"
        expect "non-UTF-8 directory without /proc, named as given" "$work/err" \
            "ZApplication: cannot load catalog '%s/notes_de.qm': not a catalog\n" "$odd"
    else
        echo "[$group] no mount namespace here: the run without /proc is left out"
    fi
    rm "$odd"/*
    run_in "$odd" de
    expect "nothing there: no catalog, named as given" "$work/err" \
        "ZApplication: no catalog for language 'de' in '%s'\n" "$odd"
    expect "the twin is not used" "$table" ''
    strings 'Hello\n'

    # Catalog names: a component may start with _ or ., or not be valid UTF-8 (and is named by
    # its bytes); a file that spells a locale of several parts is that locale's only
    # (app_pt_br.qm is no Breton catalog); a file named only for a language is no component.
    names="$work/names"
    mkdir "$names"
    cp "$catalogs/zoo_de.qm" "$names/_core_de.qm"
    cp "$catalogs/my_tools_de.qm" "$names/.tools_de.qm"
    cp "$catalogs/app_de.qm" "$names/app"$'\xff'"_de.qm"
    cp "$catalogs/app_pt_BR.qm" "$names/app_pt_br.qm"
    cp "$catalogs/Zeta_de.qm" "$names/_de.qm"
    echo 'not a catalog' >"$names/bad"$'\xff'"_de.qm"
    strings 'Hello\nZoo\nTools\nGood night\nOrder\n'
    run_in "$names" de
    expect "unusual names: found" "$table" '%s\n' "$(row 1 Hello Servus; row 2 Zoo Tierpark
        row 3 Tools Werkzeuge; row 4 'Good night' 'Gute Nacht')"
    expect "unusual names: named by their bytes" "$work/err" \
        "ZApplication: cannot load catalog '%s/bad\xff_de.qm': not a catalog\n" "$names"
    run_in "$names" br
    expect "no Breton catalog" "$work/err" "ZApplication: no catalog for language 'br' in '%s'\n" "$names"
    run_in "$names" pt_BR
    expect "Brazilian catalog" "$table" '%s\n' "$(row 1 Hello Olá)"

    # One catalog per component answers, the region's before the language's; a broken one is
    # named and the next tried; a catalog named for the C locale is never taken.
    region="$work/region"
    mkdir "$region"
    cp "$catalogs/app_de.qm" "$region/app_pt.qm"
    cp "$catalogs/app_pt_BR.qm" "$region/"
    strings 'Hello\nGood night\n'
    run_in "$region" pt_BR
    expect "pt_BR only" "$work/out" '%s\n' "$(report 1 OK Hello; report 2 ERROR 'Good night')"
    cp "$catalogs/app_de.qm" "$region/"
    cp "$catalogs/zoo_de.qm" "$region/app_de_AT.qm"
    cp "$catalogs/app_de.qm" "$region/app_C.qm"
    strings 'Hello\n'
    # (Locales the system may lack, such as de_AT.UTF-8, have the toolkit warn on standard error.)
    ENVS=(LANGUAGE=de_AT)
    run -translations "$region" Strings.txt
    expect "region first" "$table" '%s' "$servus"
    echo 'not a catalog' >"$region/app_de_AT.qm"
    run -translations "$region" Strings.txt
    expect "broken region named" "$work/err" \
        "ZApplication: cannot load catalog '%s/app_de_AT.qm': not a catalog\n" "$region"
    expect "broken region, the language's answers" "$table" '%s' "$hallo"
    ENVS=()
    run -translations "$region" Strings.txt
    expect "C locale: no catalog" "$work/err" \
        "ZApplication: no catalog for language 'C.UTF-8' in '%s'\n" "$region"
    run_in "$region" yy
    expect "unknown language: no catalog" "$work/err" \
        "ZApplication: no catalog for language 'yy' in '%s'\n" "$region"

    # The empty text hashes to 0, which the toolkit files under 1: found among many catalogs.
    mkdir "$work/blank"
    cp "$catalogs/blank_eo.qm" "$work/blank/blank_de.qm"
    cp "$catalogs/app_de.qm" "$work/blank/"
    strings '\nHello\n'
    run_in "$work/blank" de
    expect "empty line among many catalogs" "$table" '%s\n' "$(row 1 '' '(malplena)'; row 2 Hello Hallo)"

    # Dependencies come from the catalog directory, as the toolkit finds them; one that
    # cannot be found, or that leads back to the catalog itself, breaks the catalog. A sparse
    # file declaring a 256 MiB hash table holds none, and costs nothing to tell.
    # depending FILE NAME...: FILE with a dependencies section naming each NAME, each a byte
    # length and UTF-16 big-endian
    depending() {
        local file=$1 names='' name
        shift
        for name; do
            names+=$(printf '%08x' $((${#name} * 2)))
            names+=$(printf %s "$name" | iconv -f UTF-8 -t UTF-16BE | od -An -v -tx1 | tr -d ' \n')
        done
        cat "$file"
        # shellcheck disable=SC2059
        printf "$(printf '96%08x%s' $((${#names} / 2)) "$names" | sed 's/../\\x&/g')"
    }
    deps="$work/deps"
    mkdir -p "$deps/more"
    cp "$catalogs/app_de.qm" "$deps/more/"
    depending "$catalogs/empty.qm" more/app_de_XX >"$deps/meta_de.qm"
    depending "$catalogs/app_de.qm" loop_de >"$deps/loop_de.qm"
    depending "$catalogs/zoo_de.qm" nowhere_de >"$deps/lost_de.qm"
    { head -c 16 "$catalogs/app_de.qm"; printf '\x42\x10\x00\x00\x00'; head -c 8192 "$catalogs/app_de.qm"; } >"$deps/sparse_de.qm"
    truncate -s $((16 + 5 + 0x10000000)) "$deps/sparse_de.qm"
    run_in "$deps" de
    expect "dependencies" "$table" '%s' "$hallo"
    expect "broken dependencies" "$work/err" '%s' "$(for file_why in \
        "loop:dependency 'loop_de' loops back" "lost:missing dependency 'nowhere_de'" \
        'sparse:a hash table without messages'; do
        printf "ZApplication: cannot load catalog '%s/%s_de.qm': %s\n" "$deps" "${file_why%%:*}" \
            "${file_why#*:}"
    done)"$'\n'

    # Catalogs truncated, rewritten in place or replaced while a run goes on: it answers from
    # what it read when it started, whole.
    live="$work/live"
    mkdir "$live"
    cp "$catalogs/app_de.qm" "$catalogs/zoo_de.qm" "$catalogs/my_tools_de.qm" "$live/"
    mkfifo "$work/run/lines"
    # The writer's open returns once the run opens its strings, after it has read its catalogs.
    timeout 120 bash -c 'exec 5>"$1" && : >"$2/app_de.qm" && cp "$3/Zeta_de.qm" "$2/zoo_de.qm" &&
        cp "$3/alpha_de.qm" "$2/new.qm" && mv "$2/new.qm" "$2/my_tools_de.qm" &&
        printf "Hello\nGood night\nZoo\nTools\n" >&5' _ "$work/run/lines" "$live" "$catalogs" &
    writer=$!
    run -translations "$live" -lang de lines
    wait "$writer"
    expect_status 0 "catalogs changed during the run"
    expect "catalogs changed during the run: as they were" "$table" '%s\n' "$(row 1 Hello Hallo
        row 2 'Good night' 'Gute Nacht'; row 3 Zoo Tierpark; row 4 Tools Werkzeuge)"
    ;;
pipe)
    # A broken byte just before the first 16 KiB boundary, a character cut by the second one,
    # a line led by U+FEFF, CR LF and a last line without its line feed.
    xs=$(head -c 16383 /dev/zero | tr '\0' x) ys=$(head -c 16373 /dev/zero | tr '\0' y)
    strings '%s\xe9\nHello\n%s\nGr\xc3\xbc\xc3\x9fe\n\xef\xbb\xbfHello\nnope\r\nHello' "$xs" "$ys"
    expected_report="$(report 1 ERROR "$xs?"; report 2 OK Hello; report 3 ERROR "$ys"
        report 4 OK $'Gr\xfc\xdfe'; report 5 ERROR '?Hello'; report 6 ERROR nope; report 7 OK Hello)"
    expected_table="$(row 1 Hello Hallo; row 2 'Grüße' 'Schöne Grüße'; row 3 Hello Hallo)"
    # feed FILE: the file through a pipe in pieces of odd sizes, each once the program has
    # taken the one before (the pipe holds nothing), until the file or the run has ended
    feed() {
        local size at=0 i=0 n sizes=(1 4093 3 12290 2 7 8192 16385 5)
        size=$(stat -c %s "$1")
        while [ "$at" -lt "$size" ] && [ ! -e "$work/ran" ]; do
            n=${sizes[i++ % ${#sizes[@]}]}
            dd if="$1" iflag=skip_bytes,count_bytes skip="$at" count="$n" bs=65536 status=none
            at=$((at + n))
            # 0x541B: FIONREAD, what the pipe holds
            perl -e 'select(undef, undef, undef, 0.001)
                until -e $ARGV[0] || ioctl(STDOUT, 0x541B, $n = pack("i", 0)) && unpack("i", $n) == 0' \
                "$work/ran"
        done
    }
    for how in file pieces redirect cat; do
        rm -f "$table"
        case $how in
        file) run_de Strings.txt ;;
        pieces)
            run_de /dev/stdin < <(feed "$work/run/Strings.txt")
            : >"$work/ran"
            wait "$!"
            ;;
        redirect) run_de /dev/stdin <"$work/run/Strings.txt" ;;
        cat) run_de /dev/stdin < <(cat "$work/run/Strings.txt") ;;
        esac
        expect_status 0 "$how"
        expect "$how: report" "$work/out" '%s\n' "$expected_report"
        expect "$how: table" "$table" '%s\n' "$expected_table"
    done
    ;;
early)
    # A report reader that stops after the first line: the run goes on and the table is whole.
    for _ in $(seq 20000); do echo Hello; echo nope; done >"$work/run/Strings.txt"
    echo old >"$table"
    (cd "$work/run" && env LANG=C.UTF-8 timeout 300 "${emulator[@]}" "$bin/trcheck" \
        -translations "$catalogs" -lang de Strings.txt 2>"$work/err" | head -1 >"$work/out"
        exit "${PIPESTATUS[0]}")
    status=$?
    expect_status 4 "early-closed report"
    expect "early-closed report: message" "$work/err" \
        'Cannot write the report to standard output.\n'
    expect "early-closed report: first line" "$work/out" '%s\n' "$(report 1 OK Hello)"
    [ "$(wc -l <"$table")" -eq 20000 ] || fail "early-closed report: $(wc -l <"$table") rows"
    expect "early-closed report: last row" <(tail -1 "$table") '%s\n' "$(row 20000 Hello Hallo)"
    ;;
program)
    # Directory names that are not UTF-8, beside the one they would be mangled into.
    strings 'Hello\n'
    raw=$work/$'bin\xff' mangled=$work/$'bin\xef\xbf\xbd'
    mkdir "$raw" "$mangled"
    cp "$bin/trcheck" "$raw/trcheck"
    cp "$bin/trcheck" "$mangled/trcheck"
    for dir in "$raw" "$mangled"; do
        rm -f "$raw/Strings_Table.txt" "$mangled/Strings_Table.txt"
        (cd "$work/run" && "${emulator[@]}" "$dir/trcheck" -translations "$catalogs" -lang de \
            Strings.txt >/dev/null 2>"$work/err")
        status=$?
        expect_status 0 "program in $(printf %q "$dir")"
        expect "table beside $(printf %q "$dir")" "$dir/Strings_Table.txt" '%s\n' "$(row 1 Hello Hallo)"
        [ -e "$raw/Strings_Table.txt" ] && [ -e "$mangled/Strings_Table.txt" ] &&
            fail "a table in both directories"
    done
    # An empty program path has no directory part: the working directory, not the root.
    if [ ${#emulator[@]} -gt 0 ]; then
        nameless=("${emulator[@]}" -0 '' "$bin/trcheck")
    else
        nameless=(bash -c 'exec -a "" "$0" "$@"' "$bin/trcheck")
    fi
    (cd "$work/run" && "${nameless[@]}" -translations "$catalogs" -lang de Strings.txt >/dev/null)
    expect "empty program path: working directory" "$work/run/Strings_Table.txt" '%s\n' \
        "$(row 1 Hello Hallo)"
    ;;
tables)
    strings 'Hello\nnope\n'
    # Standard output is the table, as "trcheck Strings.txt >> Strings_Table.txt" run beside
    # the program makes it: refused before anything is written.
    echo old >"$table"
    (cd "$work/run" && env LANG=C.UTF-8 "${emulator[@]}" "$bin/trcheck" \
        -translations "$catalogs" -lang de Strings.txt >>"$table" 2>"$work/err")
    status=$?
    expect_status 3 "report into the table"
    expect "report into the table: message" "$work/err" "Cannot open 'Strings_Table.txt' file for write.\n"
    expect "report into the table: untouched" "$table" 'old\n'
    # Standard error is the table: refused the same way, the message the only thing added.
    (cd "$work/run" && env LANG=C.UTF-8 "${emulator[@]}" "$bin/trcheck" \
        -translations "$catalogs" -lang de Strings.txt >"$work/out" 2>>"$table")
    status=$?
    expect_status 3 "notices into the table"
    expect "notices into the table: the message" "$table" "old\nCannot open 'Strings_Table.txt' file for write.\n"
    expect "notices into the table: no report" "$work/out" ''
    # A device is no file to keep apart: the table, the report and the strings file may all be
    # /dev/null.
    rm "$table"
    ln -s /dev/null "$table"
    OUT=/dev/null run_de Strings.txt
    expect_status 0 "table and report both /dev/null"
    expect "table and report both /dev/null: no message" "$work/err" ''
    OUT=/dev/null run_de /dev/null
    expect_status 0 "strings file, table and report all /dev/null"
    expect "all /dev/null: no message" "$work/err" ''
    # The table a symbolic link to the strings file: refused, the strings file whole.
    rm "$table"
    ln -s "$work/run/Strings.txt" "$table"
    run_de Strings.txt
    expect_status 3 "table linked to the strings file"
    expect "linked to the strings file: message" "$work/err" "Cannot open 'Strings_Table.txt' file for write.\n"
    expect "linked to the strings file: no report" "$work/out" ''
    expect "linked to the strings file: input whole" "$work/run/Strings.txt" 'Hello\nnope\n'
    # A table left larger than 2 GiB (sparse: nothing is read) is emptied and written anew, on
    # the 32-bit targets too.
    rm "$table"
    truncate -s 3G "$table"
    run_de Strings.txt
    expect_status 0 "table past 2 GiB"
    expect "table past 2 GiB: rewritten" "$table" '%s\n' "$(row 1 Hello Hallo)"
    # A symbolic link elsewhere is followed.
    rm "$table"
    echo old >"$work/elsewhere"
    ln -s "$work/elsewhere" "$table"
    run_de Strings.txt
    expect_status 0 "table linked elsewhere"
    expect "table written through a link" "$work/elsewhere" '%s\n' "$(row 1 Hello Hallo)"
    # A FIFO without a reader fails at once; one with a reader gets the table.
    rm "$table"
    mkfifo "$table"
    run_de Strings.txt
    expect_status 3 "FIFO without a reader"
    expect "FIFO without a reader: message" "$work/err" "Cannot open 'Strings_Table.txt' file for write.\n"
    expect "FIFO without a reader: no report" "$work/out" ''
    # A slow reader gets the whole table: it has the FIFO open before the run, fills it to a
    # page short of full and reads only once the program has written into it (or has ended),
    # so a table written without waiting for room would fail at its first write.
    for _ in $(seq 50); do echo Hello; done >"$work/run/Strings.txt"
    exec {ready}< <(slow_reader "$table" "$work/fifo" "$work/ended")
    reader=$!
    read -r -u "$ready" _ || fail "slow reader not ready"
    exec {ready}<&-
    run_de Strings.txt
    : >"$work/ended"
    wait "$reader"
    expect_status 0 "FIFO with a slow reader"
    expect "FIFO with a slow reader: table" "$work/fifo" '%s\n' \
        "$(for n in $(seq 50); do row "$n" Hello Hallo; done)"
    ;;
codepoints)
    # Where a character's Latin-1 form or UTF-8 length changes, and a line led by U+FEFF that
    # no catalog holds.
    strings 'x\x7f\nx\xc2\x80\nx\xc3\xbf\nx\xc4\x80\nx\xdf\xbf\nx\xe0\xa0\x80\nx\xef\xbf\xbf\nx\xf0\x90\x80\x80\n\xef\xbb\xbfHello\n'
    run_de Strings.txt
    expect_status 0 codepoints
    expect "code points: report" "$work/out" '%s\n' "$(report 1 OK $'x\x7f'; report 2 OK $'x\x80'
        report 3 OK $'x\xff'; report 4 OK 'x?'; report 5 OK 'x?'; report 6 OK 'x?'
        report 7 ERROR 'x?'; report 8 OK 'x??'; report 9 ERROR '?Hello')"
    expect "code points: table" "$table" '%s\n' "$(row 1 $'x\x7f' U+007F; row 2 $'x\xc2\x80' U+0080
        row 3 'xÿ' U+00FF; row 4 'xĀ' U+0100; row 5 $'x\xdf\xbf' U+07FF
        row 6 $'x\xe0\xa0\x80' U+0800; row 7 $'x\xf0\x90\x80\x80' U+10000)"
    ;;
*)
    fail "unknown group"
    ;;
esac

[ "$failures" -eq 0 ] && echo "[$group] passed"
exit $((failures > 0))
