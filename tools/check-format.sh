#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the project is not formatted as
# .clang-format says. Mend with: clang-format -i FILE...
#
# The code is formatted by clang-format 14. Other major versions lay out some
# constructs differently with the same .clang-format, so with no clang-format
# 14 at hand the check is skipped, saying so in one line, rather than failing
# on code that is formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly FORMAT_MAJOR=14

# clang-format-14 if installed under that name, else clang-format if it is 14.
formatter=
for candidate in "clang-format-$FORMAT_MAJOR" clang-format; do
  if command -v "$candidate" > /dev/null; then
    version=$("$candidate" --version)
    if [[ $version =~ version\ ([0-9]+)\. ]] && ((BASH_REMATCH[1] == FORMAT_MAJOR)); then
      formatter=$candidate
      break
    fi
  fi
done
if [[ -z $formatter ]]; then
  found=$(clang-format --version 2> /dev/null | grep -o -E 'version [0-9]+' || echo "none")
  echo "format: check skipped, the code is formatted by clang-format $FORMAT_MAJOR (clang-format here: $found)"
  exit 0
fi

# Every C++ file of the sources; build directories and hidden ones left out.
mapfile -t files < <(find . -mindepth 1 \( -name 'build*' -o -name '.*' \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
unformatted=()
for file in "${files[@]}"; do
  if ! "$formatter" --dry-run --Werror "$file" > /dev/null 2>&1; then
    unformatted+=("$file")
  fi
done
if ((${#unformatted[@]})); then
  echo "not formatted by $formatter (.clang-format): ${unformatted[*]}" >&2
  echo "mend with: $formatter -i ${unformatted[*]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says ($formatter)"
