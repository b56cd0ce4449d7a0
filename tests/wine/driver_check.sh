#!/bin/sh
# The 64-bit driver under Wine, in one fresh prefix and one virtual X server:
#
#  - regsvr32 (the prefix's 64-bit one) of Mxsb4410.dll copied into system32
#    writes the class and the ASIO entry, read back with "reg query"; a second
#    registration rewrites the entry (a value added by hand disappears);
#    regsvr32 /u removes both and leaves SOFTWARE\ASIO; a class registered to
#    another file keeps pointing there while the ASIO entry is still written.
#  - mxasio_com_host creates the registered driver through CoCreateInstance:
#    without a unit init fails with the no-device message; DllCanUnloadNow
#    follows the object's life; controlPanel starts Mxcp4410.exe from the
#    installation folder on the search path, whose no-device dialog mxwineprobe
#    finds by its title and closes.
#
# Usage: driver_check.sh MINGW_X86_64_BUILD_DIR
# Exits 77 (skipped) when the cross-built programs, Wine or Xvfb are missing.
set -u

build=${1:?usage: driver_check.sh MINGW_X86_64_BUILD_DIR}
dll=$build/asio/Mxsb4410.dll
host=$build/asio/mxasio_com_host.exe
settings=$build/settings/Mxcp4410.exe
probe=$build/tests/wine/mxwineprobe.exe

skip() {
  echo "SKIPPED: $*"
  exit 77
}

if [ -z "${MX_WINE_CHECK_INNER:-}" ]; then
  for file in "$dll" "$host" "$settings" "$probe"; do
    [ -f "$file" ] || skip "$file is not built (build the mingw-x86_64 preset first)"
  done
  command -v wine >/dev/null 2>&1 || skip "wine is not installed"
  command -v xvfb-run >/dev/null 2>&1 || skip "xvfb-run is not installed (package xvfb)"
  MX_WINE_CHECK_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$build"
fi

# --- inside the virtual X server ---

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/mxwine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

failures=0
passes=0
check() {
  what=$1
  shift
  if "$@"; then
    printf 'ok: %s\n' "$what"
    passes=$((passes + 1))
  else
    printf 'FAIL: %s\n' "$what"
    failures=$((failures + 1))
  fi
}

clsid='{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}'
class_key="HKCR\\CLSID\\$clsid"
server_key="$class_key\\InprocServer32"
asio_key='HKLM\SOFTWARE\ASIO'
entry_key="$asio_key\\Calvera"

# The data of one value ("" for the default), or nothing when it is missing.
value() {
  if [ -z "$2" ]; then
    out=$(wine reg query "$1" /ve 2>/dev/null)
  else
    out=$(wine reg query "$1" /v "$2" 2>/dev/null)
  fi
  printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^ *[^ ].*  *REG_SZ  *//p' | head -n 1
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }
key_missing() { ! key_exists "$1"; }
is() { [ "$1" = "$2" ]; }
is_nocase() { [ "$(printf '%s' "$1" | tr 'A-Z' 'a-z')" = "$(printf '%s' "$2" | tr 'A-Z' 'a-z')" ]; }
regsvr() { wine regsvr32 /s "$@" >/dev/null 2>&1; }

wineboot -i >/dev/null 2>&1
system32=$WINEPREFIX/drive_c/windows/system32
cp "$dll" "$system32/Mxsb4410.dll"

registered() {
  round=$1
  check "class description ($round)" is "$(value "$class_key" "")" "Calvera"
  check "class file in the system directory ($round)" \
    is_nocase "$(value "$server_key" "")" 'C:\windows\system32\Mxsb4410.dll'
  check "threading model ($round)" is "$(value "$server_key" ThreadingModel)" "Apartment"
  check "ASIO entry class id ($round)" is "$(value "$entry_key" CLSID)" "$clsid"
  check "ASIO entry description ($round)" is "$(value "$entry_key" Description)" "Calvera"
}

check "regsvr32 Mxsb4410.dll" regsvr Mxsb4410.dll
registered first
wine reg add "$entry_key" /v Extra /d stale /f >/dev/null 2>&1
check "a hand-written value is there" is "$(value "$entry_key" Extra)" "stale"
check "regsvr32 again" regsvr Mxsb4410.dll
registered again
check "the second registration rewrote the entry" is "$(value "$entry_key" Extra)" ""

check "regsvr32 /u" regsvr /u Mxsb4410.dll
check "the class is gone" key_missing "$class_key"
check "the ASIO entry is gone" key_missing "$entry_key"
check "SOFTWARE\\ASIO stays" key_exists "$asio_key"

# The class already belongs to another file: it keeps pointing there, and the
# ASIO entry is still written.
wine reg add "$server_key" /ve /d 'C:\Other\Other.dll' /f >/dev/null 2>&1
regsvr Mxsb4410.dll
check "another file's class keeps its file" is "$(value "$server_key" "")" 'C:\Other\Other.dll'
check "the ASIO entry beside another file's class" is "$(value "$entry_key" CLSID)" "$clsid"
wine reg delete "$class_key" /f >/dev/null 2>&1
regsvr /u Mxsb4410.dll

# A host of ours, through COM, with the driver registered and the settings
# program in an installation folder on the search path.
check "regsvr32 for the host" regsvr Mxsb4410.dll
mkdir -p "$WINEPREFIX/drive_c/Calvera"
cp "$settings" "$WINEPREFIX/drive_c/Calvera/Mxcp4410.exe"
cp "$host" "$WINEPREFIX/drive_c/Calvera/mxasio_com_host.exe"
export WINEPATH='C:\Calvera'
check "the host without a unit" timeout 60 wine 'C:\Calvera\mxasio_com_host.exe' Mxsb4410.dll
check "the host's controlPanel" timeout 60 wine 'C:\Calvera\mxasio_com_host.exe' Mxsb4410.dll panel
rect=$WINEPREFIX/nodevice.rect
check "the settings program shows the no-device dialog" timeout 60 wine "$probe" nodevice en "$rect"
check "the dialog closes" timeout 60 wine "$probe" close

echo "driver wine check: $passes passed, $failures failed"
[ $failures -eq 0 ]
