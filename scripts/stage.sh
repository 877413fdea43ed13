#!/usr/bin/env bash
# stage.sh NAME COMMAND...: runs one stage of make test/demo and reports its time.
set -uo pipefail
name=$1; shift
start=$(date +%s)
echo "== $name"
"$@"
status=$?
echo "== $name: $(( $(date +%s) - start )) s$([[ $status -ne 0 ]] && echo ", FAILED")"
exit $status
