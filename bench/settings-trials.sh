#!/usr/bin/env bash
# Gives the trainer's settings reader and a headless problem cycle many random
# settings files: random bytes, numbers in and out of range (with blanks,
# signs, overflowing digits and trailing text), every kind of line end, too
# few or too many lines, and random piece names. Each file gets its own
# process with a time limit (problem-tool try-settings, attempt limit lowered).
# Prints the number of runs, the crashes, hangs and other failures (all must
# be 0) and the slowest run; files that failed are kept. Then the same for
# odd files: a named pipe, links, a folder and two lines of HUGE_LINE_MB MiB
# (default 1024), with each run's largest resident memory.
#
#   bash bench/settings-trials.sh [COUNT [LIMIT [SECONDS [SEED]]]]
#     COUNT    files to try (default 1000)
#     LIMIT    attempt limit of each generation run (default 2000)
#     SECONDS  time allowed for one run (default 10)
#     SEED     seed of the file maker (default: from the clock)
# PROBLEM_TOOL names the tool to run (default build/bin/problem-tool), so the
# check can also run on a sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

count=${1:-1000}
limit=${2:-2000}
seconds=${3:-10}
seed=${4:-$(( $(date +%s) % 32768 ))}
tool=${PROBLEM_TOOL:-build/bin/problem-tool}
[[ -x $tool ]] || { echo "settings-trials: no $tool; build first" >&2; exit 2; }
tool=$(realpath "$tool")

work=$(mktemp -d "${TMPDIR:-/tmp}/settings-trials.XXXXXX")
kept="$work/failed"
mkdir -p "$kept"
RANDOM=$seed

# Sets R to a number from 0 to $1 - 1 (up to 2^30). No subshell, so the
# same SEED makes the same files.
pick() { R=$(( (RANDOM << 15 | RANDOM) % $1 )); }

# Prints $1 random bytes; with a second argument no NUL, CR or LF among them.
random_bytes() {
  local left=$1 hex
  for ((; left > 0; --left)); do
    pick 256
    if (($# > 1)) && ((R == 0 || R == 10 || R == 13)); then R=32; fi
    printf -v hex '%02x' "$R"
    printf "\\x$hex"
  done
}

piece_names=("пешка" "конь" "слон" "ладья" "ферзь" "король" "любая")
odd_names=("" "Ферзь" "ферзь " " конь" "КОНЬ" "queen" "любая любая" $'\xef\xbb\xbfслон' $'\xd0' $'\xff\xfe' $'ладья\tx')

# Prints one numeric line without its end.
number_line() {
  pick 12
  case $R in
    0|1|2|3|4) pick 11; printf '%d' "$R" ;;            # within most ranges
    5) pick 31; printf '%d' $((40 + R)) ;;             # a cell size
    6) pick 100000; printf -- '-%d' "$R" ;;            # negative
    7) pick 1000000000; printf '%d%09d' "$R" "$R" ;;   # overflows 32 bits
    8) pick 200; printf ' \t+%d trailing words' "$R" ;;
    9) printf '2147483647' ;;
    10) printf -- '-2147483648' ;;
    *) pick 12; random_bytes "$R" within-line ;;
  esac
}

# Prints the piece-name line without its end.
name_line() {
  pick 3
  if ((R > 0)); then
    pick ${#piece_names[@]}; printf '%s' "${piece_names[$R]}"
  else
    pick ${#odd_names[@]}; printf '%s' "${odd_names[$R]}"
  fi
}

# Writes a random settings file to $1, or leaves it missing.
make_file() {
  local file=$1
  pick 10
  case $R in
    0) pick 600; random_bytes "$R" > "$file" ;;
    1) : > "$file" ;;
    2) ;;  # no file at all: the reader creates it
    *)
      local ends=($'\n' $'\r\n' $'\r')
      pick 3
      local end=${ends[$R]}
      local lines=14
      pick 6
      case $R in 0) pick 14; lines=$R ;; 1) pick 6; lines=$((14 + R)) ;; esac
      {
        for ((line = 1; line <= lines; ++line)); do
          if ((line == 14)); then name_line; else number_line; fi
          printf '%s' "$end"
        done
      } > "$file"
      ;;
  esac
}

runs=0 crashes=0 hangs=0 failures=0 slowest=0 slowest_file=""
total_ms=0
for ((trial = 1; trial <= count; ++trial)); do
  dir="$work/run"
  rm -rf "$dir"
  mkdir -p "$dir"
  make_file "$dir/set_figure.txt"
  [[ -e $dir/set_figure.txt ]] && cp "$dir/set_figure.txt" "$dir/as-given" || : > "$dir/missing"
  start=$(date +%s%N)
  status=0
  (cd "$dir" && timeout -s KILL "$seconds" "$tool" try-settings set_figure.txt "$limit" "$trial" > output 2>&1) || status=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  runs=$((runs + 1))
  total_ms=$((total_ms + ms))
  if (( ms > slowest )); then
    slowest=$ms
    slowest_file="trial $trial: $(head -c 200 "$dir/output" | tr '\n' ' ')"
  fi
  verdict=""
  if (( status == 137 )); then hangs=$((hangs + 1)); verdict=hang
  elif (( status > 128 )); then crashes=$((crashes + 1)); verdict=crash
  elif (( status != 0 )); then failures=$((failures + 1)); verdict="exit $status"
  fi
  if [[ -n $verdict ]]; then
    cp -r "$dir" "$kept/trial-$trial"
    echo "trial $trial: $verdict (kept in $kept/trial-$trial)"
  fi
done

# Settings files that are no plain file, or of a size no editor writes: a
# named pipe, links (to a file, to nothing, in a circle), a folder, and lines
# of HUGE_LINE_MB MiB (default 1024). Each must end in time like any run; the
# huge lines must cost no more memory than a short file.
huge_mb=${HUGE_LINE_MB:-1024}
example=$'2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n'
odd_kinds=(pipe link dangling-link link-circle folder short-file huge-lines)
declare -A resident_kb=()
odd_runs=0
for kind in "${odd_kinds[@]}"; do
  dir="$work/run"
  rm -rf "$dir"
  mkdir -p "$dir"
  case $kind in
    pipe) mkfifo "$dir/set_figure.txt" ;;
    link) mkdir "$dir/kept" && printf '%s' "$example" > "$dir/kept/settings" && ln -s kept/settings "$dir/set_figure.txt" ;;
    dangling-link) ln -s kept/nothing "$dir/set_figure.txt" ;;
    link-circle) ln -s other "$dir/set_figure.txt" && ln -s set_figure.txt "$dir/other" ;;
    folder) mkdir "$dir/set_figure.txt" ;;
    short-file) printf '%s' "$example" > "$dir/set_figure.txt" ;;
    huge-lines)
      # Line 1: zeros then 5; line 14: "ферзь" and then letters.
      { head -c $((huge_mb << 20)) /dev/zero | tr '\0' '0'; printf '5\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь'
        head -c $((huge_mb << 20)) /dev/zero | tr '\0' 'x'; printf '\n'; } > "$dir/set_figure.txt" ;;
  esac
  # Reading two such lines takes a few seconds a gigabyte.
  allowed=$seconds
  [[ $kind == huge-lines ]] && allowed=$((seconds + 6 * ((huge_mb + 511) >> 9)))
  start=$(date +%s%N)
  status=0
  (cd "$dir" && timeout -s KILL "$allowed" /usr/bin/time -f '%M' -o resident "$tool" try-settings set_figure.txt "$limit" 1 \
    > output 2>&1) || status=$?
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  odd_runs=$((odd_runs + 1))
  resident_kb[$kind]=$(tail -n 1 "$dir/resident" 2>/dev/null || echo "?")
  verdict=""
  if (( status == 137 )); then hangs=$((hangs + 1)); verdict=hang
  elif (( status > 128 )); then crashes=$((crashes + 1)); verdict=crash
  elif (( status != 0 )); then failures=$((failures + 1)); verdict="exit $status"
  fi
  # What the reader made of them: a pipe, a folder or a broken link reads as
  # empty settings, a link as the file it points to, huge lines as their
  # numbers with the name unmatched.
  case $kind in
    pipe|dangling-link|link-circle|folder) want="CellSize 40, first-move piece 0," ;;
    link|short-file) want="CellSize 50, first-move piece 9," ;;
    huge-lines) want="CellSize 50," ;;
  esac
  if [[ -z $verdict ]] && ! grep -q "^$want" "$dir/output"; then
    failures=$((failures + 1)); verdict="read as: $(head -c 200 "$dir/output")"
  fi
  [[ $kind == pipe && -p $dir/set_figure.txt ]] || [[ $kind != pipe ]] || { failures=$((failures + 1)); verdict="pipe replaced"; }
  echo "$kind: $ms ms, largest resident memory ${resident_kb[$kind]} kB${verdict:+, $verdict}"
  if [[ -n $verdict ]]; then
    [[ $kind == huge-lines ]] && rm -f "$dir/set_figure.txt"  # too large to keep; the script makes it again
    cp -r "$dir" "$kept/$kind" 2> /dev/null || true
  fi
  rm -rf "$dir"
done
if [[ ${resident_kb[huge-lines]} =~ ^[0-9]+$ && ${resident_kb[short-file]} =~ ^[0-9]+$ ]] &&
  (( resident_kb[huge-lines] > resident_kb[short-file] + 16384 )); then
  failures=$((failures + 1))
  echo "huge lines ($huge_mb MiB each) took ${resident_kb[huge-lines]} kB against ${resident_kb[short-file]} kB"
fi
runs=$((runs + odd_runs))

echo "settings files tried: $runs (seed $seed, attempt limit $limit, $seconds s allowed per run)"
echo "crashes: $crashes, hangs: $hangs, other failures: $failures"
echo "slowest run: $slowest ms ($slowest_file)"
echo "mean run: $(( total_ms / (runs - odd_runs) )) ms (random files)"
if (( crashes + hangs + failures == 0 )); then rm -rf "$work"; else echo "failed files kept in $kept"; exit 1; fi
