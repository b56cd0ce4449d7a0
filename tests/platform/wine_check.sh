#!/bin/sh
# Builds the portable platform tests for 64-bit Windows with mingw-w64 and runs
# them under Wine against the real Win32 implementation: a test that passes on
# Linux and here expects what Windows does. Usage: wine_check.sh [build-dir]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/build-platform-wine}
gtest=/usr/src/googletest/googletest
cxx=x86_64-w64-mingw32-g++-posix  # GoogleTest needs std::mutex
flags="-std=c++20 -O1 -Wall -Wextra -Wno-sign-compare -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX"
mkdir -p "$out"
if [ ! -f "$out/gtest.a" ]; then
  $cxx $flags -w -I$gtest/include -I$gtest -c $gtest/src/gtest-all.cc -o "$out/gtest-all.o"
  $cxx $flags -w -I$gtest/include -c $gtest/src/gtest_main.cc -o "$out/gtest_main.o"
  x86_64-w64-mingw32-ar rcs "$out/gtest.a" "$out/gtest-all.o" "$out/gtest_main.o"
fi
$cxx $flags -I$gtest/include -I"$root/platform/win32/include" -I"$root/platform/com/include" \
  "$here/sync_test.cpp" "$here/thread_test.cpp" "$here/memory_test.cpp" "$here/registry_test.cpp" \
  "$here/com_test.cpp" "$out/gtest.a" -static -luuid -lole32 -lwinmm -o "$out/platform_tests.exe"
export WINEPREFIX="$out/prefix" WINEDEBUG=-all
wine "$out/platform_tests.exe" "$@"
