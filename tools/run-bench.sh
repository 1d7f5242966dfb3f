#!/usr/bin/env bash
# Builds the optimised programs and runs bench with its defaults (extra arguments go to bench).
# Uses a build directory of its own, so that it never changes the test presets' configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh cmake g++ make libtclap-dev
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=OFF > /dev/null
cmake --build build/bench -j "$(nproc)" --target bench
exec build/bench/tools/bench/bench "$@"
