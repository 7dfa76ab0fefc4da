#!/usr/bin/env bash
# Reads and analyses the 10 lines × 1000 points × 1024 samples result file end to end with
# crackdepth-cli, next to `cat FILE > /dev/null` on the same file.
# Usage: bench/cli_end_to_end.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
build=${1:-build/release}
file=$(mktemp -d)/LARGE.DPA
trap 'rm -rf "$(dirname "$file")"' EXIT
"$build/bench/read_result_bench" --write-large-result="$file" >/dev/null
size=$(stat -c %s "$file")
runs=10
cat "$file" >/dev/null # warm the cache

measure() { # measure LABEL COMMAND...
    local start end
    start=$(date +%s%N)
    for _ in $(seq $runs); do "${@:2}" >/dev/null; done
    end=$(date +%s%N)
    local ms=$(( (end - start) / runs / 1000000 ))
    echo "$1: ${ms} ms per run, $(( size / 1000 / (ms > 0 ? ms : 1) )) MB/s ($size bytes)"
}
measure "cat FILE > /dev/null" cat "$file"
measure "crackdepth-cli info" "$build/src/cli/crackdepth-cli" info "$file"
measure "crackdepth-cli analyze" "$build/src/cli/crackdepth-cli" analyze "$file"
