#!/bin/sh
# Instructions per operation of the three measured paths, counted by callgrind
# (bench/InstructionCounts.cpp). Usage: bench/count_instructions.sh [BUILD_DIR]
set -eu
program="${1:-build}/bench/bench_instructions"
for mode in engine exports single; do
    output=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
        --toggle-collect='measured_*' "$program" "$mode" 2>&1)
    collected=$(printf '%s\n' "$output" | sed -n 's/.*Collected : *\([0-9]*\).*/\1/p')
    operations=$(printf '%s\n' "$output" | sed -n 's/^operations: *\([0-9]*\)/\1/p')
    echo "$mode: $((collected / operations)) instructions per operation ($collected / $operations)"
done
