#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: in a normal build
# (build/) and in an AddressSanitizer + UndefinedBehaviorSanitizer build
# (build-asan/), both with warnings as errors. Window tests run under Xvfb.
# Needs root only to install missing packages; as a plain user the tests
# that need root (a second user, mounting a small file system) skip.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh
bash tools/check-format.sh

jobs=$(nproc)
# -noreset: by default the X server resets whenever its last client leaves,
# and a test program that connects during that reset is turned away; between
# two window tests that happens now and then.
xserver_options="-screen 0 1280x1024x24 -noreset"
run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j"$jobs"
  xvfb-run -a -s "$xserver_options" ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

run_suite build -DCMAKE_BUILD_TYPE=Release -DMATE_WERROR=ON
# GTK keeps its own allocations until exit; leak reports would drown ours.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DMATE_WERROR=ON -DMATE_SANITIZE=ON -DMATE_BUILD_BENCH=OFF
