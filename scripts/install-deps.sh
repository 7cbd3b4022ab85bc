#!/usr/bin/env bash
# Installs, when missing, the Debian 12 packages of each purpose named; with none, those that
# building and testing need. Every package any script of the project needs is named here and
# nowhere else, so that a fresh machine gets all of it from the scripts themselves.
# usage: install-deps.sh [PURPOSE...]
set -euo pipefail

# purpose_packages PURPOSE: the packages a purpose needs
purpose_packages() {
    case $1 in
    # Configure, build and run the whole suite on this machine; ICU for trcoverage's checks.
    build) echo cmake make g++ qt6-base-dev qt6-l10n-tools googletest libicu-dev ;;
    # The coverage page's tests and benchmark load it in Chromium, driven through chromedriver by
    # Selenium (run with /usr/bin/python3); two fonts let the screenshots show emoji and control
    # characters (as U+2400 and on) as a desktop shows them.
    browser) echo chromium chromium-driver python3-selenium fonts-noto-color-emoji \
        fonts-freefont-ttf ;;
    # package.sh, reproducible.sh, symbols.sh: the commit's time (git), lintian, the symbols
    # file (dpkg-gensymbols), reading ELF files (readelf, c++filt).
    package) echo git lintian dpkg-dev binutils ;;
    # A target: its cross compiler and the emulator that runs its tests and packaged program.
    i386) echo g++-i686-linux-gnu qemu-user ;;
    armel) echo g++-arm-linux-gnueabi qemu-user ;;
    armhf) echo g++-arm-linux-gnueabihf qemu-user ;;
    # debian13.sh and fresh.sh: a root file system made from Debian's packages, the commit cloned
    # into it.
    rootfs) echo mmdebstrap git ;;
    sanitize) echo libasan8 libubsan1 ;;
    fuzz) echo clang libclang-rt-14-dev ;;
    bench) echo valgrind time ;;
    *) return 1 ;;
    esac
}

[ $# -gt 0 ] || set -- build
packages=()
for purpose in "$@"; do
    more=$(purpose_packages "$purpose") || {
        echo "install-deps.sh: unknown purpose '$purpose'" \
            "(build, browser, package, i386, armel, armhf, rootfs, sanitize, fuzz, bench)" >&2
        exit 1
    }
    read -ra more <<<"$more"
    packages+=("${more[@]}")
done
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        echo "install-deps.sh: missing ${missing[*]}; install them as root:" \
            "apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi
# Another installation on the machine holds apt's lock for a while: wait for it. apt's and
# dpkg's own output matters only when they fail.
apt=(apt-get -q -o DPkg::Lock::Timeout=600)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "install-deps.sh: installing ${missing[*]}"
if ! { "${sudo[@]}" "${apt[@]}" update &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y \
        --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "install-deps.sh: installing ${missing[*]} failed" >&2
    exit 1
fi
