#!/usr/bin/env bash
# A short run of the settings trials, and try-settings on files whose outcome
# is known: a missing file is created and gives up (two kings cannot mate),
# the example settings make a problem and answer it.
#   settings_trials_test.sh SETTINGS_TRIALS_SCRIPT PROBLEM_TOOL
set -u
script=$(realpath "$1")
tool=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

output=$(HUGE_LINE_MB=32 PROBLEM_TOOL=$tool bash "$script" 30 300 10 5) || fail "trials reported a failure: $output"
grep -qx 'settings files tried: 37 (seed 5, attempt limit 300, 10 s allowed per run)' <<< "$output" || fail "count line: $output"
grep -qx 'crashes: 0, hangs: 0, other failures: 0' <<< "$output" || fail "failure line: $output"
grep -q '^slowest run: [0-9]* ms (trial [0-9]*: CellSize' <<< "$output" || fail "slowest line: $output"
for kind in pipe link dangling-link link-circle folder short-file huge-lines; do
  grep -q "^$kind: [0-9]* ms, largest resident memory [0-9]* kB$" <<< "$output" || fail "$kind line: $output"
done

cd "$work"
line=$("$tool" try-settings missing.txt 50 1) || fail "try-settings on a missing file"
[[ -f missing.txt && ! -s missing.txt ]] || fail "the missing file was not created empty"
[[ $line == "CellSize 40, first-move piece 0, problems 0, attempts 50, mates 0, wrong 0, gave up at the limit" ]] ||
  fail "missing file: $line"

printf '2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n' > example.txt
line=$("$tool" try-settings example.txt 30000 1) || fail "try-settings on the example settings"
[[ $line == "CellSize 50, first-move piece 9, problems "[1-3]", attempts "*", mates "[0-3]", wrong "[0-3]", did not give up" ]] ||
  fail "example settings: $line"
[[ $("$tool" try-settings example.txt 30000 1) == "$line" ]] || fail "the same seed gave another run"

for args in "example.txt" "example.txt 0" "example.txt x" "example.txt 10 1 extra"; do
  # shellcheck disable=SC2086
  "$tool" try-settings $args > /dev/null 2>&1
  [[ $? -eq 2 ]] || fail "try-settings $args was not rejected"
done

if ((failures)); then echo "$failures failures"; exit 1; fi
echo "settings trials: all checks passed"
