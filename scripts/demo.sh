#!/usr/bin/env bash
# Installs what is missing, builds, and shows the bundled example strings checked against the
# bundled catalogs: the report as a UTF-8 terminal shows it, then the table, then trcoverage's
# summary of every language with the lines that components translate differently.
# usage: demo.sh [LANGUAGE]   (de, fr or pt_BR; default de)
set -euo pipefail
cd "$(dirname "$0")/.."
language=${1:-de}
scripts/install-deps.sh
# The build's own output matters only when it fails.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "Building into build/ ..."
if ! { cmake --preset native && cmake --build --preset native -j"$(nproc)"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "demo: the build failed" >&2
    exit 1
fi

# show COMMAND: prints the command line as a user types it, then runs it
show() {
    echo
    echo "\$ $1"
    bash -o pipefail -c "$1"
}
# The report is Latin-1; iconv turns it into what a UTF-8 terminal displays.
show "build/trcheck -translations build/examples/translations -lang $(printf %q "$language") examples/Strings.txt | iconv -f latin1"
show "cat build/Strings_Table.txt"
show "build/trcoverage -translations build/examples/translations -conflicts examples/Strings.txt"
