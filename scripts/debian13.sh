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
command -v mmdebstrap >/dev/null || scripts/install-deps.sh mmdebstrap

suite=trixie
mirror=http://deb.debian.org/debian
# What the build and the suite need beyond Debian's essential packages and apt. Debian 12's
# debian-archive-keyring already holds Debian 13's signing keys.
packages=(g++ cmake make qt6-base-dev qt6-l10n-tools googletest)
cache=$repo/.debian13
root=$cache/root
stamp=$root/.complete
wanted="$suite ${packages[*]}"

# mounts_under DIR: the mount points at or below DIR, deepest first
mounts_under() {
    awk -v dir="$1" '$5 == dir || index($5, dir "/") == 1 { print $5 }' /proc/self/mountinfo |
        sort -r
}
# A run killed before it could clean up leaves its mounts behind; removing the tree through
# them would delete the machine's /dev or the work tree, so they go first.
unmount_all() {
    local point
    for point in $(mounts_under "$cache"); do
        umount -l "$point" 2>/dev/null || true # gone already with the mount above it
    done
    for point in "$root/src" "$root/dev" "$root/proc"; do
        ! mountpoint -q "$point" || {
            echo "debian13: cannot unmount $point" >&2
            return 1
        }
    done
}
unmount_all

if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$wanted" ]; then
    echo "debian13: making the $suite root file system in $root"
    rm -rf --one-file-system "$root" "$root.new" build-debian13
    mkdir -p "$cache"
    start=$SECONDS
    mmdebstrap --mode=root --variant=apt --include="$(
        IFS=,
        echo "${packages[*]}"
    )" \
        --aptopt='Acquire::Retries "3"' \
        "$suite" "$root.new" \
        "deb $mirror $suite main" \
        "deb $mirror $suite-updates main" \
        "deb http://deb.debian.org/debian-security $suite-security main" \
        >"$cache/mmdebstrap.log" 2>&1 || {
        cat "$cache/mmdebstrap.log" >&2
        exit 1
    }
    echo "$wanted" >"$root.new/.complete"
    mv "$root.new" "$root"
    echo "debian13: made in $((SECONDS - start)) s, $(du -sh --one-file-system "$root" | cut -f1)"
else
    echo "debian13: $suite root file system ready in $root"
fi

mkdir -p "$root/src"
trap unmount_all EXIT
mount -t proc proc "$root/proc"
# In one step: a run killed in between would leave mounts shared with the host's /dev, which
# the next run's clean-up would then unmount on the host too.
mount --rbind --make-rslave /dev "$root/dev"
mount --bind "$repo" "$root/src"

# The build directory lies in the work tree, like the other targets'; its paths are the
# chroot's.
# shellcheck disable=SC2016 # expanded inside the chroot
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    /bin/bash -euo pipefail -c '
        g++ --version | head -1
        echo "Qt $(dpkg-query -W -f="\${Version}" libqt6core6t64)"
        cmake -S /src -B /src/build-debian13 -DCMAKE_INSTALL_PREFIX=/usr \
            -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
        cmake --build /src/build-debian13 -j"$(nproc)"
        ctest --test-dir /src/build-debian13 --output-on-failure --no-tests=error -j"$(nproc)"'
