#!/bin/sh
# Static checks of the cross-built settings programs, both widths: the shipped
# Mxcp4410.exe is a Windows GUI program of the right width that needs no
# runtime DLL besides the system's, carries its version resource, and holds no
# trace of the virtual unit, which its variant Mxcp4410-vu.exe does carry.
#
# Usage: artifacts_check.sh MINGW_I686_BUILD_DIR MINGW_X86_64_BUILD_DIR
# Exits 77 (skipped) when neither tree has the programs built.
set -u

passes=0
failures=0
check() {
  # check DESCRIPTION COMMAND...
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

# The DLLs every Windows installation has; anything else would have to ship.
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll advapi32.dll ole32.dll oleaut32.dll
 msvcrt.dll winmm.dll shlwapi.dll comdlg32.dll version.dll "

imports_only_system() {
  for dll in $("$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case $system_dlls in
      *" $dll "*) ;;
      *) echo "  imports $dll"; return 1 ;;
    esac
  done
  return 0
}

has_format() { "$objdump" -f "$1" | grep -q "file format $2"; }
is_gui() { "$objdump" -p "$1" | grep -q "Subsystem.*Windows GUI"; }

# A version string value: the line after its key among the UTF-16 strings.
version_value() { strings -a -el "$1" | grep -A1 -x "$2" | tail -n 1; }
has_version() { [ "$(version_value "$1" "$2")" = "$3" ]; }

# What only the virtual unit brings: its environment variable, its names.
vu_pattern='MX_VIRTUAL_UNITS|VirtualUnit|virtual_unit|_ZN2vu|Mxcp4410-vu'
mentions_vu() { { strings -a "$1"; strings -a -el "$1"; } | grep -Eq "$vu_pattern"; }
no_vu() { ! mentions_vu "$1"; }

checked=0
for pair in "i686:${1:-}:pei-i386" "x86_64:${2:-}:pei-x86-64"; do
  width=${pair%%:*}
  rest=${pair#*:}
  dir=${rest%:*}
  format=${rest##*:}
  shipped=$dir/settings/Mxcp4410.exe
  variant=$dir/settings/Mxcp4410-vu.exe
  if [ -z "$dir" ] || [ ! -f "$shipped" ] || [ ! -f "$variant" ]; then
    echo "note: $width programs not built in '${dir:-?}'"
    continue
  fi
  objdump=$width-w64-mingw32-objdump
  command -v "$objdump" >/dev/null 2>&1 || objdump=objdump
  checked=$((checked + 1))
  echo "=== $width: $dir ==="
  for exe in "$shipped" "$variant"; do
    name=$(basename "$exe")
    check "$width $name is $format" has_format "$exe" "$format"
    check "$width $name is a GUI program" is_gui "$exe"
    check "$width $name imports system DLLs only" imports_only_system "$exe"
    check "$width $name product name" has_version "$exe" ProductName Calvera
    check "$width $name original file name" has_version "$exe" OriginalFilename "$name"
  done
  check "$width Mxcp4410.exe description" has_version "$shipped" FileDescription "Calvera Driver Settings"
  check "$width Mxcp4410.exe has no trace of the virtual unit" no_vu "$shipped"
  check "$width Mxcp4410-vu.exe carries the virtual unit" mentions_vu "$variant"
done

if [ $checked -eq 0 ]; then
  echo "SKIPPED: no cross-built settings program (build the mingw-i686 and mingw-x86_64 presets first)"
  exit 77
fi
echo "windows artifacts: $passes passed, $failures failed"
[ $failures -eq 0 ]
