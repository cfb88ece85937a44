#!/usr/bin/env bash
# Builds the settings reader's fuzz target with clang (libFuzzer, ASan and
# UBSan) in build-fuzz/ and runs it over the seed corpus for a bounded time.
#   bash tools/fuzz-settings.sh [SECONDS]      (default 60)
# New inputs go to build-fuzz/settings-corpus/, any finding to build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=build-fuzz
cmake -S . -B "$build" \
  -DCMAKE_C_COMPILER="${CC:-clang}" -DCMAKE_CXX_COMPILER="${CXX:-clang++}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DMATE_SANITIZE=ON -DMATE_FUZZ=ON -DMATE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target settings_reader_fuzz -j2

mkdir -p "$build/settings-corpus"
"$build/test-bin/settings_reader_fuzz" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$build/" "$build/settings-corpus" tests/settings/fuzz/corpus
