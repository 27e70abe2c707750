#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Windows packages of a Windows build folder under Wine: the zip holds what it should
# (README.txt with CRLF line ends, no runtime DLLs), and the installer's silent round trip for the
# current user, with the PATH entry, leaves nothing behind: files, uninstall entry, PATH entry.
#   tests/package/check-windows-package.sh [WINDOWS_BUILD]
set -euo pipefail
cd "$(dirname "$0")/../.."
windows=$(realpath "${1:-build-windows}")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows/CMakeCache.txt")
zip_file="$windows/zelk-$version-win64.zip"
setup="$windows/zelk-$version-win64-setup.exe"
fail() { echo "check-windows-package: $*" >&2; exit 1; }

listing=$(unzip -Z1 "$zip_file")
for entry in zelk.exe zelk-reference.html LICENSE README.txt editors/zelkscript.tmLanguage.json; do
  grep -qx "zelk-$version-win64/$entry" <<<"$listing" || fail "$entry is not in the zip"
done
grep -qi '\.dll$' <<<"$listing" && fail "the zip carries DLLs"
unzip -p "$zip_file" "zelk-$version-win64/README.txt" | head -1 | grep -q $'\r$' ||
  fail "README.txt has no CRLF line ends"
dlls=$(x86_64-w64-mingw32-objdump -p "$windows/src/zelk.exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[ "$dlls" = "kernel32.dll msvcrt.dll shell32.dll " ] || fail "zelk.exe needs DLLs beyond the system's: $dlls"
# The window, when the build made it: in the zip, needing only the system's DLLs, and installed
# with its Start-menu shortcut.
desktop=0
[ -e "$windows/src/zelk-desktop.exe" ] && desktop=1
if [ "$desktop" -eq 1 ]; then
  grep -qx "zelk-$version-win64/zelk-desktop.exe" <<<"$listing" || fail "zelk-desktop.exe is not in the zip"
  for dll in $(x86_64-w64-mingw32-objdump -p "$windows/src/zelk-desktop.exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case $dll in
      advapi32.dll|comctl32.dll|comdlg32.dll|gdi32.dll|kernel32.dll|msvcrt.dll|shell32.dll|user32.dll|winmm.dll) ;;
      *) fail "zelk-desktop.exe needs a DLL beyond the system's: $dll" ;;
    esac
  done
fi
shortcut() { find "$WINEPREFIX/drive_c/users" -path '*/Zelk/Zelk.lnk' 2>/dev/null | head -n 1; }

# A prefix of its own, so that the round trip starts from nothing.
export WINEPREFIX="$windows/wine-package" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wineboot --init </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
wine_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
user_path() { (wine reg query 'HKCU\Environment' /v Path 2>/dev/null || true) | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*SZ *//p'; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelk'

# A PATH of the user's own that must come back as it was.
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\tools;C:\more tools' /f >/dev/null 2>&1
wine "$setup" /S /CurrentUser /AddToPath </dev/null >/dev/null 2>&1
location=$( (wine reg query "$uninstall_key" /v InstallLocation 2>/dev/null || true) | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ -n "$location" ] || fail "no uninstall entry after the install"
dir=$(wine_path "$location")
for file in zelk.exe zelk-reference.html LICENSE README.txt uninstall.exe editors/zelkscript.tmLanguage.json; do
  [ -e "$dir/$file" ] || fail "$file did not arrive in $location"
done
[ "$(user_path)" = "C:\\tools;C:\\more tools;$location" ] || fail "PATH after the install: $(user_path)"
if [ "$desktop" -eq 1 ]; then
  [ -e "$dir/zelk-desktop.exe" ] || fail "zelk-desktop.exe did not arrive in $location"
  [ -n "$(shortcut)" ] || fail "no Start-menu shortcut Zelk\\Zelk.lnk after the install"
fi
wine reg query 'HKCU\Software\Classes\.scr' >/dev/null 2>&1 && fail ".scr is associated"
wine "$dir/zelk.exe" --version </dev/null | tr -d '\r' | grep -qx "zelk $version" || fail "the installed zelk.exe does not run"

# The uninstaller runs in place (_?=), so the check waits for it.
wine "$dir/uninstall.exe" /S "_?=$location" </dev/null >/dev/null 2>&1
rm -f "$dir/uninstall.exe"
rmdir "$dir" 2>/dev/null || true
[ ! -e "$dir" ] || fail "the uninstaller left $(ls -A "$dir" | tr '\n' ' ')"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
[ -z "$(shortcut)" ] || fail "the uninstaller left the Start-menu shortcut"
[ "$(user_path)" = 'C:\tools;C:\more tools' ] || fail "PATH after the uninstall: $(user_path)"
echo "check-windows-package: the zip and the installer's silent round trip are sound"
