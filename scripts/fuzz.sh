#!/usr/bin/env bash
# Installs what is missing, builds the libFuzzer targets (the fuzz preset, in build-fuzz) and
# fuzzes one of them for SECONDS (default 60):
#   checkstrings  the check loop, from the seeds in fuzz/corpus, with the dictionary
#                 fuzz/checkstrings.dict of what trips decoders (the default)
#   catalogs      the platform's catalog reading, from the seeds in fuzz/catalogs/corpus, with
#                 the dictionary fuzz/catalogs.dict of the catalog format
# and from the inputs found by earlier runs on this machine (build-fuzz/corpus/TARGET).
# An input that fails is saved in build-fuzz/artifacts/; once fixed, keep it in the target's
# regressions folder (fuzz/regressions, fuzz/catalogs/regressions), which the test suite
# replays.
# usage: fuzz.sh [checkstrings|catalogs] [SECONDS [LIBFUZZER_OPTION...]]
set -euo pipefail
cd "$(dirname "$0")/.."
target=checkstrings
case ${1:-} in
checkstrings | catalogs)
    target=$1
    shift
    ;;
esac
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
scripts/install-deps.sh build fuzz
cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"
mkdir -p "build-fuzz/corpus/$target" build-fuzz/artifacts
case $target in
checkstrings)
    options=(-dict=fuzz/checkstrings.dict -max_len=65536)
    seeds=(fuzz/corpus fuzz/regressions)
    ;;
catalogs)
    options=(-dict=fuzz/catalogs.dict -max_len=16384)
    seeds=(fuzz/catalogs/corpus fuzz/catalogs/regressions)
    ;;
esac
# Leaks are looked for at every input that allocates more than it frees; a smaller quarantine
# keeps long runs well under the memory limit.
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:quarantine_size_mb=64 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=20 "${options[@]}" \
    -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/ "$@" "build-fuzz/corpus/$target" "${seeds[@]}"
