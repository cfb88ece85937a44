#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the project is not formatted as
# .clang-format says. Mend with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

# Every C++ file of the sources; build directories and hidden ones left out.
mapfile -t files < <(find . -mindepth 1 \( -name 'build*' -o -name '.*' \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
unformatted=()
for file in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done
if ((${#unformatted[@]})); then
  echo "not formatted by clang-format (.clang-format): ${unformatted[*]}" >&2
  echo "mend with: clang-format -i ${unformatted[*]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
