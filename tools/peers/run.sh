#!/usr/bin/env bash
# Builds and runs the peer benchmark, writes its JSON and prints the summary table.
#   tools/peers/run.sh [output.json] [extra benchmark arguments...]
# The JSON goes to build/peers/peers.json unless given. The build directory is build/peers
# (ORVEX_PEERS_BUILD_DIR overrides it). A full run takes about three minutes on two busy cores
# and holds about 1 GB of buffers.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh cmake g++ make python3 libbenchmark-dev libhwy-dev libeigen3-dev libsleef-dev

build=${ORVEX_PEERS_BUILD_DIR:-build/peers}
out=${1:-$build/peers.json}
[ $# -gt 0 ] && shift

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=OFF > /dev/null
fi
binary=$build/tools/peers/peers
if ! cmake --build "$build" -j "$(nproc)" --target peers || [ ! -x "$binary" ]; then
    echo "run.sh: $binary could not be built (is libbenchmark-dev installed?)" >&2
    exit 1
fi

mkdir -p "$(dirname "$out")"
# Repetitions in random order, so that a drift of the shared machine's speed spreads over all
# implementations instead of favouring the ones that happen to run in a quiet moment.
"$binary" --benchmark_out="$out" --benchmark_out_format=json --benchmark_repetitions=3 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.05 "$@" > /dev/null
echo "run.sh: results in $out"
python3 tools/peers/table.py "$out"
