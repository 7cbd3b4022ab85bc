#!/usr/bin/env bash
# Prepares .sysroots/TARGET: the target's own QtCore (libraries, headers, CMake files) and the
# C and C++ runtime that qemu needs to run the target's programs, unpacked from Debian's
# packages for that architecture. Does nothing when the sysroot is already complete.
# usage: sysroot.sh TARGET   (i386, armel or armhf)
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
i386 | armel | armhf) target=$1 ;;
*)
    echo "usage: $0 i386|armel|armhf" >&2
    exit 1
    ;;
esac
arch=$target # the Debian architecture has the target's name

# What runs on the target: QtCore with every library it needs, down to the dynamic loader (ICU's
# among them, which trcoverage links too), and libatomic, which the toolkit's CMake files link
# on ARM without hardware atomics.
runtime=(libqt6core6 libatomic1)
# What only the build needs: headers, CMake files and mkspecs, and ICU's headers and link.
# Their dependencies would drag in the whole toolkit and the C library's headers, and the build
# machine's own tools stand in for the target's.
build_only=(qt6-base-dev qmake6 libicu-dev)

root=$PWD/.sysroots/$target
state=$PWD/.sysroots/.apt-$target
stamp=$root/.complete
wanted="${runtime[*]} | ${build_only[*]}"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    echo "sysroot $target: ready in $root"
    exit 0
fi

# A private apt state: this architecture only, nothing installed, the machine's own sources
# and settings otherwise. The machine's dpkg database is never touched.
rm -rf "$root" "$state"
mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$root"
: >"$state/status"
apt=(apt-get -q -o "APT::Architecture=$arch" -o "APT::Architectures::=$arch"
    -o "Dir::State=$state" -o "Dir::State::status=$state/status" -o "Dir::Cache=$state/cache"
    -o "Dir::Cache::archives=$state/cache/archives" -o "APT::Install-Recommends=false"
    -o "APT::Get::Assume-Yes=true")

echo "sysroot $target: fetching the package lists"
"${apt[@]}" update >"$state/update.log" 2>&1 || {
    cat "$state/update.log" >&2
    exit 1
}
echo "sysroot $target: fetching ${runtime[*]} with their dependencies, ${build_only[*]} alone"
"${apt[@]}" install --download-only "${runtime[@]}" >"$state/install.log" 2>&1 || {
    cat "$state/install.log" >&2
    exit 1
}
(cd "$state/cache/archives" && "${apt[@]}" download "${build_only[@]}") >>"$state/install.log" 2>&1 || {
    cat "$state/install.log" >&2
    exit 1
}

debs=("$state"/cache/archives/*.deb)
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$root"
done
echo "$wanted" >"$stamp"
echo "sysroot $target: ${#debs[@]} packages, $(du -sh "$root" | cut -f1) in $root"
rm -rf "$state"
