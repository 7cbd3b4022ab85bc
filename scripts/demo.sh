#!/usr/bin/env bash
# Installs what is missing, builds, and checks the bundled example strings against the
# bundled catalogs. usage: demo.sh [LANGUAGE]   (de, fr or pt_BR; default de)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
echo
echo "\$ build/trcheck -translations build/examples/translations -lang ${1:-de} examples/Strings.txt"
build/trcheck -translations build/examples/translations -lang "${1:-de}" examples/Strings.txt
echo
echo "\$ cat build/Strings_Table.txt"
cat build/Strings_Table.txt
