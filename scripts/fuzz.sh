#!/usr/bin/env bash
# fuzz.sh BUILD_DIR SECONDS [TARGET...]: runs each libFuzzer target of the
# fuzz build tree for SECONDS, starting from its checked-in corpus
# (fuzz/<target>/corpus) with its dictionary when it has one. Inputs the run
# finds go to BUILD_DIR/fuzz-corpus/<target>, never into the source tree, and
# are reused by the next run; a crash leaves its input in
# BUILD_DIR/fuzz-findings and fails the script.
# Targets: bench_file sim_chip replies exports faults (default: all).
set -uo pipefail
build=$1
seconds=$2
shift 2
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(bench_file sim_chip replies exports faults)

# Targets named in FUZZ_REPLAY (space-separated) only replay their checked-in
# corpus once, making no new inputs: for a target with an open finding that
# depends on timing, so that a regression run stays repeatable while make fuzz
# keeps looking.
replay=" ${FUZZ_REPLAY:-} "

source_dir=$(cd "$(dirname "$0")/.." && pwd)
findings="$build/fuzz-findings"
mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
  binary="$build/fuzz/fuzz_$target"
  seeds="$source_dir/fuzz/$target/corpus"
  work="$build/fuzz-corpus/$target"
  mkdir -p "$work"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1
           -print_final_stats=1 -artifact_prefix="$findings/$target-")
  [[ -f "$source_dir/fuzz/$target/$target.dict" ]] && options+=(-dict="$source_dir/fuzz/$target/$target.dict")
  # Where a status LED's blink thread runs beside the inputs, libFuzzer's
  # leak check after an input sometimes catches the thread halfway through
  # copying a set and reports a leak that no rerun shows; leaks are the
  # soak's business there.
  case $target in exports | replies | faults) options+=(-detect_leaks=0) ;; esac
  log="$build/fuzz-$target.log"
  if [[ $replay == *" $target "* ]]; then
    echo "-- $target: its corpus replayed"
    "$binary" "${options[@]}" -runs=0 "$seeds" >"$log" 2>&1
  else
    echo "-- $target: $seconds s"
    "$binary" "${options[@]}" "$work" "$seeds" >"$log" 2>&1
  fi
  result=$?
  # The last progress line (executions, coverage, corpus) and the totals.
  grep -E '^#[0-9]+' "$log" | tail -n 1
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|calls,' "$log"
  if [[ $result -ne 0 ]]; then
    echo "-- $target FAILED; the input is in $findings, the report in $log:"
    grep -E 'ERROR|invariant broken|SUMMARY' "$log" | head -n 5
    status=1
  fi
done
exit $status
