#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: in a normal build
# (build/) and in an AddressSanitizer + UndefinedBehaviorSanitizer build
# (build-asan/), both with warnings as errors, on GTK+ 2 and on GTK 3 where
# both are installed. Window tests run under Xvfb.
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

# Where both toolkits' development files are installed, the normal build is
# on GTK+ 2 and the sanitizer build on GTK 3, which also compares its
# windows' geometry with the first build's; otherwise both builds take the
# toolkit the configure step chooses.
normal_toolkit=() sanitizer_toolkit=()
if pkg-config --exists gtk+-2.0 && pkg-config --exists gtk+-3.0; then
  normal_toolkit=(-DMATE_TOOLKIT=gtk2)
  sanitizer_toolkit=(-DMATE_TOOLKIT=gtk3 "-DMATE_OTHER_TOOLKIT_BUILD=$PWD/build")
else
  normal_toolkit=(-DMATE_TOOLKIT=)
  sanitizer_toolkit=(-DMATE_TOOLKIT= -DMATE_OTHER_TOOLKIT_BUILD=)
fi

run_suite build -DCMAKE_BUILD_TYPE=Release -DMATE_WERROR=ON "${normal_toolkit[@]}"
# GTK keeps its own allocations until exit; leak reports would drown ours.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DMATE_WERROR=ON -DMATE_SANITIZE=ON -DMATE_BUILD_BENCH=OFF \
  "${sanitizer_toolkit[@]}"
