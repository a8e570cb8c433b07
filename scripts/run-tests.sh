#!/usr/bin/env bash
# Builds and runs every test suite three times: natively (gcc), under AddressSanitizer and
# UndefinedBehaviorSanitizer with the libFuzzer targets (clang), and as the Windows build
# (MinGW-w64) under Wine; then the MSVC-ABI Windows build (clang-cl) with its own test
# programs under Wine; then both Windows builds again for 32-bit x86, under 32-bit Wine.
# Installs missing Debian packages first. Every stage runs even when an earlier one failed;
# the last line sums up all stages and the exit code is non-zero when anything failed.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QZ_BUILD_ROOT:-$root/build}
jobs=${QZ_JOBS:-$(nproc)}

"$root/scripts/install-deps.sh" || exit 1

passed=0
failed=0
failed_stages=()

# stage NAME CMAKE_ARGS... : configure, build and test one build tree.
stage() {
    local name=$1
    shift
    local dir="$build/$name"
    echo
    echo "=== $name ==="
    if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        echo "$name: configure failed"
        failed=$((failed + 1))
        failed_stages+=("$name (configure)")
        return
    fi
    if ! cmake --build "$dir" -j "$jobs"; then
        echo "$name: build failed"
        failed=$((failed + 1))
        failed_stages+=("$name (build)")
        return
    fi
    local log="$dir/ctest.log"
    ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 600 ${ctest_retry[@]+"${ctest_retry[@]}"} \
        2>&1 | tee "$log"
    # ctest closes with "N% tests passed, F tests failed out of T".
    local summary total stage_failed
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$summary" ]; then
        echo "$name: no test summary"
        failed=$((failed + 1))
        failed_stages+=("$name (no tests ran)")
        return
    fi
    stage_failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + total - stage_failed))
    failed=$((failed + stage_failed))
    [ "$stage_failed" -eq 0 ] || failed_stages+=("$name")
}

mkdir -p "$build"

stage native -DCMAKE_BUILD_TYPE=RelWithDebInfo

CC=clang CXX=clang++ stage sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQZ_SANITIZE=ON -DQZ_LIBFUZZER=ON -DQZ_BUILD_BENCHMARKS=OFF

# use_wine_prefix DIR WINE WINEARCH: the Wine prefix of the stages that follow, made once with
# the Wine loader WINE and kept with the build; its server stays up until the prefix changes.
use_wine_prefix() {
    if [ -n "${WINEPREFIX:-}" ]; then
        /usr/lib/wine/wineserver -k 2>/dev/null || true
    fi
    export WINEPREFIX=$1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Creating the Wine prefix in $WINEPREFIX"
        WINEARCH=$3 "$2" wineboot -i >/dev/null 2>&1
    fi
    /usr/lib/wine/wineserver -p 2>/dev/null || true
}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPREFIX
# A Wine program now and then dies at start-up when its connection to the Wine server breaks
# ("wine client error ... recvmsg"), before any of our code runs: under Wine a failed test gets
# one more try. A test that fails twice still fails the stage.
ctest_retry=(--repeat until-pass:2)

# The Windows build runs in a Wine prefix of its own.
use_wine_prefix "$build/windows-wineprefix" /usr/lib/wine/wine64 win64
stage windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=OFF
# The MSVC-ABI build, in the same Wine prefix; its mixed tests load the MinGW service
# libraries that the windows stage built.
stage msvc -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-msvc-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_MINGW_BUILD_DIR="$build/windows"

# The 32-bit builds, in a 32-bit prefix of their own.
use_wine_prefix "$build/windows32-wineprefix" /usr/lib/wine/wine win32
stage windows32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_BUILD_BENCHMARKS=OFF
stage msvc32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/clang-msvc-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ_MINGW_BUILD_DIR="$build/windows32"
/usr/lib/wine/wineserver -k 2>/dev/null || true

echo
if [ ${#failed_stages[@]} -ne 0 ]; then
    echo "Failed: ${failed_stages[*]}"
fi
echo "all stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
