#!/bin/sh
# The session tool for Windows streams through the virtual-unit build of the
# 64-bit driver under Wine for about a second: the trial run, the real open and
# the loopback check must pass (mxsession's exit code 0). The unit asked for
# (four channels each way, 3-byte samples) differs from the library's default
# one, so the driver's answers also show that the units reached the library.
#
# Usage: driver_session.sh MINGW_X86_64_BUILD_DIR
# Exits 77 (skipped) when the cross-built programs or Wine are missing.
set -u

build=${1:?usage: driver_session.sh MINGW_X86_64_BUILD_DIR}
tool=$build/tools/session/mxsession.exe
dll=$build/asio/Mxsb4410-vu.dll

for file in "$tool" "$dll"; do
  [ -f "$file" ] || { echo "SKIPPED: $file is not built (build the mingw-x86_64 preset first)"; exit 77; }
done
command -v wine >/dev/null 2>&1 || { echo "SKIPPED: wine is not installed"; exit 77; }

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/mxwine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset MX_VIRTUAL_UNITS
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

wineboot -i >/dev/null 2>&1
folder=$WINEPREFIX/drive_c/session
mkdir -p "$folder"
cp "$tool" "$dll" "$folder/"
# The library by its path, as a host loads a driver it found in the registry.
log=$WINEPREFIX/session.log
timeout 60 wine 'C:\session\mxsession.exe' --driver 'C:\session\Mxsb4410-vu.dll' --seconds 1 \
  --inputs 4 --outputs 4 --width 3 >"$log" 2>&1
rc=$?
tr -d '\r' <"$log"
echo "mxsession exit code $rc"
[ $rc -eq 0 ] || exit 1
tr -d '\r' <"$log" | grep -q 'channels *4 in, 4 out' || { echo "FAIL: the driver did not see the unit asked for"; exit 1; }
tr -d '\r' <"$log" | grep -q 'audio *intact: 4 looped' || { echo "FAIL: not every channel came back intact"; exit 1; }
echo "ok: streamed through the virtual-unit driver with an intact loopback"
