#!/bin/sh
# The dialog framework's Win32 backend in process (mxui_backend_check), then
# the settings program under Wine, in a virtual X server: the no-device dialog
# and a second start (shipped program), the main dialog on virtual units
# (variant Mxcp4410-vu), both in English and in Japanese, driven and read back
# by mxwineprobe. Screenshots of the four dialogs go to OUT.
#
# Usage: settings_check.sh MINGW_X86_64_BUILD_DIR OUT_DIR
# Exits 77 (skipped) when the cross-built programs, Wine or Xvfb are missing.
set -u

build=${1:?usage: settings_check.sh MINGW_X86_64_BUILD_DIR OUT_DIR}
out=${2:?usage: settings_check.sh MINGW_X86_64_BUILD_DIR OUT_DIR}
here=$(cd "$(dirname "$0")" && pwd)
program=$build/settings/Mxcp4410.exe
variant=$build/settings/Mxcp4410-vu.exe
probe=$build/tests/wine/mxwineprobe.exe
backend=$build/tests/wine/mxui_backend_check.exe

skip() {
  echo "SKIPPED: $*"
  exit 77
}

if [ -z "${MX_WINE_CHECK_INNER:-}" ]; then
  for file in "$program" "$variant" "$probe" "$backend"; do
    [ -f "$file" ] || skip "$file is not built (build the mingw-x86_64 preset first)"
  done
  command -v wine >/dev/null 2>&1 || skip "wine is not installed"
  command -v xvfb-run >/dev/null 2>&1 || skip "xvfb-run is not installed (package xvfb)"
  mkdir -p "$out"
  # One virtual X server for the whole run, large enough for the Wine desktop.
  MX_WINE_CHECK_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$build" "$out"
fi

# --- inside the virtual X server ---

# A fresh prefix; no Mono or Gecko installation prompts; no Wine diagnostics.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/mxwine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

failures=0
passes=0
fail() {
  printf 'FAIL: %s\n' "$*"
  failures=$((failures + 1))
}
pass() {
  printf 'ok: %s\n' "$*"
  passes=$((passes + 1))
}

# Runs the probe; its lines are the checks.
run_probe() {
  if wine "$probe" "$@"; then pass "probe $1 ${2:-}"; else fail "probe $1 ${2:-}"; fi
}

# Waits up to 20 s for a started program to end.
wait_end() {
  pid=$1 what=$2 waited=0
  while kill -0 "$pid" 2>/dev/null && [ $waited -lt 100 ]; do
    sleep 0.2
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$what did not end"
    kill "$pid" 2>/dev/null
  else
    pass "$what ended"
  fi
}

# Crops the dialog (rectangle file written by the probe) out of the screen,
# once two grabs in a row agree (the last repaints are done).
screenshot() {
  name=$1
  command -v import >/dev/null 2>&1 || { echo "note: no screenshot $name (imagemagick is not installed)"; return; }
  [ -s "$out/$name.rect" ] || return
  read -r x y w h <"$out/$name.rect"
  tries=0
  rm -f "$out/$name.png"
  while [ $tries -lt 15 ]; do
    sleep 0.3
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.next.png" 2>/dev/null || break
    if [ -f "$out/$name.png" ] && cmp -s "$out/$name.png" "$out/$name.next.png"; then break; fi
    mv "$out/$name.next.png" "$out/$name.png"
    tries=$((tries + 1))
  done
  rm -f "$out/$name.next.png"
  [ -f "$out/$name.png" ] && echo "screenshot: $out/$name.png"
}

wineboot -i >/dev/null 2>&1
# All programs of the prefix share one Wine desktop window, which draws the
# dialogs' frames and title bars.
cat >"$WINEPREFIX/desktop.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
wine regedit /S "$WINEPREFIX/desktop.reg" >/dev/null 2>&1
# LOGFONT of the caption font: bold, 12 pixels, IPAGothic (fonts-ipafont-gothic).
cat >"$WINEPREFIX/caption-ja.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]
"CaptionFont"=hex:f4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,bc,02,00,00,00,00,00,01,00,00,00,00,49,00,50,00,41,00,47,00,6f,00,74,00,68,00,69,00,63,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00
REG
# The desktop setting takes effect for the wineserver started next.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wine explorer /desktop=Default,1024x768 >/dev/null 2>&1 &
sleep 1

program_windows=$(winepath -w "$program" 2>/dev/null)

# The installation record (in the 32-bit view, where the installer writes it),
# an installation folder with the English README only, and an "open" handler
# for .htm documents that notes what it was given.
install_record() {
  mkdir -p "$WINEPREFIX/drive_c/Calvera/Readme"
  echo "<html><body>README</body></html>" >"$WINEPREFIX/drive_c/Calvera/Readme/Readme_EN.htm"
  cat >"$WINEPREFIX/install.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Classes\Wow6432Node\CLSID\{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}\MXID4410]
@="C:\\Calvera"
"version"="Ver.1.0.0"

[HKEY_CLASSES_ROOT\.htm]
@="htmlfile"

[HKEY_CLASSES_ROOT\htmlfile\shell\open\command]
@="C:\\windows\\system32\\cmd.exe /c echo %1>C:\\Calvera\\opened.txt"
REG
  wine regedit /S "$WINEPREFIX/install.reg" >/dev/null 2>&1
}

# The framework on its Win32 backend, on its own test dialog.
if wine "$backend"; then pass "backend check"; else fail "backend check"; fi

units='1:rates=44100/48000/96000,rate=48000,bufpos=7,setresult=2;3:rates=44100/48000,rate=44100'

for lang in en ja; do
  case $lang in
    en) locale=en_US.UTF-8 ;;
    ja) locale=ja_JP.UTF-8 ;;
  esac
  echo "=== $lang ($locale) ==="
  if [ $lang = ja ]; then
    # A Japanese system's caption font has Japanese letters; the prefix was
    # made with Wine's default (Tahoma), which has none.
    wine regedit /S "$WINEPREFIX/caption-ja.reg" >/dev/null 2>&1
  fi

  # No unit: the shipped program shows the no-device dialog.
  LANG=$locale LC_ALL=$locale wine "$program" DrvConfig 0 >/dev/null 2>&1 &
  pid=$!
  run_probe nodevice $lang "$out/nodevice-$lang.rect"
  screenshot nodevice-$lang
  if [ $lang = en ]; then
    LANG=$locale LC_ALL=$locale run_probe second "$program_windows"
  fi
  run_probe close
  wait_end $pid "no-device dialog ($lang)"

  # From here on the driver package is installed (README in English only).
  [ $lang = en ] && install_record

  # Units 1 and 3 on the virtual unit: the main dialog.
  MX_VIRTUAL_UNITS=$units LANG=$locale LC_ALL=$locale wine "$variant" >/dev/null 2>&1 &
  pid=$!
  run_probe main $lang "$out/main-$lang.rect" installed
  screenshot main-$lang
  if [ $lang = en ]; then run_probe interact; else run_probe close; fi
  wait_end $pid "main dialog ($lang)"
  if [ $lang = en ]; then
    opened=$WINEPREFIX/drive_c/Calvera/opened.txt
    waited=0
    while [ ! -s "$opened" ] && [ $waited -lt 50 ]; do sleep 0.2; waited=$((waited + 1)); done
    if grep -qi 'C:\\Calvera\\Readme\\Readme_EN.htm' "$opened" 2>/dev/null; then
      pass "README opened by the shell"
    else
      fail "README not opened by the shell ($(cat "$opened" 2>/dev/null))"
    fi
  fi
done

echo "wine check: $passes passed, $failures failed"
[ $failures -eq 0 ]
