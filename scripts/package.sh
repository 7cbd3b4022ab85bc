#!/usr/bin/env bash
# Makes the .deb and the .tar.gz of a build that scripts/test.sh made (build/ or build-TARGET/)
# and checks them: their architecture and contents, and that the packaged program, unpacked
# anywhere, finds its library and checks the bundled examples, under qemu for a target. For
# this machine's build it also installs the .deb with dpkg, runs the installed program, and
# removes the package again.
# usage: package.sh [i386|armel|armhf]
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
    echo "usage: $0 [i386|armel|armhf]" >&2
    exit 1
    ;;
esac
[ ${#emulator[@]} -eq 0 ] || emulator+=(-L "$repo/.sysroots/$target")

rm -f "$build"/trcheck_*.deb "$build"/trcheck-*.tar.gz
cpack --preset "$target" >"$build/cpack.log" || {
    cat "$build/cpack.log" >&2
    exit 1
}
debs=("$build"/trcheck_*_"$arch".deb)
tgzs=("$build"/trcheck-*-"$arch".tar.gz)
deb=${debs[0]} tgz=${tgzs[0]}

work=$(mktemp -d)
installed=
cleanup() {
    [ -z "$installed" ] || dpkg -P trcheck >/dev/null
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
row() { printf '%6s   |||   %-128s   |||   %s\n' "$@"; }
{
    row 1 Contacts Kontakte
    row 2 'New contact' 'Neuer Kontakt'
    row 3 'Delete this contact?' 'Diesen Kontakt löschen?'
    row 4 'Call %1' '%1 anrufen'
    row 5 Settings Einstellungen
    row 6 Ringtone Klingelton
    row 7 Vibrate Vibration
} >"$work/table"

# check_run LABEL TABLE COMMAND...: runs COMMAND in a bare environment from an empty directory
# and compares its status, report and table with the expected ones.
check_run() {
    local label=$1 table=$2
    shift 2
    rm -rf "$work/run" && mkdir "$work/run"
    local status=0
    (cd "$work/run" && env -i PATH=/usr/bin:/bin "$@" >"$work/out" 2>"$work/err") || status=$?
    [ "$status" -eq 0 ] || fail "$label: status $status: $(cat "$work/err")"
    cmp -s "$work/report" "$work/out" || fail "$label: report differs"
    cmp -s "$work/table" "$table" || fail "$label: table differs"
    [ -s "$work/err" ] && fail "$label: standard error: $(cat "$work/err")"
    return 0
}

# contents LISTING PREFIX: the package holds the program, the library and its soname link, the
# man page and the examples, and nothing for development.
contents() {
    local listing=$1 prefix=$2
    for file in bin/trcheck "lib/$triplet/libzappbase.so.1.0.0" \
        "lib/$triplet/libzappbase.so.1 -> libzappbase.so.1.0.0" share/man/man1/trcheck.1.gz \
        share/doc/trcheck/examples/Strings.txt \
        share/doc/trcheck/examples/translations/contacts_de.qm; do
        grep -qF " $prefix$file" "$listing" || fail "$(basename "$listing"): no $prefix$file"
    done
    grep -qE '\.h$|libzappbase\.so( |$)' "$listing" && fail "$(basename "$listing"): development files"
    return 0
}

dpkg-deb -c "$deb" | sed 's/^\([^ ]* *\)\{5\}/ /' >"$work/deb.list"
contents "$work/deb.list" ./usr/
tar tvzf "$tgz" | sed 's/^\([^ ]* *\)\{5\}/ /' >"$work/tgz.list"
top=$(basename "$tgz" .tar.gz)
contents "$work/tgz.list" "$top/"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "deb: architecture is not $arch"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6' || fail "deb: no dependency on libqt6core6"

# Unpacked anywhere, the program finds its library beside it.
mkdir "$work/deb" "$work/tgz"
dpkg-deb -x "$deb" "$work/deb"
tar xzf "$tgz" -C "$work/tgz"
for tree in "$work/deb/usr" "$work/tgz/$top"; do
    examples=$tree/share/doc/trcheck/examples
    check_run "unpacked $(basename "$(dirname "$tree")")" "$tree/bin/Strings_Table.txt" \
        "${emulator[@]}" "$tree/bin/trcheck" -translations "$examples/translations" -lang de \
        "$repo/examples/Strings.txt"
done

# Installed, the program is found in PATH and writes its table into the working directory.
if [ "$target" = native ]; then
    if dpkg-query -W -f='${Status}' trcheck 2>/dev/null | grep -q 'ok installed'; then
        echo "package.sh: trcheck is installed already; not replacing it" >&2
        exit 1
    fi
    installed=yes # removed again even if dpkg stops half-way
    dpkg -i "$deb" >/dev/null
    catalogs=/usr/share/doc/trcheck/examples/translations
    # Documentation may be excluded from installation on this machine (dpkg path-exclude).
    [ -d "$catalogs" ] || catalogs=$repo/$build/examples/translations
    check_run "installed" "$work/run/Strings_Table.txt" \
        trcheck -translations "$catalogs" -lang de "$repo/examples/Strings.txt"
    [ -e /usr/bin/Strings_Table.txt ] && fail "installed: table written into /usr/bin"
fi

for package in "$deb" "$tgz"; do
    echo "$(basename "$package"): $(stat -c %s "$package") bytes"
done
if [ "$failures" -eq 0 ]; then
    echo "[$target] packages passed"
else
    exit 1
fi
