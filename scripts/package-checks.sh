# package-checks.sh: the two checks the package tests share. Sourced, not run.

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# expect TEXT COMMAND...: runs COMMAND and fails unless its output has TEXT.
expect() {
  local text=$1 output
  shift
  output=$("$@" 2>&1) || fail "$* exited with $?: $output"
  grep -qF -- "$text" <<<"$output" || fail "$* did not print '$text': $output"
  echo "ok: $*"
}
