#!/usr/bin/env bash
# Runs one group of the coverage page's browser tests with Debian's python3, which has
# python3-selenium; skipped (status 77) where there is none, as in a root file system
# without the browser.
# usage: page_test.sh GROUP FEEDER SCREENSHOTS [EMULATOR...]
if [ ! -x /usr/bin/python3 ]; then
    echo "SKIP [$1] no browser: /usr/bin/python3 is not installed"
    exit 77
fi
# -B: no byte-code cache written into the source tree.
exec /usr/bin/python3 -B "$(dirname "$0")/page_test.py" "$@"
