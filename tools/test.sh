#!/usr/bin/env bash
# The whole test suite: installs what is missing, then builds and tests the optimised build
# (on this processor and on emulated AVX-only and baseline processors), the AddressSanitizer +
# UndefinedBehaviorSanitizer build and the ThreadSanitizer build; then installs the library into a
# temporary prefix and builds the example against it, and fuzzes every kernel against the scalar
# model for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh cmake g++ make pkg-config googletest libgtest-dev libtclap-dev qemu-user libmpfr-dev libgmp-dev

jobs=$(nproc)
for preset in release asan tsan; do
  echo "=== $preset"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
echo "=== install and consume"
bash tools/test-install.sh
echo "=== differential fuzzing, one minute"
bash tools/fuzz.sh 60
echo "=== all test configurations passed"
