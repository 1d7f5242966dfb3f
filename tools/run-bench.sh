#!/usr/bin/env bash
# Builds the optimised programs and runs bench with its defaults (extra arguments go to bench).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh cmake g++ make libtclap-dev
cmake --preset release -DORVEX_BUILD_TESTS=OFF > /dev/null
cmake --build --preset release -j "$(nproc)" --target bench
exec build/release/tools/bench/bench "$@"
