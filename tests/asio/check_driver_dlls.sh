#!/bin/sh
# Checks the Windows builds of the driver: each Mxsa4410.dll / Mxsb4410.dll under
# the given build directories must export exactly the five functions, undecorated,
# have DllEntryPoint as its entry point and import no runtime DLL of the compiler.
#
#   tests/asio/check_driver_dlls.sh build-asio-mingw32 build-asio-mingw64
#
# OBJDUMP overrides the objdump used (default: x86_64-w64-mingw32-objdump, which
# reads both PE32 and PE32+).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
script="$here/../../asio/cmake/CheckDriverBinary.cmake"
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
[ $# -gt 0 ] || { echo "usage: $0 <build-dir>..." >&2; exit 2; }
found=0
for dir in "$@"; do
    for dll in "$dir"/asio/Mxsa4410.dll "$dir"/asio/Mxsb4410.dll; do
        [ -f "$dll" ] || continue
        found=$((found + 1))
        cmake -DBINARY="$dll" -DOBJDUMP="$objdump" -P "$script"
    done
done
[ "$found" -gt 0 ] || { echo "$0: no driver DLL found under $*" >&2; exit 1; }
echo "$found driver DLL(s) checked"
