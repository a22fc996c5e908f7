#!/usr/bin/env bash
# Fuzzes the reader of the older program's class files (.br5) with libFuzzer.
# Usage: scripts/fuzz-import.sh [SECONDS]   (default 600)
# Builds into build-fuzz/ with clang, AddressSanitizer and UBSan, runs niced,
# and keeps the grown corpus in build-fuzz/corpus and any crash in
# build-fuzz/crashes/. Not part of ./test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"

# clang and the package that carries libFuzzer for clang 14 on Debian 12.
./scripts/deps.sh clang libclang-rt-14-dev

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DSW_FUZZ=ON >/dev/null
nice cmake --build build-fuzz --target fuzz_legacyparser -j2

mkdir -p build-fuzz/corpus build-fuzz/crashes
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
nice -n 15 build-fuzz/bin/fuzz_legacyparser build-fuzz/corpus tests/fuzz/seeds \
    -dict=tests/fuzz/legacy.dict -max_len=16384 -max_total_time="$seconds" \
    -artifact_prefix=build-fuzz/crashes/ -print_final_stats=1
