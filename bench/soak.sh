#!/usr/bin/env bash
# Drives the real trainer and editor with random clicks on a virtual X
# display for a while and prints what happened (see bench/soak/soak.py):
#   bash bench/soak.sh [--minutes M] [--bin DIR] [--seed N] [--keep] [--no-options]
# Defaults: 10 minutes, the programs of build/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
exec xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 -B bench/soak/soak.py "$@"
