#!/usr/bin/env bash
# Builds the differential kernel fuzzer (clang, libFuzzer, ASan + UBSan: the fuzz preset) and runs
# it for SECONDS (default 60) on a copy of the seed corpus in a temporary directory, so that a
# run never grows the repository. Exits non-zero on any finding; the failing input is kept in
# <build dir>/fuzz-findings/ and can be replayed with `orvex_kernel_fuzz <file>`.
#
#   bash tools/fuzz.sh [SECONDS]        e.g. bash tools/fuzz.sh 3600 for a longer run
#
# ORVEX_FUZZ_BUILD_DIR chooses another build directory than the preset's build/fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: bash tools/fuzz.sh [SECONDS]  (a positive number of seconds, default 60)" >&2
  exit 2
fi
bash tools/deps.sh clang libclang-rt-14-dev cmake make googletest libgtest-dev libtclap-dev

build=${ORVEX_FUZZ_BUILD_DIR:-build/fuzz}
cmake --preset fuzz -B "$build" > /dev/null
cmake --build "$build" --target orvex_kernel_fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp tests/fuzz/corpus/* "$work/corpus/"
findings="$build/fuzz-findings"
mkdir -p "$findings"

# -max_len: the 4 header bytes and 1024 distinct floats; -timeout: a single input of at
# most 1023 elements takes milliseconds, so seconds mean a hang.
status=0
"$build/tests/fuzz/orvex_kernel_fuzz" -max_len=4100 -timeout=10 -max_total_time="$seconds" \
  -print_final_stats=1 -artifact_prefix="$findings/" "$work/corpus" 2> "$work/log" || status=$?
grep -E '^(#[0-9]+[[:space:]]+DONE|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' \
  "$work/log" || true
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log" >&2
  echo "fuzzing found a fault (status $status); the input is in $findings/" >&2
  exit 1
fi
echo "fuzzing for $seconds s found nothing"
