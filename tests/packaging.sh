#!/usr/bin/env bash
# The checks package.sh relies on, against packages and libraries made to fail them:
#   symbols    scripts/symbols.sh: a list written from libraries checks them exactly, both ways,
#              per architecture, keeps known versions, and an unreadable line fails
#   multiarch  scripts/multiarch.sh: two architectures' packages that could not be installed
#              side by side are refused, naming the path
# usage: packaging.sh GROUP SOURCE_DIR CXX
set -u
group=$1 source=$2 cxx=$3
symbols=$source/scripts/symbols.sh multiarch=$source/scripts/multiarch.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL [$group] $*"
    failures=$((failures + 1))
}
# passes LABEL COMMAND...: COMMAND succeeds
passes() {
    local label=$1
    shift
    "$@" >"$work/out" 2>&1 || fail "$label: failed: $(cat "$work/out")"
}
# refuses LABEL TEXT COMMAND...: COMMAND fails and says TEXT
refuses() {
    local label=$1 text=$2
    shift 2
    if "$@" >"$work/out" 2>&1; then
        fail "$label: passed"
    elif ! grep -qF -- "$text" "$work/out"; then
        fail "$label: does not say '$text': $(cat "$work/out")"
    fi
}

case $group in
symbols)
    # Two builds of one library: the second exports one function more, as an architecture
    # whose mangled name differs would.
    cat >"$work/lib.cpp" <<'EOF'
struct __attribute__((visibility("default"))) Q {
    Q();
    virtual ~Q();
    void f(long);
#ifdef MORE
    void h(unsigned long);
#endif
};
Q::Q() {}
Q::~Q() {}
void Q::f(long) {}
#ifdef MORE
void Q::h(unsigned long) {}
#endif
EOF
    "$cxx" -shared -fPIC -fvisibility=hidden -o "$work/one.so" "$work/lib.cpp" &&
        "$cxx" -shared -fPIC -fvisibility=hidden -DMORE -o "$work/two.so" "$work/lib.cpp" || {
        echo "FAIL [$group] cannot build the test libraries"
        exit 1
    }
    list=$work/symbols
    passes "write" "$symbols" write "$list" 2.0 amd64="$work/one.so" i386="$work/two.so"
    grep -qxF ' (c++)"Q::f(long)@Base" 2.0' "$list" || fail "write: Q::f not listed for all: $(cat "$list")"
    grep -qxF ' (arch=i386|c++)"Q::h(unsigned long)@Base" 2.0' "$list" ||
        fail "write: Q::h not listed for i386 alone: $(cat "$list")"
    passes "amd64" "$symbols" check amd64 "$work/one.so" "$list"
    passes "i386" "$symbols" check i386 "$work/two.so" "$list"
    refuses "exported, not listed" "Q::h(unsigned long)" "$symbols" check amd64 "$work/two.so" "$list"
    refuses "listed, not exported" "Q::h(unsigned long)" "$symbols" check i386 "$work/one.so" "$list"
    grep -v 'Q::f' "$list" >"$work/short"
    refuses "entry removed" "Q::f(long)" "$symbols" check amd64 "$work/one.so" "$work/short"
    # A negated tag holds everywhere else.
    sed 's/arch=i386|/arch=!armel !amd64|/' "$list" >"$work/negated"
    passes "negated" "$symbols" check i386 "$work/two.so" "$work/negated"
    refuses "negated, excluded" "Q::h(unsigned long)" "$symbols" check amd64 "$work/two.so" "$work/negated"

    # Rewritten after a change, a symbol keeps the version that brought it; a new one gets the
    # version given.
    sed 's/"Q::f(long)@Base" 2.0/"Q::f(long)@Base" 1.5/' "$list" >"$work/older"
    passes "rewrite" "$symbols" write "$work/older" 3.0 amd64="$work/two.so" i386="$work/two.so"
    grep -qxF ' (c++)"Q::f(long)@Base" 1.5' "$work/older" || fail "rewrite: Q::f lost its version"
    grep -qxF ' (c++)"Q::h(unsigned long)@Base" 2.0' "$work/older" ||
        fail "rewrite: Q::h not listed for all at its version: $(cat "$work/older")"

    # A line the check cannot read fails it, rather than dropping the entry.
    for bad in ' _ZN1Q1fEl@Base 2.0' ' (c++|optional)"Q::g()@Base" 2.0' ' (c++)"Q::g()" 2.0'; do
        { cat "$list" && echo "$bad"; } >"$work/bad"
        refuses "unreadable '$bad'" ":$(($(wc -l <"$list") + 1)):" \
            "$symbols" check amd64 "$work/one.so" "$work/bad"
    done
    ;;
multiarch)
    # deb NAME ARCH [FIELD...]: a library package for ARCH from the tree $work/NAME
    deb() {
        local name=$1 arch=$2
        shift 2
        mkdir -p "$work/$name/DEBIAN"
        printf '%s\n' "Package: libp1" "Version: 1.0" "Architecture: $arch" \
            "Maintainer: t <t@example.org>" "Description: test" "$@" >"$work/$name/DEBIAN/control"
        dpkg-deb --root-owner-group -b "$work/$name" "$work/$name.deb" >/dev/null
    }
    # tree NAME TRIPLET: the library in its architecture's directory and the shared documents
    tree() {
        rm -rf "${work:?}/$1"
        mkdir -p "$work/$1/usr/lib/$2" "$work/$1/usr/share/doc/libp1"
        echo "library for $2" >"$work/$1/usr/lib/$2/libp.so.1.0"
        ln -s libp.so.1.0 "$work/$1/usr/lib/$2/libp.so.1"
        echo "changes" >"$work/$1/usr/share/doc/libp1/changelog"
        ln -s changelog "$work/$1/usr/share/doc/libp1/NEWS"
        chmod 644 "$work/$1/usr/share/doc/libp1/changelog"
    }
    same='Multi-Arch: same'
    tree one x86_64-linux-gnu && deb one amd64 "$same"
    tree two i386-linux-gnu && deb two i386 "$same"
    passes "side by side" "$multiarch" "$work/one.deb" "$work/two.deb"
    deb two i386
    refuses "not Multi-Arch" "two.deb is not Multi-Arch: same" "$multiarch" "$work/one.deb" "$work/two.deb"
    deb two i386 "$same" && sed -i 's/^Version: 1.0/Version: 1.1/' "$work/two/DEBIAN/control" &&
        dpkg-deb --root-owner-group -b "$work/two" "$work/two.deb" >/dev/null
    refuses "versions" "Version differs" "$multiarch" "$work/one.deb" "$work/two.deb"
    tree two x86_64-linux-gnu && deb two amd64 "$same"
    refuses "one architecture" "both are for amd64" "$multiarch" "$work/one.deb" "$work/two.deb"
    # A shared document made differently for each architecture (a time or a build folder in it).
    tree two i386-linux-gnu && echo "built on i386" >>"$work/two/usr/share/doc/libp1/changelog" &&
        deb two i386 "$same"
    refuses "contents" "usr/share/doc/libp1/changelog: different contents" \
        "$multiarch" "$work/one.deb" "$work/two.deb"
    tree two i386-linux-gnu && chmod 600 "$work/two/usr/share/doc/libp1/changelog" && deb two i386 "$same"
    refuses "modes" "usr/share/doc/libp1/changelog: different modes" \
        "$multiarch" "$work/one.deb" "$work/two.deb"
    tree two i386-linux-gnu && ln -sfn ../../../lib/i386-linux-gnu "$work/two/usr/share/doc/libp1/NEWS" &&
        deb two i386 "$same"
    refuses "links" "usr/share/doc/libp1/NEWS: not the same symbolic link" \
        "$multiarch" "$work/one.deb" "$work/two.deb"
    # The library put where both architectures put it, not in its own directory.
    tree two i386-linux-gnu && mkdir -p "$work/two/usr/lib/x86_64-linux-gnu" &&
        echo "library for i386" >"$work/two/usr/lib/x86_64-linux-gnu/libp.so.1.0" && deb two i386 "$same"
    refuses "library" "usr/lib/x86_64-linux-gnu/libp.so.1.0: different contents" \
        "$multiarch" "$work/one.deb" "$work/two.deb"
    ;;
*)
    echo "unknown group $group" >&2
    exit 2
    ;;
esac
exit $((failures > 0))
