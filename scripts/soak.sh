#!/usr/bin/env bash
# soak.sh BUILD_DIR SECONDS [SEED]: runs the soak built in BUILD_DIR (the
# sanitized tree) for SECONDS, then draws its memory samples. Everything it
# writes goes to BUILD_DIR/soak/: rss.csv, rss.svg, and the library's own
# messages (each failure a fault provoked), which are many.
set -uo pipefail
build=$1 seconds=$2 seed=${3:-}
out="$build/soak"
mkdir -p "$out"
# A small quarantine: freed memory is reused after 16 MiB rather than 256, so
# the resident size settles within the first seconds and a leak shows.
# SOAK_ASAN_OPTIONS adds to these or overrides them (say malloc_context_size=0,
# to see how much of resident memory the allocation stack traces take).
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=16:halt_on_error=1${SOAK_ASAN_OPTIONS:+:$SOAK_ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# shellcheck disable=SC2086 # an empty SEED is no argument
"$build/tests/soak/mdiohost_soak" "$seconds" "$out/rss.csv" $seed 2>"$out/messages.txt"
status=$?
# What the soak itself found, and what the sanitizers report.
grep -E '^soak:|^==[0-9]+==|^SUMMARY:|runtime error' "$out/messages.txt" >&2
python3 "$(dirname "$0")/soak-plot.py" "$out/rss.csv" "$out/rss.svg"
echo "memory samples: $out/rss.csv, picture: $out/rss.svg"
exit $status
