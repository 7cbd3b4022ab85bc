#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: for this machine into
# build/, or for a target into build-TARGET/, where every test runs under the target's qemu.
# debian13 builds and runs it on Debian 13 instead, in a root file system of its own.
# usage: test.sh [i386|armel|armhf|debian13]
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-native}
case $target in
native) scripts/install-deps.sh build browser ;;
i386 | armel | armhf) scripts/install-deps.sh build browser "$target" ;;
debian13) exec scripts/debian13.sh ;;
*)
    echo "usage: $0 [i386|armel|armhf|debian13]" >&2
    exit 1
    ;;
esac
[ "$target" = native ] || scripts/sysroot.sh "$target"
cmake --preset "$target"
cmake --build --preset "$target" -j"$(nproc)"
ctest --preset "$target" -j"$(nproc)"
