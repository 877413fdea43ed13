#!/usr/bin/env bash
# make demo: runs the built tools against the simulated bench.
set -euo pipefail
build=${1:-build}
"$build/tests/host/hello_host"
