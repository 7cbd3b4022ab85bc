# shellcheck shell=bash
# Sourced by debian13.sh and fresh.sh, which run as root: a Debian root file system made from
# Debian's own packages, and commands run inside it.

rootfs_mirror=http://deb.debian.org/debian

# rootfs_mounts DIR: the mount points at or below DIR, deepest first
rootfs_mounts() {
    awk -v dir="$1" '$5 == dir || index($5, dir "/") == 1 { print $5 }' /proc/self/mountinfo |
        sort -r
}

# rootfs_remove DIR: deletes a root file system. rootfs_run's mounts are never seen here, but a
# run of an older script may have left some; deleting through them would delete the machine's
# /dev or the work tree, so they go first.
rootfs_remove() {
    local point
    for point in $(rootfs_mounts "$1"); do
        umount -l "$point" 2>/dev/null || true # gone already with the mount above it
    done
    [ -z "$(rootfs_mounts "$1")" ] || {
        echo "rootfs: cannot unmount what is mounted below $1" >&2
        return 1
    }
    rm -rf --one-file-system "$1"
}

# rootfs_ready DIR SUITE [PACKAGE...]: whether DIR holds a root file system that rootfs_make
# made with the same arguments
rootfs_ready() {
    local root=$1
    shift
    [ -f "$root/.complete" ] && [ "$(cat "$root/.complete")" = "$*" ]
}

# rootfs_make DIR SUITE LOG [PACKAGE...]: makes in DIR, unless it is ready, a root file system of
# Debian SUITE from deb.debian.org (checked with the machine's debian-archive-keyring): apt and
# the essential packages, and the PACKAGEs with what they depend on. mmdebstrap's output goes
# to LOG, shown if it fails.
rootfs_make() {
    local root=$1 suite=$2 log=$3 start=$SECONDS include=()
    shift 3
    if rootfs_ready "$root" "$suite" "$@"; then
        echo "rootfs: Debian $suite ready in $root"
        return 0
    fi
    echo "rootfs: making Debian $suite in $root"
    rootfs_remove "$root" && rootfs_remove "$root.new" || return
    mkdir -p "$(dirname "$root")"
    [ $# -eq 0 ] || include=(--include="$(IFS=, && echo "$*")")
    mmdebstrap --mode=root --variant=apt "${include[@]}" --aptopt='Acquire::Retries "3"' \
        "$suite" "$root.new" \
        "deb $rootfs_mirror $suite main" \
        "deb $rootfs_mirror $suite-updates main" \
        "deb http://deb.debian.org/debian-security $suite-security main" \
        >"$log" 2>&1 || {
        cat "$log" >&2
        return 1
    }
    # What Debian's installer writes, as no package does: without it "localhost" has no address,
    # and chromedriver reaches the browser it starts by that name.
    printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' \
        >"$root.new/etc/hosts"
    echo "$suite $*" >"$root.new/.complete"
    mv "$root.new" "$root"
    echo "rootfs: made in $((SECONDS - start)) s, $(du -sh --one-file-system "$root" | cut -f1)"
}

# rootfs_run DIR [HOST_DIR:DIR]... -- COMMAND...: runs COMMAND as root inside the root file
# system DIR with a bare environment, /proc, the machine's /dev and each HOST_DIR bound at its
# DIR. It runs in mount and PID namespaces of its own: its mounts are never seen outside, and
# when COMMAND ends, the mounts are gone and every process it left behind is killed with it.
# The namespaces' first process is killed when unshare dies, and unshare when this script dies,
# however it dies.
rootfs_run() {
    local root=$1 binds=()
    shift
    while [ "$1" != -- ]; do
        binds+=("$1")
        shift
    done
    shift
    # shellcheck disable=SC2016 # expanded by the inner shell
    setpriv --pdeathsig KILL unshare --mount --pid --fork --kill-child --mount-proc="$root/proc" \
        /bin/bash -euo pipefail -c '
            root=$1
            shift
            mount --rbind /dev "$root/dev"
            while [ "$1" != -- ]; do
                mkdir -p "$root${1#*:}"
                mount --bind "${1%%:*}" "$root${1#*:}"
                shift
            done
            shift
            exec chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
                LANG=C.UTF-8 "$@"' rootfs_run "$root" "${binds[@]}" -- "$@"
}
