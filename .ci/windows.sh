#!/usr/bin/env bash
# The Windows build: kentermeer.exe and the test suite cross-compiled with mingw-w64, the
# tests and the output budget check run under wine, then one end-to-end run of the exe under
# wine in tmux.
set -euo pipefail
cd "$(dirname "$0")/.."

source .ci/install.sh
install_packages --no-install-recommends -- \
    cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest tmux bsdutils

build=build-windows
toolchain="$PWD/cmake/mingw-w64-x86_64.cmake"
export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
# The test discovery runs the tests under wine at build time already.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

echo "== A wine prefix, kept running for all the test runs"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # Its exit code says little (it is not zero on some first runs); the registry it leaves does.
    wineboot -i >/dev/null 2>&1 || true
    # The registry files are written when the server ends.
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix"; exit 1; }
fi
wineserver -p
# wine's own background services start with the first program and would hold on to the
# output pipe of whoever started it (the test discovery): start them here, with no pipe.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

echo "== GoogleTest for Windows, from Debian's sources"
gtest_build="$build/googletest"
if [ ! -f "$gtest_build/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$gtest_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$PWD/$gtest_build/install"
    cmake --build "$gtest_build" -j2
    cmake --install "$gtest_build" >/dev/null
fi

echo "== kentermeer.exe and its tests"
# The README's build of the exe alone leaves the tests off in the same folder: on again here.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKENTERMEER_TESTS=ON \
    -DKENTERMEER_WERROR=ON -DGTest_DIR="$PWD/$gtest_build/install/lib/cmake/GTest"
cmake --build "$build" -j2

echo "== The tests and the output budget under wine"
# The console tests need a console, and wine gives one only to a program started from a
# terminal: script supplies it. One test at a time, as they share that terminal; a run that
# finds no test fails.
script -qec "ctest --test-dir '$build' --output-on-failure --timeout 120 -LE e2e \
    --no-tests=error > '$build/ctest.log' 2>&1; echo \$? > '$build/ctest.exit'" \
    /dev/null </dev/null >/dev/null
cat "$build/ctest.log"
[ "$(cat "$build/ctest.exit")" = 0 ]
script -qec "wine '$build/bench/kentermeer_output_budget.exe' --check > '$build/budget.log' 2>&1; \
    echo \$? > '$build/budget.exit'" /dev/null </dev/null >/dev/null
cat "$build/budget.log"
[ "$(cat "$build/budget.exit")" = 0 ]

echo "== The exe under wine in tmux"
bash tests/e2e-windows/windows_test.sh "$build/kentermeer.exe"
