#!/usr/bin/env bash
# Installs the Python module alone into a scratch prefix and imports it from another directory:
#   install_test.sh PYTHON BUILD_DIR PREFIX PACKAGE_DIR
# PACKAGE_DIR is the module's directory relative to the prefix.
set -euo pipefail
python=$1 build=$2 prefix=$3 package_dir=$4
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" --component python
modules=("$prefix/$package_dir"/orvex*.so)
if [ ! -f "${modules[0]}" ]; then
    echo "install_test: no module under $prefix/$package_dir" >&2
    find "$prefix" >&2
    exit 1
fi
cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT
PYTHONPATH="$prefix/$package_dir" "$python" - "$prefix" <<'PY'
import os, sys
import numpy as np
import orvex
assert os.path.realpath(orvex.__file__).startswith(os.path.realpath(sys.argv[1]) + os.sep), orvex.__file__
y = orvex.sigmoid(np.array([-1.0, 0.0, 1.0], np.float32))
assert y.dtype == np.float32 and y[1] == 0.5, y
print(f"install_test: orvex {orvex.__version__} ({orvex.tier()}) imported from {orvex.__file__}")
PY
