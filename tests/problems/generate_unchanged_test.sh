#!/usr/bin/env bash
# The generator's output for fixed settings and a fixed seed is recorded in
# data/generate/: NAME.settings is a settings file, NAME.expected what
# `problem-tool generate NAME.settings 150 12` printed. The same problems must
# come out byte for byte, so that work on the rules core and the mate test can
# be seen to change nothing. None of the settings has a white pawn.
set -u
tool=$1
data="$(dirname "$0")/data/generate"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
checked=0
for settings in "$data"/*.settings; do
  name=$(basename "$settings" .settings)
  # The tool reads the file with the trainer's reader; give it a copy.
  cp "$settings" "$work/$name.txt"
  if ! "$tool" generate "$work/$name.txt" 150 12 >"$work/$name.out"; then
    echo "FAIL: $name: generate exited with $?"
    failures=$((failures + 1))
  elif ! cmp -s "$work/$name.out" "$data/$name.expected"; then
    echo "FAIL: $name: output differs from $name.expected:"
    diff "$data/$name.expected" "$work/$name.out" | head -n 6
    failures=$((failures + 1))
  fi
  checked=$((checked + 1))
done
if ((checked < 5)); then
  echo "FAIL: only $checked recorded settings found in $data"
  exit 1
fi
if ((failures)); then
  echo "$failures of $checked recorded outputs differ"
  exit 1
fi
echo "all $checked recorded outputs reproduced"
