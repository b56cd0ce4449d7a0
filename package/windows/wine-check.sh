#!/usr/bin/env bash
# Checks the Windows installer under Wine, as far as 64-bit-only Wine can run it.
#
#   wine-check.sh <build-installer.sh arguments without --out/--test64> --work DIR
#
# 1. Builds the release installer (a 32-bit program, which this Wine cannot run)
#    and inspects it; skipped with a note while the Windows settings program
#    does not exist.
# 2. Builds the test installer: the same script as a 64-bit program (see
#    build-installer.sh), and runs it in a fresh Wine prefix: files in place,
#    the installation record in the 32-bit registry view, the 64-bit driver's
#    registration as hosts find it (when the driver writes it), the search path
#    and, through it, the launcher starting a program with its arguments.
# 3. Runs the uninstaller and checks that all of it is gone again, except
#    SOFTWARE\ASIO, which unregistering leaves.
#
# Exits 0 when every check passed, 1 when one failed, 77 (with the reason)
# when Wine, Xvfb, makensis or a cross-built file is missing.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
args=() work=
while (($#)); do
    case "$1" in
        --work) work=$2; shift 2 ;;
        *) args+=("$1"); shift ;;
    esac
done
[[ -n $work ]] || { echo "wine-check.sh: --work is required" >&2; exit 2; }

skip() { echo "SKIPPED: $*"; exit 77; }
for tool in wine wineboot wineserver winepath xvfb-run makensis; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (Debian packages wine, wine64, xvfb, xauth, nsis)"
done

# Windows need an X display; the whole check runs in one Xvfb session.
if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a "$0" "${args[@]}" --work "$work"
fi

mkdir -p "$work"
failures=0
pass() { echo "  ok    $*"; }
fail() { echo "  FAIL  $*"; failures=$((failures + 1)); }
check() {  # check <description> <command...>
    local what=$1; shift
    if "$@" >/dev/null 2>&1; then pass "$what"; else fail "$what"; fi
}

echo "== release installer"
release=$("$here/build-installer.sh" "${args[@]}" --out "$work")
status=$?
if ((status == 77)); then
    echo "  note  not built: ${release#SKIPPED: }"
elif ((status != 0)); then
    fail "the release installer does not build"
else
    format=$(x86_64-w64-mingw32-objdump -f "$release" 2>/dev/null | sed -n 's/.*file format //p')
    check "it is a 32-bit Windows program (runs on 32- and 64-bit Windows): $format" test "$format" = pei-i386
fi

echo "== test installer"
installer=$("$here/build-installer.sh" "${args[@]}" --out "$work" --test64)
status=$?
((status == 77)) && skip "${installer#SKIPPED: }"
((status == 0)) || { echo "  FAIL  the test installer does not build"; exit 1; }
# What the checks compare with, from the installer's own arguments.
x86_64_dir= version_text= copyright_text=
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
    case "${args[i]}" in
        --x86_64) x86_64_dir=${args[i + 1]} ;;
        --version-text) version_text=${args[i + 1]} ;;
        --copyright) copyright_text=${args[i + 1]} ;;
    esac
done
# The 64-bit launcher from the same cross build starts the installed one by name.
outer_launcher=$x86_64_dir/package/launcher/Mxlh4410.dat

export WINEPREFIX WINEDEBUG=-all
WINEPREFIX=$(mktemp -d "$work/prefix.XXXXXX")
cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

# reg_value <key> <value name, "" for the default> [/reg:32]: the value's data, or fails.
reg_value() {
    local key=$1 name=$2; shift 2
    local select=(/v "$name")
    [[ -z $name ]] && select=(/ve)
    wine reg query "$key" "${select[@]}" "$@" 2>/dev/null | tr -d '\r' |
        awk -v name="${name:-(Default)}" 'BEGIN { IGNORECASE = 1 }
            { line = $0; sub(/^ +/, "", line)
              if (index(tolower(line), tolower(name) "    ") == 1) {
                  sub(/^[^ ]+( [^ ]+)*    REG_[A-Z_]+    /, "", line); print line; found = 1 } }
            END { exit !found }'
}
reg_key() { wine reg query "$1" "${@:2}" >/dev/null 2>&1; }
not() { ! "$@"; }
equals() { [[ $1 == "$2" ]]; }
iequals() { [[ ${1,,} == "${2,,}" ]]; }

record='HKCR\CLSID\{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}\MXID4410'
class='HKCR\CLSID\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}'
asio='HKLM\SOFTWARE\ASIO'
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvera'
system32=$WINEPREFIX/drive_c/windows/system32
syswow64=$WINEPREFIX/drive_c/windows/syswow64
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Calvera

# Does the driver write its registration yet? Registered once from a scratch
# folder and unregistered again; this leaves SOFTWARE\ASIO behind, as on any
# machine that had an ASIO driver.
probe=$WINEPREFIX/drive_c/probe
mkdir -p "$probe"
cp "$x86_64_dir/asio/Mxsb4410.dll" "$probe/"
wine regsvr32 /s 'C:\probe\Mxsb4410.dll' >/dev/null 2>&1
registers=0
reg_key "$asio\\Calvera" && registers=1
wine regsvr32 /s /u 'C:\probe\Mxsb4410.dll' >/dev/null 2>&1
wineserver -w
rm -rf "$probe"
((registers)) || echo "  note  the driver does not write its registration yet: registration checks skipped"

echo "== launcher"
wine "$outer_launcher" nosuchprogram.exe DrvConfig 0 >/dev/null 2>&1
status=$?
check "a missing program ends the launcher with the system's error number (was $status)" test "$status" -eq 2
wine "$outer_launcher" >/dev/null 2>&1
status=$?
check "no program named ends the launcher with status 160 (was $status)" test "$status" -eq 160

echo "== install"
wine "$installer" /S
status=$?
wineserver -w
check "the installer ends with status 0 (was $status)" test "$status" -eq 0

folder=$(reg_value "$record" "" /reg:32)
check "installation record: folder value ($folder)" test -n "$folder"
unix_folder=$(winepath -u "$folder" 2>/dev/null)
check "installation record: version is $version_text" equals "$(reg_value "$record" version /reg:32)" "$version_text"
check "installation record: copyright" equals "$(reg_value "$record" copyright /reg:32)" "$copyright_text"
check "installation record: not in the 64-bit view" not reg_key "$record" /reg:64

check "64-bit driver in system32" test -f "$system32/Mxsb4410.dll"
check "32-bit driver in syswow64" test -f "$syswow64/Mxsa4410.dll"
check "launcher in the installation folder" test -f "$unix_folder/Mxlh4410.dat"
for lang in DE ES FR IT NL PT EN JP; do
    check "Readme\\Readme_$lang.htm in the installation folder" test -f "$unix_folder/Readme/Readme_$lang.htm"
done
check "uninstaller in the installation folder" test -f "$unix_folder/Uninstall.exe"
check "start-menu entry for the settings program" test -f "$menu/Calvera Driver Settings.lnk"
check "entry in the list of installed programs" reg_key "$uninstall_key"

path=$(reg_value "$environment" Path)
check "the installation folder is on the search path" grep -qiF ";$folder" <<<"$path"

if ((registers)); then
    check "ASIO entry: CLSID" equals "$(reg_value "$asio\\Calvera" CLSID)" "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}"
    check "ASIO entry: Description" equals "$(reg_value "$asio\\Calvera" Description)" Calvera
    # A host lists the subkeys of SOFTWARE\ASIO and takes each one's CLSID.
    hosts_see=$(wine reg query "$asio" 2>/dev/null | tr -d '\r' | sed -n 's/^HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\//p')
    check "SOFTWARE\\ASIO lists Calvera ($hosts_see)" grep -qx Calvera <<<"$hosts_see"
    check "class entry: the 64-bit driver in system32" iequals "$(reg_value "$class\\InprocServer32" "")" 'C:\windows\system32\Mxsb4410.dll'
    check "class entry: apartment threading" equals "$(reg_value "$class\\InprocServer32" ThreadingModel)" Apartment
    check "class entry: description" equals "$(reg_value "$class" "")" Calvera
fi

# What the 32-bit driver's controlPanel does, with a program this Wine can run:
# the launcher is found by name on the search path and starts the program named
# after it with the arguments that follow.
rm -f "$WINEPREFIX/drive_c/chain.txt"
wine "$outer_launcher" Mxlh4410.dat cmd.exe /c 'echo started DrvConfig 0>C:\chain.txt' >/dev/null 2>&1
wineserver -w
check "the installed launcher is found on the search path and starts a program" \
    grep -q "started DrvConfig 0" "$WINEPREFIX/drive_c/chain.txt"

echo "== uninstall"
wine "$folder\\Uninstall.exe" /S
status=$?
wineserver -w  # the uninstaller goes on from a copy of itself
check "the uninstaller ends with status 0 (was $status)" test "$status" -eq 0
check "installation record removed" not reg_key "$record" /reg:32
check "installation record id removed" not reg_key 'HKCR\CLSID\{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}' /reg:32
check "64-bit driver removed" test ! -e "$system32/Mxsb4410.dll"
check "32-bit driver removed" test ! -e "$syswow64/Mxsa4410.dll"
check "installation folder removed" test ! -e "$unix_folder"
check "start-menu folder removed" test ! -e "$menu"
check "entry in the list of installed programs removed" not reg_key "$uninstall_key"
path=$(reg_value "$environment" Path)
check "the installation folder is off the search path" not grep -qiF "$folder" <<<"$path"
check "the rest of the search path is kept" grep -qi '%SystemRoot%\\system32' <<<"$path"
if ((registers)); then
    check "class entry removed" not reg_key "$class"
    check "ASIO entry removed" not reg_key "$asio\\Calvera"
    check "SOFTWARE\\ASIO itself stays" reg_key "$asio"
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
