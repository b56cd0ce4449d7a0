#!/usr/bin/env bash
# Builds the Windows installer with makensis from the two cross builds.
#
#   build-installer.sh --i686 DIR --x86_64 DIR --readme DIR --version X.Y.Z
#                      --version-text TEXT --copyright TEXT --out DIR [--test64]
#
# The release installer (Calvera-Driver-<version>-Setup.exe) is a 32-bit
# program that installs both drivers on 64-bit Windows and the 32-bit one on
# 32-bit Windows. With --test64 it builds the test installer
# (...-Setup-test64.exe) instead: the same script as a 64-bit program, which
# 64-bit-only Wine can run; it carries the 64-bit launcher and helper, places
# the 32-bit driver without registering it, and leaves the settings program
# out while no Windows build of it exists.
#
# Prints the installer's path. Exits with 77 and says why when a piece is
# missing (a cross build not done yet, or makensis not installed).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
i686= x86_64= readme= version= version_text= copyright= out= test64=
while (($#)); do
    case "$1" in
        --i686) i686=$2; shift 2 ;;
        --x86_64) x86_64=$2; shift 2 ;;
        --readme) readme=$2; shift 2 ;;
        --version) version=$2; shift 2 ;;
        --version-text) version_text=$2; shift 2 ;;
        --copyright) copyright=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --test64) test64=1; shift ;;
        *) echo "build-installer.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
for required in i686 x86_64 readme version version_text copyright out; do
    if [[ -z ${!required} ]]; then echo "build-installer.sh: --${required/_/-} is required" >&2; exit 2; fi
done

skip() { echo "SKIPPED: $*"; exit 77; }
# makensis reads file names relative to the script's folder.
absolute() { [[ $1 = /* ]] && echo "$1" || echo "$PWD/$1"; }
i686=$(absolute "$i686") x86_64=$(absolute "$x86_64") readme=$(absolute "$readme") out=$(absolute "$out")
command -v makensis >/dev/null || skip "makensis is not installed (Debian package nsis)"

driver64=$x86_64/asio/Mxsb4410.dll
driver32=$i686/asio/Mxsa4410.dll
settings=$i686/settings/Mxcp4410.exe
if [[ -n $test64 ]]; then
    launcher=$x86_64/package/launcher/Mxlh4410.dat
    searchpath=$x86_64/package/windows/searchpath.exe
    installer=$out/Calvera-Driver-$version-Setup-test64.exe
else
    launcher=$i686/package/launcher/Mxlh4410.dat
    searchpath=$i686/package/windows/searchpath.exe
    installer=$out/Calvera-Driver-$version-Setup.exe
fi

missing=()
for file in "$driver64" "$driver32" "$launcher" "$searchpath"; do
    [[ -f $file ]] || missing+=("$file")
done
[[ -n $test64 || -f $settings ]] || missing+=("$settings")
for lang in DE ES FR IT NL PT EN JP; do
    [[ -f $readme/Readme_$lang.htm ]] || missing+=("$readme/Readme_$lang.htm")
done
if ((${#missing[@]})); then
    skip "the installer needs files the cross builds have not made yet: ${missing[*]}"
fi

defines=(
    "-DMX_VERSION=$version.0"
    "-DMX_VERSION_TEXT=$version_text"
    "-DMX_COPYRIGHT=$copyright"
    "-DMX_DRIVER64=$driver64"
    "-DMX_DRIVER32=$driver32"
    "-DMX_LAUNCHER=$launcher"
    "-DMX_SEARCHPATH=$searchpath"
    "-DMX_SETTINGS=$settings"
    "-DMX_README_DIR=$readme"
    "-DMX_OUTFILE=$installer"
)
if [[ -n $test64 ]]; then
    defines+=("-DMX_TEST64")
    if [[ ! -f $settings ]]; then
        echo "note: the test installer leaves out the settings program ($settings is not built yet)" >&2
        defines+=("-DMX_NO_SETTINGS")
    fi
fi

mkdir -p "$out"
makensis -V2 -INPUTCHARSET UTF8 "${defines[@]}" "$here/installer.nsi" >&2
echo "$installer"
