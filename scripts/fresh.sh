#!/usr/bin/env bash
# A new user's first steps on a fresh Debian 12, so that a script calling a tool the project's
# scripts do not install fails here on any machine: a minimal root file system (apt and Debian's
# essential packages, from deb.debian.org) holding nothing of this machine but clones of the
# checked-out commit. In it, as root: the README's two commands, demo.sh and test.sh, then
# package.sh, which installs the packages there, runs and removes them; then the same for i386,
# whose library package is installed beside this machine's, as Multi-Arch: same lets it. Then as a
# normal user, in a clone of their own: test.sh and package.sh, which builds and checks the
# packages without installing them. Every process started inside ends with the run, and nothing
# stays mounted. The root file system is made afresh every time in .fresh/ (ignored by git) and
# kept until the next run, to look into. Needs root (it uses sudo otherwise).
# usage: fresh.sh   (.ci/run runs it)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$repo/scripts/fresh.sh" "$@"
fi
scripts/install-deps.sh rootfs
. scripts/rootfs.sh

commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "fresh.sh: uncommitted changes are not tried, only commit $commit" >&2
cache=$repo/.fresh
root=$cache/root
rootfs_remove "$root"
rootfs_make "$root" bookworm "$cache/mmdebstrap.log"

# clone DIR: the commit, cloned as its user would
clone() {
    git clone -q --no-local --no-checkout "$repo" "$1"
    git -C "$1" checkout -q "$commit"
    git -C "$1" remote remove origin # names a folder of this machine
}
clone "$root/root/trcheck"
# What useradd would add, which a minimal system does not have.
echo 'user:x:1000:1000:A new user:/home/user:/bin/bash' >>"$root/etc/passwd"
echo 'user:x:1000:' >>"$root/etc/group"
clone "$root/home/user/trcheck"
chown -R 1000:1000 "$root/home/user"

# shellcheck disable=SC2016 # expanded inside
rootfs_run "$root" -- /bin/bash -euo pipefail -c '
    # step COMMAND...: runs and times one step as its user types it
    step() {
        local start=$SECONDS
        echo "--- fresh: $PWD\$ $*"
        "$@" || {
            echo "--- fresh: $* FAILED after $((SECONDS - start)) s"
            exit 1
        }
        echo "--- fresh: $* passed in $((SECONDS - start)) s"
    }
    # as_user COMMAND...: runs COMMAND as the normal user, in the environment of a login
    as_user() {
        setpriv --reuid=user --regid=user --init-groups \
            env HOME=/home/user USER=user LOGNAME=user "$@"
    }
    # side_by_side: the library packages of this machine and of i386 installed together; the
    # program of each, unpacked, finds its own library through the loader cache and gives the
    # same report
    side_by_side() {
        local native
        native=$(dpkg --print-architecture)
        dpkg --add-architecture i386
        { apt-get -q update && DEBIAN_FRONTEND=noninteractive apt-get -q install -y \
            --no-install-recommends ./build/libzappbase1_*_"$native".deb \
            ./build-i386/libzappbase1_*_i386.deb; } >/tmp/apt.log 2>&1 || {
            cat /tmp/apt.log
            return 1
        }
        dpkg-query -W libzappbase1:"$native" libzappbase1:i386
        ldconfig -p >/tmp/cache
        grep "libzappbase.so.1 " /tmp/cache
        [ "$(grep -c "libzappbase.so.1 " /tmp/cache)" -eq 2 ]
        dpkg-deb -x build/trcheck_*_"$native".deb /tmp/"$native"
        dpkg-deb -x build-i386/trcheck_*_i386.deb /tmp/i386
        set -- -translations build/examples/translations -lang de examples/Strings.txt
        /tmp/"$native"/usr/bin/trcheck "$@" >/tmp/"$native".out
        qemu-i386 /tmp/i386/usr/bin/trcheck "$@" >/tmp/i386.out
        cmp /tmp/"$native".out /tmp/i386.out
        echo "the same report from both: $(wc -l </tmp/i386.out) lines"
        dpkg -P libzappbase1:"$native" libzappbase1:i386
    }
    cd /root/trcheck
    step ./scripts/demo.sh
    step ./scripts/test.sh
    step ./scripts/package.sh
    step ./scripts/test.sh i386
    step ./scripts/package.sh i386
    step side_by_side
    cd /home/user/trcheck
    step as_user ./scripts/test.sh
    step as_user ./scripts/package.sh'
