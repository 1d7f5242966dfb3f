#!/usr/bin/env bash
# Installs the library into a temporary prefix and builds the example under examples/sigmoid
# against it twice, through the CMake package and through pkg-config, checking its output.
# Exits non-zero if the install, either build or either output is wrong.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

expected='sigmoid(-6.0) = 0.0025
sigmoid(-2.0) = 0.1192
sigmoid(-1.0) = 0.2689
sigmoid(-0.5) = 0.3775
sigmoid(+0.0) = 0.5000
sigmoid(+0.5) = 0.6225
sigmoid(+1.0) = 0.7311
sigmoid(+2.0) = 0.8808
sigmoid(+6.0) = 0.9975'

run() {  # log file, command...: quiet unless the command fails
    local log=$1
    shift
    if ! "$@" >> "$log" 2>&1; then
        cat "$log" >&2
        echo "test-install: failed: $*" >&2
        exit 1
    fi
}

check_output() {  # label, program
    local got
    got=$("$2")
    if [ "$got" != "$expected" ]; then
        echo "test-install: the example built through $1 printed:" >&2
        printf '%s\n' "$got" >&2
        echo "test-install: expected:" >&2
        printf '%s\n' "$expected" >&2
        exit 1
    fi
    echo "test-install: example through $1: ok"
}

echo "test-install: building and installing into $prefix"
run "$work/lib.log" cmake -S "$src" -B "$work/lib" -DCMAKE_BUILD_TYPE=Release \
    -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_TOOLS=OFF
run "$work/lib.log" cmake --build "$work/lib" -j "$jobs"
# --prefix at install time, not at configure time: the installed files must not depend on
# the prefix the build was configured with.
run "$work/lib.log" cmake --install "$work/lib" --prefix "$prefix"

# Only the library's own files may be installed.
installed=$(cd "$prefix" && find . -type f -o -type l | sort)
for want in ./include/orvex/orvex.h orvexConfig.cmake orvexConfigVersion.cmake orvexTargets.cmake \
        pkgconfig/orvex.pc liborvex.a; do
    grep -q -- "$want\$" <<< "$installed" || { echo "test-install: $want not installed" >&2; exit 1; }
done
if grep -v -e '/include/orvex/' -e '/liborvex\.a$' -e '/cmake/orvex/' -e '/pkgconfig/orvex\.pc$' \
        <<< "$installed"; then
    echo "test-install: the files above do not belong in the install" >&2
    exit 1
fi

echo "test-install: example through the CMake package"
run "$work/example.log" cmake -S "$src/examples/sigmoid" -B "$work/cmake-example" \
    -DCMAKE_PREFIX_PATH="$prefix"
run "$work/example.log" cmake --build "$work/cmake-example"
check_output "the CMake package" "$work/cmake-example/sigmoid"

echo "test-install: example through pkg-config"
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name orvex.pc)")
export PKG_CONFIG_PATH
flags=$(pkg-config --cflags --libs orvex)
# shellcheck disable=SC2086  # the flags are meant to split into words
run "$work/pc.log" g++ -O2 -o "$work/pc-sigmoid" "$src/examples/sigmoid/main.cpp" $flags
check_output "pkg-config" "$work/pc-sigmoid"
