#!/usr/bin/env bash
# Builds the two programs and starts the trainer in its ready working
# directory build/bin (programs, pictures, Image/ and set_figure.txt).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
cd build/bin
exec ./vindolar
