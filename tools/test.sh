#!/usr/bin/env bash
# The whole test suite: installs what is missing, then builds and tests the optimised build
# (on this processor and on emulated AVX2-only, AVX-only and baseline processors), the same library
# and tests built by clang 14 and built by GCC without optimisation as a shared library (the same
# bits from every compiler, build type and kind of library), the AddressSanitizer +
# UndefinedBehaviorSanitizer build and the ThreadSanitizer build; then installs the library as a
# static and as a shared library into temporary prefixes and builds C and C++ programs against
# each, and fuzzes every kernel against the scalar model for a minute. The optimised build
# includes the Python module and its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh cmake gcc g++ clang-14 make pkg-config binutils googletest libgtest-dev libtclap-dev qemu-user \
  python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pytest libmpfr-dev libgmp-dev

jobs=$(nproc)
for preset in release clang debug asan tsan; do
  echo "=== $preset"
  # A sanitised module would need the sanitiser's runtime preloaded into the interpreter.
  python=OFF
  [ "$preset" = release ] && python=ON
  cmake --preset "$preset" -DORVEX_BUILD_PYTHON=$python > /dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
echo "=== install static and shared, consume from C and C++"
bash tools/test-install.sh
echo "=== differential fuzzing, one minute"
bash tools/fuzz.sh 60
echo "=== all test configurations passed"
