#!/usr/bin/env bash
# Builds the project on Debian 13 (GCC 14, Qt 6.8) into build-debian13/, failing on any compiler
# warning, and runs the whole test suite there. The Debian 13 root file system is made once
# from Debian's own packages with mmdebstrap and kept in .debian13/; delete that directory to
# make it afresh. Needs root (it uses sudo otherwise) for mmdebstrap, chroot and mount.
# usage: debian13.sh   (scripts/test.sh debian13 runs it)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$repo/scripts/debian13.sh" "$@"
fi
scripts/install-deps.sh rootfs
. scripts/rootfs.sh

suite=trixie
# What the build and the suite need beyond Debian's essential packages and apt (python3 for the
# model of trcoverage's checks). Debian 12's debian-archive-keyring already holds Debian 13's
# signing keys.
packages=(g++ cmake make qt6-base-dev qt6-l10n-tools googletest libicu-dev python3)
cache=$repo/.debian13
root=$cache/root

# A build made in another root file system is not reused.
rootfs_ready "$root" "$suite" "${packages[@]}" || rm -rf build-debian13
rootfs_make "$root" "$suite" "$cache/mmdebstrap.log" "${packages[@]}"

# The work tree is bound at /src; the build directory lies in it, like the other targets', and
# its paths are the root file system's.
# shellcheck disable=SC2016 # expanded inside
rootfs_run "$root" "$repo:/src" -- /bin/bash -euo pipefail -c '
    g++ --version | head -1
    echo "Qt $(dpkg-query -W -f="\${Version}" libqt6core6t64)"
    cmake -S /src -B /src/build-debian13 -DCMAKE_INSTALL_PREFIX=/usr \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    cmake --build /src/build-debian13 -j"$(nproc)"
    ctest --test-dir /src/build-debian13 --output-on-failure --no-tests=error -j"$(nproc)"'
