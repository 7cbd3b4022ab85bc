#!/usr/bin/env bash
# Makes the two .deb (libzappbase1, trcheck) and the .tar.gz of a build that scripts/test.sh
# made (build/ or build-TARGET/) and checks them: contents, control data, the library's exported
# symbols, that libzappbase1 installs beside the one of every other architecture packaged here,
# search paths, lintian (any tag but those justified below fails), and that the programs from
# each, unpacked anywhere, check the bundled examples, under qemu for a target.
# For this machine's build, as root, it also installs both .deb on this machine, runs the
# installed programs by name, and removes and purges the packages again, checking that nothing
# is left behind. As a normal user it skips that part and says so.
# usage: package.sh [native|i386|armel|armhf]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
target=${1:-native}
case $target in
native)
    build=build arch=$(dpkg --print-architecture) emulator=()
    triplet=$(gcc -print-multiarch)
    ;;
i386) build=build-i386 arch=i386 triplet=i386-linux-gnu emulator=(qemu-i386) ;;
armel) build=build-armel arch=armel triplet=arm-linux-gnueabi emulator=(qemu-arm) ;;
armhf) build=build-armhf arch=armhf triplet=arm-linux-gnueabihf emulator=(qemu-arm) ;;
*)
    echo "usage: $0 [native|i386|armel|armhf]" >&2
    exit 1
    ;;
esac
[ ${#emulator[@]} -eq 0 ] || emulator+=(-L "$repo/.sysroots/$target")
if [ "$target" = native ]; then
    scripts/install-deps.sh build package
else
    scripts/install-deps.sh build package "$target"
fi

# Exactly as by hand: every time in the packages is the commit's unless SOURCE_DATE_EPOCH says
# otherwise (cmake/PackagingPerGenerator.cmake), so that the same commit gives the same bytes.
rm -f "$build"/*.deb "$build"/trcheck-*.tar.gz
cpack --preset "$target" >"$build/cpack.log" || {
    cat "$build/cpack.log" >&2
    exit 1
}
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
lib_deb=$build/libzappbase1_${version}_$arch.deb
prog_deb=$build/trcheck_${version}_$arch.deb
top=trcheck-$version-$arch
tgz=$build/$top.tar.gz
for package in "$lib_deb" "$prog_deb" "$tgz"; do
    [ -f "$package" ] || {
        echo "package.sh: cpack made no $package" >&2
        exit 1
    }
done
made=$(find "$build" -maxdepth 1 \( -name '*.deb' -o -name '*.tar.gz' \) | wc -l)
[ "$made" -eq 3 ] || {
    echo "package.sh: cpack made $made packages, not 3" >&2
    exit 1
}

work=$(mktemp -d)
installed=
cleanup() {
    [ -z "$installed" ] || dpkg -P trcheck libzappbase1 >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL [$target] $*"
    failures=$((failures + 1))
}

# The bundled examples in German: the report (Latin-1) and the table.
printf '=>      %s\n' \
    "1    OK: 'Contacts'" "2    OK: 'New contact'" "3    OK: 'Delete this contact?'" \
    "4    OK: 'Call %1'" "5    OK: 'Settings'" "6    OK: 'Ringtone'" "7    OK: 'Vibrate'" \
    "8 ERROR: 'Bluetooth'" "9 ERROR: 'Flight mode'" >"$work/report"
printf "=>     10 ERROR: 'R\351sum\351'\n" >>"$work/report"
printf '=>     %s\n' "11    OK: 'Copy %1 to %2'" "12    OK: '&Open'" \
    "13    OK: '<b>Storage</b> full'" "14    OK: 'Battery saver'" >>"$work/report"
row() { printf '%6s   |||   %-128s   |||   %s\n' "$@"; }
{
    row 1 Contacts Kontakte
    row 2 'New contact' 'Neuer Kontakt'
    row 3 'Delete this contact?' 'Diesen Kontakt löschen?'
    row 4 'Call %1' '%1 anrufen'
    row 5 Settings Einstellungen
    row 6 Ringtone Klingelton
    row 7 Vibrate Vibration
    row 8 'Copy %1 to %2' '%1 nach %2 kopieren'
    row 9 '&Open' 'Ö&ffnen'
    row 10 '<b>Storage</b> full' '<b>Speicher</b> voll'
    row 11 'Battery saver' 'Energiesparmodus für den Akku'
} >"$work/table"

# bare LABEL COMMAND...: runs COMMAND in a bare environment from an empty directory, its output
# in $work/out; it must end with status 0 and say nothing on standard error.
bare() {
    local label=$1
    shift
    rm -rf "$work/run" && mkdir "$work/run"
    local status=0
    (cd "$work/run" && env -i PATH=/usr/bin:/bin "$@" >"$work/out" 2>"$work/err") || status=$?
    [ "$status" -eq 0 ] || fail "$label: status $status: $(cat "$work/err")"
    [ -s "$work/err" ] && fail "$label: standard error: $(cat "$work/err")"
    return 0
}
# check_run LABEL TABLE COMMAND...: runs trcheck as bare does and compares its report and table
# with the expected ones.
check_run() {
    local label=$1 table=$2
    shift 2
    bare "$label" "$@"
    cmp -s "$work/report" "$work/out" || fail "$label: report differs"
    cmp -s "$work/table" "$table" || fail "$label: table differs"
}

# The bundled examples summed up in every language by trcoverage, the catalogs in DIR.
coverage_summary() { # DIR
    printf '%s\n' "Lines:    14" "Catalogs: $1" "" \
        "Language  Translated  Untranslated  Same   Share" \
        "de                11             3     1   78.5%  ███████████████░░░░░" \
        "fr                11             3     1   78.5%  ███████████████░░░░░" \
        "pt_BR              9             5     0   64.2%  ████████████░░░░░░░░"
}
# check_coverage LABEL DIR COMMAND...: runs trcoverage (on the examples, with the catalogs in
# DIR) as bare does and compares its summary.
check_coverage() {
    local label=$1 dir=$2
    shift 2
    bare "$label" "$@"
    coverage_summary "$dir" | cmp -s - "$work/out" || fail "$label: summary differs: $(cat "$work/out")"
}

# What each package holds, every folder and file, in name order: the library package has the
# library, its soname link and the empty catalog directory, and nothing for development (no
# header, no libzappbase.so link); the program's has the program, the man page and the
# examples; each has its copyright and changelog. The .tar.gz holds both trees.
library_files() {
    printf '%s\n' lib/ "lib/$triplet/" "lib/$triplet/libzappbase.so.1 -> libzappbase.so.1.0.0" \
        "lib/$triplet/libzappbase.so.1.0.0" share/ share/doc/ share/doc/libzappbase1/ \
        share/doc/libzappbase1/changelog.gz share/doc/libzappbase1/copyright share/zappbase/ \
        share/zappbase/translations/
}
program_files() {
    printf '%s\n' bin/ bin/trcheck bin/trcoverage share/ share/doc/ share/doc/trcheck/ \
        share/doc/trcheck/changelog.gz share/doc/trcheck/copyright share/doc/trcheck/examples/ \
        share/doc/trcheck/examples/Strings.txt share/doc/trcheck/examples/translations/ \
        share/man/ share/man/man1/ share/man/man1/trcheck.1.gz share/man/man1/trcoverage.1.gz
    for ts in examples/translations/*.ts; do
        name=$(basename "$ts" .ts)
        printf 'share/doc/trcheck/examples/translations/%s\n' "$name.ts" "$name.qm"
    done
}
# listing PREFIX: the member names of a dpkg-deb -c or tar tv listing on standard input,
# without PREFIX
listing() { sed 's/^\([^ ]* *\)\{5\}//' | sed -n "s|^$1||p" | grep -v '^$' | sort; }
compare_list() { # LABEL EXPECTED ACTUAL
    diff -u "$2" "$3" >"$work/diff" || fail "$1: contents differ: $(sed 1,2d "$work/diff" | grep '^[-+]' | tr '\n' ' ')"
}
{ library_files | sed 's|^|usr/|' && echo usr/; } | sort >"$work/lib.expected"
dpkg-deb -c "$lib_deb" | listing ./ >"$work/lib.list"
compare_list libzappbase1 "$work/lib.expected" "$work/lib.list"
{ program_files | sed 's|^|usr/|' && echo usr/; } | sort >"$work/prog.expected"
dpkg-deb -c "$prog_deb" | listing ./ >"$work/prog.list"
compare_list trcheck "$work/prog.expected" "$work/prog.list"
{ library_files && program_files; } | sort -u >"$work/tgz.expected"
tar tvzf "$tgz" | listing "$top/" >"$work/tgz.list"
compare_list "$(basename "$tgz")" "$work/tgz.expected" "$work/tgz.list"

# Control data: the program needs the library of its own version; the library is registered
# by the ldconfig trigger and the shlibs file, with no maintainer script.
field() { dpkg-deb -f "$1" "$2"; }
for deb in "$lib_deb" "$prog_deb"; do
    [ "$(field "$deb" Architecture)" = "$arch" ] || fail "$(basename "$deb"): architecture is not $arch"
    [ "$(field "$deb" Version)" = "$version" ] || fail "$(basename "$deb"): version is not $version"
    field "$deb" Depends | grep -q 'libqt6core6 (>= ' || fail "$(basename "$deb"): no dependency on libqt6core6"
done
field "$prog_deb" Depends | grep -qF "libzappbase1 (= $version)" ||
    fail "trcheck: does not depend on libzappbase1 (= $version)"
# ICU's package of the version built against (for a target, its sysroot's), and of the soname
# the programs are linked against, if they are.
icu_headers=$(sed -n 's/^ICU_INCLUDE_DIR:PATH=//p' "$build/CMakeCache.txt")
icu=$(sed -n 's/^#define U_ICU_VERSION_MAJOR_NUM \([0-9]*\).*/\1/p' "$icu_headers/unicode/uvernum.h")
field "$prog_deb" Depends | grep -qF "libicu$icu (>= " ||
    fail "trcheck: does not depend on libicu$icu, the ICU built against"
dpkg-deb --fsys-tarfile "$prog_deb" | tar -xOf - ./usr/bin/trcoverage >"$work/trcoverage"
linked=$(readelf -d "$work/trcoverage" | sed -n 's/.*Shared library: \[libicuuc\.so\.\([0-9]*\)\]$/\1/p')
[ -z "$linked" ] || [ "$linked" = "$icu" ] ||
    fail "trcoverage: linked against libicuuc.so.$linked, built against ICU $icu"
dpkg-deb -e "$lib_deb" "$work/control"
[ "$(field "$lib_deb" Multi-Arch)" = same ] || fail "libzappbase1: not Multi-Arch: same"
[ "$(cat "$work/control/triggers" 2>/dev/null)" = "activate-noawait ldconfig" ] ||
    fail "libzappbase1: no ldconfig trigger"
[ "$(head -1 "$work/control/symbols" 2>/dev/null)" = "libzappbase.so.1 libzappbase1 #MINVER#" ] ||
    fail "libzappbase1: symbols file wrong or missing"
[ "$(cat "$work/control/shlibs" 2>/dev/null)" = "libzappbase 1 libzappbase1 (>= $version)" ] ||
    fail "libzappbase1: shlibs file wrong or missing"
for script in preinst postinst prerm postrm; do
    [ ! -e "$work/control/$script" ] || fail "libzappbase1: has a maintainer script, $script"
done

# Search paths: the .deb's program has none (the system's loader finds the library); the
# .tar.gz's finds the library relative to itself; no library has one; nothing has an empty
# entry.
mkdir "$work/deb" "$work/tgz"
dpkg-deb -x "$lib_deb" "$work/deb"
dpkg-deb -x "$prog_deb" "$work/deb"
tar xzf "$tgz" -C "$work/tgz"
searchpath() { readelf -d "$1" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*: \[\(.*\)\]$/\2/p'; }
for program in trcheck trcoverage; do
    [ -z "$(searchpath "$work/deb/usr/bin/$program")" ] || fail "deb: $program has a search path"
    [ "$(searchpath "$work/tgz/$top/bin/$program")" = "\$ORIGIN/../lib/$triplet" ] ||
        fail "tar.gz: $program's search path is '$(searchpath "$work/tgz/$top/bin/$program")'"
done
for library in "$work/deb/usr/lib/$triplet/libzappbase.so.1.0.0" "$work/tgz/$top/lib/$triplet/libzappbase.so.1.0.0"; do
    [ -z "$(searchpath "$library")" ] || fail "$library has a search path"
done
scripts/runpath.sh "$work/deb" "$work/tgz" || fail "empty entry in a search path"

# The library exports exactly what packaging/libzappbase1/symbols lists for this architecture:
# the interface its headers declare, nothing of its inside.
scripts/symbols.sh check "$arch" "$work/deb/usr/lib/$triplet/libzappbase.so.1.0.0" ||
    fail "libzappbase1: exported symbols differ from packaging/libzappbase1/symbols"

# libzappbase1 installs beside the one of every other architecture packaged here: no file of
# one collides with a different file of the other.
for other in build*/libzappbase1_"${version}"_*.deb; do
    [ -f "$other" ] && [ "$other" != "$lib_deb" ] || continue
    scripts/multiarch.sh "$lib_deb" "$other" || fail "libzappbase1: collides with $other"
done

# lintian, as a distribution checks packages, pedantic tags and information included: any tag
# fails but these three, which need nothing done: the platform's catalog directory, which the
# library package owns empty so that catalogs can be put there; a symbols file without a
# Build-Depends-Package field, which names the development package: there is none; and a
# library built with _FORTIFY_SOURCE=2 in which no call has a size the compiler knows, so that
# none could be given a checked variant (its buffers are all sized at run time).
status=0
lintian --tag-display-limit 0 --pedantic --display-info --fail-on error,warning \
    "$lib_deb" "$prog_deb" >"$work/lintian" 2>&1 || status=$?
grep -E '^[A-Z]: ' "$work/lintian" |
    grep -vxF -e 'I: libzappbase1: package-contains-empty-directory [usr/share/zappbase/translations/]' \
        -e 'I: libzappbase1: symbols-file-missing-build-depends-package-field libzappbase.so.1 [symbols]' \
        -e "I: libzappbase1: hardening-no-fortify-functions [usr/lib/$triplet/libzappbase.so.1.0.0]" \
        >"$work/tags" || true
if [ -s "$work/tags" ]; then
    fail "lintian: $(tr '\n' ' ' <"$work/tags")"
elif [ "$status" -ne 0 ]; then
    fail "lintian: status $status: $(grep -v 'root privileges' "$work/lintian" | tr '\n' ' ')"
fi

# Unpacked anywhere, the program checks the examples: from the .tar.gz it finds its library
# beside it by itself; from the .deb it has no search path, so the unpacked library directory
# stands in for the system's.
examples=$work/tgz/$top/share/doc/trcheck/examples
check_run "unpacked tar.gz" "$work/tgz/$top/bin/Strings_Table.txt" \
    "${emulator[@]}" "$work/tgz/$top/bin/trcheck" -translations "$examples/translations" -lang de \
    "$repo/examples/Strings.txt"
check_coverage "unpacked tar.gz: trcoverage" "$examples/translations" \
    "${emulator[@]}" "$work/tgz/$top/bin/trcoverage" -translations "$examples/translations" \
    "$repo/examples/Strings.txt"
examples=$work/deb/usr/share/doc/trcheck/examples
if [ ${#emulator[@]} -eq 0 ]; then
    loader=(env "LD_LIBRARY_PATH=$work/deb/usr/lib/$triplet")
else
    loader=("${emulator[@]}" -E "LD_LIBRARY_PATH=$work/deb/usr/lib/$triplet")
fi
check_run "unpacked deb" "$work/deb/usr/bin/Strings_Table.txt" \
    "${loader[@]}" "$work/deb/usr/bin/trcheck" -translations "$examples/translations" -lang de \
    "$repo/examples/Strings.txt"
check_coverage "unpacked deb: trcoverage" "$examples/translations" \
    "${loader[@]}" "$work/deb/usr/bin/trcoverage" -translations "$examples/translations" \
    "$repo/examples/Strings.txt"

# Installed on this machine: installing the program pulls in the library; the program runs by
# name, its library found by the system's loader, and reads catalogs put into the library's
# catalog directory; removing and purging both leaves nothing behind.
if [ "$target" != native ]; then
    :
elif [ "$(id -u)" -ne 0 ]; then
    echo "package.sh: not root: the packages were built and checked, but not installed;" \
        "skipped: installing them, running the installed trcheck, removing them" >&2
elif grep -v 'not-installed' <<<"$(dpkg-query -W -f='${Status}\n' trcheck libzappbase1 \
    2>/dev/null || true)" | grep -q .; then
    # Checked on the listing alone: dpkg-query fails for a package it has never heard of.
    echo "package.sh: trcheck or libzappbase1 is installed already; not replacing it" >&2
    exit 1
else
    snapshot() { find /usr /var/lib/dpkg/info -xdev 2>/dev/null | sort; }
    # Why the loader's cache may lag: the triggers (ldconfig's among them) that dpkg has not run.
    pending_triggers() {
        local pending
        pending=$(dpkg-query -W -f='${Package} ${Triggers-Pending}\n' 2>/dev/null | awk 'NF > 1' || true)
        [ -z "$pending" ] || echo " (triggers pending: $(tr '\n' ' ' <<<"$pending"))"
    }
    snapshot >"$work/before"
    installed=yes # removed again even if the installation stops half-way
    # apt-get resolves the program's dependency on the library from the files given; the
    # library must not be left out.
    apt_install() {
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
            -o DPkg::Lock::Timeout=300 "$@" >"$work/apt" 2>&1
    }
    if apt_install "$repo/$prog_deb" --simulate; then
        fail "installed: trcheck installs without libzappbase1"
    elif ! grep -q 'Depends: libzappbase1' "$work/apt"; then
        fail "installed: apt-get: $(tail -3 "$work/apt")"
    fi
    apt_install "$repo/$lib_deb" "$repo/$prog_deb" || fail "installed: apt-get: $(tail -3 "$work/apt")"
    # apt waits for other package work on the machine (DPkg::Lock::Timeout); say so.
    grep -m1 'Waiting for cache lock' "$work/apt" >&2 && echo "package.sh: apt-get waited for the above" >&2
    dpkg -L libzappbase1 | grep -qx /usr/share/zappbase/translations ||
        fail "installed: dpkg -L libzappbase1 does not show the catalog directory"
    # Read whole before searching: grep -q leaving a pipe at the first match would make ldconfig
    # fail, now and then, on a write to the closed pipe.
    ldconfig -p >"$work/cache"
    grep -q "libzappbase.so.1 .*=> .*/lib/$triplet/libzappbase.so.1$" "$work/cache" ||
        fail "installed: the library is not in the loader's cache$(pending_triggers)"
    catalogs=/usr/share/doc/trcheck/examples/translations
    # Documentation may be excluded from installation on this machine (dpkg path-exclude).
    [ -d "$catalogs" ] || catalogs=$repo/$build/examples/translations
    check_run "installed" "$work/run/Strings_Table.txt" \
        trcheck -translations "$catalogs" -lang de "$repo/examples/Strings.txt"
    [ -e /usr/bin/Strings_Table.txt ] && fail "installed: table written into /usr/bin"
    check_coverage "installed: trcoverage" "$catalogs" \
        trcoverage -translations "$catalogs" "$repo/examples/Strings.txt"
    # A catalog copied into the platform's directory is found without -translations.
    cp "$catalogs"/*.qm /usr/share/zappbase/translations/
    check_run "installed, default catalogs" "$work/run/Strings_Table.txt" \
        trcheck -lang de "$repo/examples/Strings.txt"
    check_coverage "installed: trcoverage, default catalogs" /usr/share/zappbase/translations \
        trcoverage "$repo/examples/Strings.txt"
    rm -f /usr/share/zappbase/translations/*.qm
    dpkg -r trcheck libzappbase1 >"$work/dpkg" 2>&1 || fail "dpkg -r: $(cat "$work/dpkg")"
    snapshot | diff "$work/before" - >"$work/left" || true
    grep '^>' "$work/left" | grep -v '/var/lib/dpkg/info/' >"$work/left.usr" &&
        fail "removed: left behind: $(tr '\n' ' ' <"$work/left.usr")"
    grep -q '^<' "$work/left" && fail "removed: files gone that were there before"
    dpkg -P trcheck libzappbase1 >"$work/dpkg" 2>&1 || fail "dpkg -P: $(cat "$work/dpkg")"
    installed=
    snapshot | diff "$work/before" - >"$work/left" || fail "purged: left behind: $(tr '\n' ' ' <"$work/left")"
    ldconfig -p >"$work/cache"
    grep -q libzappbase "$work/cache" && fail "purged: the library is still in the loader's cache$(pending_triggers)"
fi

for package in "$lib_deb" "$prog_deb" "$tgz"; do
    echo "$(basename "$package"): $(stat -c %s "$package") bytes"
done
if [ "$failures" -eq 0 ]; then
    echo "[$target] packages passed"
else
    exit 1
fi
