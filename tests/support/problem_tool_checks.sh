# Checks of problem-tool as a user runs it, shared by the scripts that test
# its subcommands. Source it with the tool's path in $tool; each failed check
# prints a line and counts; finish_checks ends the script with the verdict.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The tool's output for the arguments is the expected text, with status 0.
expect_output() {  # expected-text args...
  local expected=$1
  shift
  local actual
  actual=$("$tool" "$@" 2>/dev/null)
  local status=$?
  [[ $status -eq 0 ]] || fail "$* exited with $status"
  [[ "$actual" == "$expected" ]] || fail "$*: got [$actual], expected [$expected]"
}

# Bad input: one line on stderr and exit status 2.
expect_rejection() {  # args...
  local err status
  err=$("$tool" "$@" 2>&1 >/dev/null)
  status=$?
  [[ $status -eq 2 ]] || fail "$* exited with $status, expected 2"
  [[ $(printf '%s\n' "$err" | wc -l) -eq 1 && -n "$err" ]] || fail "$*: stderr was [$err], expected one line"
}

finish_checks() {
  if ((failures)); then
    echo "$failures failure(s)"
    exit 1
  fi
  echo "all problem-tool checks passed"
  exit 0
}
