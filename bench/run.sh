#!/usr/bin/env bash
# Builds the native tree and runs both benchmarks; each prints its baseline,
# measured in the same iterations, and the ratio to it as counters.
#
#   bench/run.sh                 the full set (a few minutes)
#   bench/run.sh --quick         shorter runs, rougher figures
#   BUILD_DIR=dir bench/run.sh   use another build tree configured with benchmarks
set -euo pipefail
cd "$(dirname "$0")/.."

min_time=0.5
if [[ "${1:-}" == "--quick" ]]; then
  min_time=0.05
  shift
fi

build=${BUILD_DIR:-build/native}
if [[ -z "${BUILD_DIR:-}" ]]; then
  cmake --preset native >/dev/null
fi
cmake --build "$build" --target period_path_bench wakeup_bench -j "$(nproc)" >/dev/null

common=(--benchmark_min_time="$min_time" --benchmark_counters_tabular=true "$@")
echo "== per-period path: driver time, memcpy of the same bytes, ratio =="
"$build/bench/period_path_bench" "${common[@]}"
echo
echo "== wake-up: period event -> bufferSwitch round trip, bare event ping-pong, ratio =="
"$build/bench/wakeup_bench" "${common[@]}"
