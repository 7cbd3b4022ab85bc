#!/usr/bin/env bash
# Checks that two .deb of one package for two architectures install side by side, as dpkg lets
# a Multi-Arch: same package: both say so, have the same version, and every path that both
# ship is a directory in both, or the same file (same bytes and mode) or the same symbolic link
# in both. A path only one of them ships (the library in its architecture's directory) is
# always fine.
# usage: multiarch.sh DEB DEB
set -euo pipefail
[ $# -eq 2 ] || {
    echo "usage: $0 DEB DEB" >&2
    exit 2
}
one=$1 two=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "multiarch.sh: $(basename "$one") and $(basename "$two"): $*" >&2
    status=1
}

field() { dpkg-deb -f "$1" "$2"; }
for deb in "$one" "$two"; do
    [ "$(field "$deb" Multi-Arch)" = same ] || fail "$(basename "$deb") is not Multi-Arch: same"
done
for name in Package Version; do
    [ "$(field "$one" "$name")" = "$(field "$two" "$name")" ] || fail "$name differs"
done
[ "$(field "$one" Architecture)" != "$(field "$two" Architecture)" ] ||
    fail "both are for $(field "$one" Architecture)"

dpkg-deb -x "$one" "$work/one"
dpkg-deb -x "$two" "$work/two"
for side in one two; do
    (cd "$work/$side" && find . -mindepth 1 | LC_ALL=C sort) >"$work/$side.list"
done
shared=0
while IFS= read -r path; do
    shared=$((shared + 1))
    a=$work/one/$path b=$work/two/$path
    if [ -L "$a" ] || [ -L "$b" ]; then
        [ -L "$a" ] && [ -L "$b" ] && [ "$(readlink "$a")" = "$(readlink "$b")" ] ||
            fail "${path#./}: not the same symbolic link in both"
    elif [ -d "$a" ] || [ -d "$b" ]; then
        [ -d "$a" ] && [ -d "$b" ] || fail "${path#./}: a directory in only one"
    elif ! cmp -s "$a" "$b"; then
        fail "${path#./}: different contents"
    elif [ "$(stat -c %a "$a")" != "$(stat -c %a "$b")" ]; then
        fail "${path#./}: different modes"
    fi
done < <(LC_ALL=C comm -12 "$work/one.list" "$work/two.list")
[ "$shared" -gt 0 ] || fail "no path in common; not the same package?"
exit "$status"
