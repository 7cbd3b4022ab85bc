#!/usr/bin/env bash
# Installs what is missing, builds the libFuzzer target (the fuzz preset, in build-fuzz) and
# fuzzes the check loop for SECONDS (default 60), starting from the seeds in fuzz/corpus
# and the inputs found by earlier runs on this machine (build-fuzz/corpus), with the
# dictionary fuzz/checkstrings.dict of what trips decoders.
# An input that fails is saved in build-fuzz/artifacts/; once fixed, keep it in
# fuzz/regressions/, which the test suite replays.
# usage: fuzz.sh [SECONDS [LIBFUZZER_OPTION...]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
scripts/install-deps.sh build fuzz
cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"
mkdir -p build-fuzz/corpus build-fuzz/artifacts
# Leaks are looked for at every input that allocates more than it frees; a smaller quarantine
# keeps long runs well under the memory limit.
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:quarantine_size_mb=64 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    build-fuzz/fuzz/checkstrings_fuzzer -max_total_time="$seconds" -timeout=20 \
    -dict=fuzz/checkstrings.dict \
    -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/ "$@" build-fuzz/corpus fuzz/corpus fuzz/regressions
