#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes, for the given number of seconds each (default 60), under AddressSanitizer and UBSan:
#   fuzz_config   the start-up load, save and reload of Config.ini, with the INI dictionary;
#   fuzz_picture  the bounded picture reader (PNG, JPEG, BMP and GIF seeds), within 512 MB.
# A crash or sanitizer report fails the run and leaves the input in build-fuzz/artifacts/.
set -euo pipefail
seconds="${1:-60}"
source "$(dirname "$0")/scripts/common.sh"
korvo_install_packages
CC=clang CXX=clang++ KORVO_BUILD_TARGETS="fuzz_config fuzz_picture" korvo_build build-fuzz -DKORVO_BUILD_FUZZ=ON \
    -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF -DKORVO_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug
cd "$KORVO_ROOT/build-fuzz"
mkdir -p artifacts
export ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in config picture; do
    mkdir -p "corpus/$target"
    cp -n "$KORVO_ROOT/fuzz/corpus/$target"/* "corpus/$target/"
done
./fuzz/fuzz_config -max_total_time="$seconds" -max_len=65536 -dict="$KORVO_ROOT/fuzz/config.dict" \
    -artifact_prefix=artifacts/ corpus/config
# ASan's quarantine of freed memory (256 MB by default) would otherwise count against the limit.
ASAN_OPTIONS=$ASAN_OPTIONS:quarantine_size_mb=32 ./fuzz/fuzz_picture -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=512 -artifact_prefix=artifacts/ \
    corpus/picture
