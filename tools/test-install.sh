#!/usr/bin/env bash
# Installs the library twice into temporary prefixes, as a static and as a shared library, and
# builds programs against each install, checking what they print:
# - the C++ example under examples/sigmoid and the C example under examples/c (a project whose
#   only language is C), each through the CMake package and through pkg-config;
# - a C and a C++ program that print the result bits of all 32 C functions and of all 32 C++
#   entry points: the C bits must be the C++ bits, and the static install's the shared one's;
# - static install: a shared object with liborvex.a inside, loaded by a program with dlopen;
# - shared install: the versioned file names and SONAME, and the exported symbols (nm -D).
# Exits non-zero if an install, a build or an output is wrong.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

version=$(sed -n 's/^project(orvex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
major=${version%%.*}
minor=${version#*.}
minor=${minor%%.*}
if [ "$major" -eq 0 ]; then soversion=$major.$minor; else soversion=$major; fi

# The tiers the library is built with, as in src/CMakeLists.txt: every src/<tier>/ with units.
tiers=()
for dir in src/avx*/; do
    tier=$(basename "$dir")
    compgen -G "$dir*.cpp" > /dev/null && tiers+=("Avx${tier#avx}")
done

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

fail() {
    echo "test-install: $*" >&2
    exit 1
}

check_output() {  # label, expected text, program...
    local label=$1 want=$2 got
    shift 2
    got=$("$@") || fail "$label exited with status $?"
    if [ "$got" != "$want" ]; then
        echo "test-install: $label printed:" >&2
        printf '%s\n' "$got" >&2
        echo "test-install: expected:" >&2
        printf '%s\n' "$want" >&2
        exit 1
    fi
    echo "test-install: $label: ok"
}

cflags_c=(-std=c99 -Wall -Wextra -pedantic -Werror)

for kind in static shared; do
    prefix=$work/$kind
    shared=OFF
    [ "$kind" = shared ] && shared=ON
    echo "test-install: building the $kind library and installing it into $prefix"
    run "$work/$kind-lib.log" cmake -S "$src" -B "$work/$kind-lib" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=$shared -DORVEX_BUILD_TESTS=OFF -DORVEX_BUILD_TOOLS=OFF
    run "$work/$kind-lib.log" cmake --build "$work/$kind-lib" -j "$jobs"
    # --prefix at install time, not at configure time: the installed files must not depend on
    # the prefix the build was configured with.
    run "$work/$kind-lib.log" cmake --install "$work/$kind-lib" --prefix "$prefix"

    # Only the library's own files may be installed.
    installed=$(cd "$prefix" && find . -type f -o -type l | sort)
    wanted=(./include/orvex/orvex.h ./include/orvex/orvex_c.h ./include/orvex/export.h
            ./include/orvex/version.h orvexConfig.cmake orvexConfigVersion.cmake orvexTargets.cmake
            pkgconfig/orvex.pc)
    if [ "$kind" = static ]; then
        wanted+=(/liborvex.a)
        library_files='/liborvex\.a$'
    else
        wanted+=(/liborvex.so "/liborvex.so.$soversion" "/liborvex.so.$version")
        library_files='/liborvex\.so(\.[0-9.]+)?$'
    fi
    for want in "${wanted[@]}"; do
        grep -q -- "$want\$" <<< "$installed" || fail "$want not installed ($kind)"
    done
    if grep -v -E -e '/include/orvex/' -e "$library_files" -e '/cmake/orvex/' -e '/pkgconfig/orvex\.pc$' \
            <<< "$installed"; then
        fail "the files above do not belong in the $kind install"
    fi
    PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name orvex.pc)")
    export PKG_CONFIG_PATH
    [ "$(pkg-config --modversion orvex)" = "$version" ] || fail "orvex.pc says version $(pkg-config --modversion orvex)"
    libdir=$(pkg-config --variable=libdir orvex)

    if [ "$kind" = shared ]; then
        # liborvex.so -> liborvex.so.SOVERSION -> liborvex.so.VERSION, exporting the interface only.
        [ "$(readlink "$libdir/liborvex.so")" = "liborvex.so.$soversion" ] || fail "liborvex.so is not a link to liborvex.so.$soversion"
        [ "$(readlink "$libdir/liborvex.so.$soversion")" = "liborvex.so.$version" ] || fail "liborvex.so.$soversion is not a link to liborvex.so.$version"
        soname=$(objdump -p "$libdir/liborvex.so.$version" | awk '$1 == "SONAME" {print $2}')
        [ "$soname" = "liborvex.so.$soversion" ] || fail "the SONAME is '$soname', not liborvex.so.$soversion"
        tier_list=$(IFS='|'; echo "${tiers[*]}")
        run "$work/shared-nm.log" cmake -DNM=nm -DLIBRARY="$libdir/liborvex.so.$version" \
            "-DTIERS=$tier_list" -P "$src/tests/check_exports.cmake"
        echo "test-install: liborvex.so.$version, SONAME $soname, exports the interface only: ok"
        # The programs built through pkg-config find the library as any installed one is found.
        export LD_LIBRARY_PATH=$libdir
        pc=(pkg-config)
    else
        unset LD_LIBRARY_PATH
        pc=(pkg-config --static)
    fi
    # shellcheck disable=SC2207  # the flags are meant to split into words
    flags=($("${pc[@]}" --cflags --libs orvex))

    run "$work/$kind-example.log" cmake -S "$src/examples/sigmoid" -B "$work/$kind-cmake-example" \
        -DCMAKE_PREFIX_PATH="$prefix"
    run "$work/$kind-example.log" cmake --build "$work/$kind-cmake-example"
    check_output "C++ example, $kind, CMake package" "$expected" "$work/$kind-cmake-example/sigmoid"
    run "$work/$kind-pc.log" g++ -O2 -o "$work/$kind-pc-sigmoid" "$src/examples/sigmoid/main.cpp" "${flags[@]}"
    check_output "C++ example, $kind, pkg-config" "$expected" "$work/$kind-pc-sigmoid"

    # The C example names the version and the tier first.
    run "$work/$kind-c-example.log" cmake -S "$src/examples/c" -B "$work/$kind-c-example" \
        -DCMAKE_PREFIX_PATH="$prefix" "-DCMAKE_C_FLAGS=-Wall -Wextra -pedantic -Werror"
    run "$work/$kind-c-example.log" cmake --build "$work/$kind-c-example"
    run "$work/$kind-c-pc.log" gcc "${cflags_c[@]}" -O2 -o "$work/$kind-c-pc" "$src/examples/c/main.c" "${flags[@]}"
    tier=$("$work/$kind-c-pc" | sed -n '1s/^orvex [0-9.]*, tier \(avx512\|avx2\|avx\|plain\)$/\1/p')
    [ -n "$tier" ] || fail "the C example's first line is: $("$work/$kind-c-pc" | head -n 1)"
    c_expected=$(printf 'orvex %s, tier %s\n%s' "$version" "$tier" "$expected")
    check_output "C example, $kind, CMake package (C only)" "$c_expected" "$work/$kind-c-example/sigmoid_c"
    check_output "C example, $kind, pkg-config" "$c_expected" "$work/$kind-c-pc"

    # The same bits from C and C++, from either install.
    run "$work/$kind-bits.log" gcc "${cflags_c[@]}" -O2 -o "$work/$kind-bits-c" "$src/tests/install/bits.c" "${flags[@]}"
    run "$work/$kind-bits.log" g++ -O2 -o "$work/$kind-bits-cpp" "$src/tests/install/bits.cpp" "${flags[@]}"
    "$work/$kind-bits-c" > "$work/$kind-bits-c.txt"
    "$work/$kind-bits-cpp" > "$work/$kind-bits-cpp.txt"
    [ "$(wc -l < "$work/$kind-bits-c.txt")" -eq 32 ] || fail "the C bit printer printed $(wc -l < "$work/$kind-bits-c.txt") lines, not 32"
    diff "$work/$kind-bits-cpp.txt" "$work/$kind-bits-c.txt" > "$work/$kind-bits.diff" ||
        { cat "$work/$kind-bits.diff" >&2; fail "the C functions' bits differ from the C++ entry points' ($kind)"; }
    echo "test-install: 32 C functions give the C++ bits, $kind: ok"

    if [ "$kind" = static ]; then
        # liborvex.a links into a shared object, which a program loads and calls.
        run "$work/plugin.log" gcc "${cflags_c[@]}" -O2 -fPIC -shared -o "$work/plugin.so" \
            "$src/tests/install/plugin.c" "${flags[@]}"
        run "$work/plugin.log" gcc "${cflags_c[@]}" -O2 -o "$work/loader" "$src/tests/install/loader.c" -ldl
        check_output "shared object with the static library, loaded by dlopen" "$expected" "$work/loader" "$work/plugin.so"
    fi
done

diff "$work/static-bits-c.txt" "$work/shared-bits-c.txt" > "$work/kinds.diff" ||
    { cat "$work/kinds.diff" >&2; fail "the static and the shared library give different bits"; }
echo "test-install: the static and the shared library give the same bits: ok"
