#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer (the
# sanitize preset, in build-sanitize) and runs the whole test suite under them; the first
# error, leaks included, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build browser sanitize
cmake --preset sanitize
cmake --build --preset sanitize -j"$(nproc)"
ctest --preset sanitize -j"$(nproc)"
