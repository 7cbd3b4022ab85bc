#!/usr/bin/env bash
# Installs, when missing, the Debian 12 packages that building and testing need, plus any
# package named on the command line. The coverage page's tests load it in Chromium, driven
# through chromedriver by Selenium (run with /usr/bin/python3); two fonts let their screenshots
# show emoji and control characters (as U+2400 and on) as a desktop shows them.
set -euo pipefail
packages=(cmake make g++ qt6-base-dev qt6-l10n-tools googletest
    chromium chromium-driver python3-selenium fonts-noto-color-emoji fonts-freefont-ttf "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
