#!/usr/bin/env bash
# Fuzzes the start-up load of Config.ini for the given number of seconds (default 60) under
# AddressSanitizer and UBSan. A crash or sanitizer report fails the run and leaves the input in
# build-fuzz/artifacts/.
set -euo pipefail
seconds="${1:-60}"
source "$(dirname "$0")/scripts/common.sh"
korvo_install_packages
CC=clang CXX=clang++ KORVO_BUILD_TARGETS=fuzz_config korvo_build build-fuzz -DKORVO_BUILD_FUZZ=ON -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF \
    -DKORVO_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug
cd "$KORVO_ROOT/build-fuzz"
mkdir -p corpus artifacts
cp -n "$KORVO_ROOT"/fuzz/corpus/* corpus/
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ./fuzz/fuzz_config -max_total_time="$seconds" -max_len=65536 -artifact_prefix=artifacts/ corpus
