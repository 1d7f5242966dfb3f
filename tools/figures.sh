#!/usr/bin/env bash
# Regenerates the published figures from runs on this machine: the accuracy plots, the peer
# benchmark's bar charts and the Python module's chart in docs/figures/, the ulp table with its
# speed-against-accuracy charts, and the measured tables of README.md (only what lies between their
# marker comments is rewritten).
#   tools/figures.sh                    all four parts
#   tools/figures.sh --accuracy-only    accuracy plots and table (about half a minute)
#   tools/figures.sh --throughput-only  peer benchmark, charts and table (several minutes)
#   tools/figures.sh --python-only      the Python module against numpy, chart and tables (a minute)
#   tools/figures.sh --ulp-only         ulp table and charts: every float input and 4 million
#                                       doubles through every kernel and peer (about 20 minutes on
#                                       two idle cores, most of it the float functions)
# The ulp charts take their speeds from the peer benchmark's JSON of an earlier throughput run;
# without one, --ulp-only runs the benchmark at 1024 elements only. ORVEX_FIGURES_ULP_SAMPLES=N
# measures N sampled floats instead of all of them (and ORVEX_FIGURES_ULP_DOUBLE_SAMPLES=N sets the
# doubles), for a quick trial of the pipeline; the README then says how many inputs it saw.
# ORVEX_FIGURES_ULP_REUSE=1 redraws the ulp table and charts from the last run's measurements (kept
# in the build directory) with the speeds of the latest throughput run, without measuring again.
# The build directory is build/figures (ORVEX_FIGURES_BUILD_DIR overrides it); missing Debian
# packages are installed with apt-get, which needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

accuracy=1
throughput=1
python=1
ulp=1
usage="usage: tools/figures.sh [--accuracy-only | --throughput-only | --python-only | --ulp-only]"
case "${1:-}" in
    "") ;;
    --accuracy-only) throughput=0; python=0; ulp=0 ;;
    --throughput-only) accuracy=0; python=0; ulp=0 ;;
    --python-only) accuracy=0; throughput=0; ulp=0 ;;
    --ulp-only) accuracy=0; throughput=0; python=0 ;;
    *) echo "$usage" >&2; exit 2 ;;
esac
if [ $# -gt 1 ]; then
    echo "$usage" >&2
    exit 2
fi

bash tools/deps.sh cmake g++ make python3 gnuplot-nox libtclap-dev
if [ $throughput = 1 ] || [ $ulp = 1 ]; then
    bash tools/deps.sh libbenchmark-dev libhwy-dev libeigen3-dev libsleef-dev
fi
python_option=()
if [ $python = 1 ]; then
    bash tools/deps.sh python3-dev pybind11-dev python3-pybind11 python3-numpy python3-scipy
    python_option=(-DORVEX_BUILD_PYTHON=ON)
fi
if [ $ulp = 1 ]; then
    bash tools/deps.sh libmpfr-dev libgmp-dev
fi

build=${ORVEX_FIGURES_BUILD_DIR:-build/figures}
data=$build/figures-data
mkdir -p "$data" docs/figures
# Configured on every run, so that targets and peers added since the last run are found.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=OFF "${python_option[@]}" > /dev/null
start=$SECONDS

if [ $accuracy = 1 ]; then
    cmake --build "$build" -j 2 --target accuracy
    python3 tools/figures/figures.py accuracy --tool "$build/tools/accuracy/accuracy" \
        --build "$build" --data "$data" --out docs/figures --readme README.md \
        --command "bash tools/figures.sh --accuracy-only" > /dev/null
    echo "figures.sh: accuracy plots and table done after $((SECONDS - start)) s"
fi

if [ $throughput = 1 ]; then
    # The peer benchmark's own script builds it in our build directory and runs it the way it is
    # meant to be run (repetitions in random order); its summary table goes to the terminal.
    if ! ORVEX_PEERS_BUILD_DIR=$build bash tools/peers/run.sh "$data/peers.json"; then
        echo "figures.sh: the peer benchmark did not run (is tools/peers part of the build?)" >&2
        exit 1
    fi
    python3 tools/figures/figures.py throughput --json "$data/peers.json" \
        --build "$build" --data "$data" --out docs/figures --readme README.md \
        --command "bash tools/figures.sh --throughput-only" > /dev/null
    echo "figures.sh: throughput charts and table done after $((SECONDS - start)) s"
fi

if [ $python = 1 ]; then
    cmake --build "$build" -j 2 --target orvex_python
    # The interpreter the module was built for, with the distribution's numpy and scipy.
    interpreter=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
    PYTHONPATH=$build/python "$interpreter" python/bench.py run --json "$data/python.json" > /dev/null
    "$interpreter" python/bench.py publish --json "$data/python.json" --build "$build" --out docs/figures \
        --readme README.md --command "bash tools/figures.sh --python-only" > /dev/null
    echo "figures.sh: Python module chart and tables done after $((SECONDS - start)) s"
fi

if [ $ulp = 1 ]; then
    if ! cmake --build "$build" -j 2 --target ulp_all; then
        echo "figures.sh: ulp_all could not be built (is libmpfr-dev installed?)" >&2
        exit 1
    fi
    peers_json=$data/peers.json
    if [ ! -f "$peers_json" ]; then
        peers_json=$data/peers-1024.json
        if ! ORVEX_PEERS_BUILD_DIR=$build bash tools/peers/run.sh "$peers_json" --benchmark_filter='/1024$'; then
            echo "figures.sh: the peer benchmark did not run; the ulp charts need its speeds" >&2
            exit 1
        fi
    fi
    samples=()
    [ -n "${ORVEX_FIGURES_ULP_SAMPLES:-}" ] && samples+=(--float-samples "$ORVEX_FIGURES_ULP_SAMPLES")
    [ -n "${ORVEX_FIGURES_ULP_DOUBLE_SAMPLES:-}" ] && samples+=(--double-samples "$ORVEX_FIGURES_ULP_DOUBLE_SAMPLES")
    [ -n "${ORVEX_FIGURES_ULP_REUSE:-}" ] && samples+=(--reuse)
    python3 tools/figures/figures.py ulp --tool "$build/tools/ulp/ulp_all" --json "$peers_json" "${samples[@]}" \
        --build "$build" --data "$data" --out docs/figures --readme README.md \
        --command "bash tools/figures.sh --ulp-only" > /dev/null
    echo "figures.sh: ulp table and charts done after $((SECONDS - start)) s"
fi
