#!/bin/sh
# Checks the Windows builds of the driver: each Mxsa4410.dll / Mxsb4410.dll under
# the given build directories must export exactly the five functions, undecorated,
# have DllEntryPoint as its entry point and import no runtime DLL of the compiler.
# The virtual-unit builds beside them (Mxsa4410-vu.dll, Mxsb4410-vu.dll) pass the
# same checks and must carry the virtual unit; the shipped ones must not.
#
#   tests/asio/check_driver_dlls.sh build-asio-mingw32 build-asio-mingw64
#
# OBJDUMP overrides the objdump used (default: x86_64-w64-mingw32-objdump, which
# reads both PE32 and PE32+).
#
# Where Wine is installed, each 64-bit DLL is also loaded by the build's
# mxasio_driver_host.exe (a minimal host making the calls that need no unit);
# MX_WINE_I386=1 runs the 32-bit ones too (needs wine32), MX_NO_WINE=1 skips Wine.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
script="$here/../../asio/cmake/CheckDriverBinary.cmake"
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
[ $# -gt 0 ] || { echo "usage: $0 <build-dir>..." >&2; exit 2; }
# What only the virtual unit brings: its environment variable, its names.
vu_pattern='MX_VIRTUAL_UNITS|VirtualUnit|virtual_unit|_ZN2vu'
mentions_vu() { { strings -a "$1"; strings -a -el "$1"; } | grep -Eq "$vu_pattern"; }
found=0
for dir in "$@"; do
    for dll in "$dir"/asio/Mxsa4410-vu.dll "$dir"/asio/Mxsb4410-vu.dll; do
        [ -f "$dll" ] || continue
        cmake -DBINARY="$dll" -DOBJDUMP="$objdump" -P "$script"
        mentions_vu "$dll" || { echo "$0: $dll carries no virtual unit" >&2; exit 1; }
    done

    for dll in "$dir"/asio/Mxsa4410.dll "$dir"/asio/Mxsb4410.dll; do
        [ -f "$dll" ] || continue
        found=$((found + 1))
        cmake -DBINARY="$dll" -DOBJDUMP="$objdump" -P "$script"
        if mentions_vu "$dll"; then echo "$0: $dll carries a trace of the virtual unit" >&2; exit 1; fi
        host="$dir/asio/mxasio_driver_host.exe"
        if [ "${MX_NO_WINE:-0}" != 1 ] && command -v wine >/dev/null 2>&1 && [ -f "$host" ]; then
            if "$objdump" -f "$dll" | grep -q 'pei-x86-64' || [ "${MX_WINE_I386:-0}" = 1 ]; then
                echo "-- running $dll under Wine"
                (cd "$dir/asio" && WINEDEBUG=-all wine ./mxasio_driver_host.exe "$(basename "$dll")")
            fi
        fi
    done
done
[ "$found" -gt 0 ] || { echo "$0: no driver DLL found under $*" >&2; exit 1; }
echo "$found driver DLL(s) checked"
