#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Packs the Windows build: zelk-VERSION-win64.zip and the installer zelk-VERSION-win64-setup.exe
# (NSIS) in the Windows build folder. The language reference and the editor files are the ones
# the Linux build writes (zelk-docgen runs on the build machine).
#   scripts/package-windows.sh [WINDOWS_BUILD [LINUX_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
windows=${1:-build-windows}
linux=${2:-build}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows/CMakeCache.txt")
[ -n "$version" ] || { echo "package-windows: no version in $windows/CMakeCache.txt" >&2; exit 1; }
for needed in "$windows/src/zelk.exe" "$linux/share/zelk/zelk-reference.html" "$linux/editors"; do
  [ -e "$needed" ] || { echo "package-windows: $needed is missing; build first" >&2; exit 1; }
done

stage="$windows/package/zelk-$version-win64"
rm -rf "$windows/package"
mkdir -p "$stage"
cp "$windows/src/zelk.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/zelk.exe"
[ -e "$windows/src/zelk-desktop.exe" ] && cp "$windows/src/zelk-desktop.exe" "$stage/"
cp "$linux/share/zelk/zelk-reference.html" "$stage/"
cp -r "$linux/editors" "$stage/editors"
# Texts for Windows have CRLF line ends.
sed 's/$/\r/' LICENSE >"$stage/LICENSE"
sed 's/$/\r/' packaging/windows/README.txt >"$stage/README.txt"

zip_file="$windows/zelk-$version-win64.zip"
rm -f "$zip_file"
(cd "$windows/package" && zip -q -r -X "../$(basename "$zip_file")" "zelk-$version-win64")

desktop_define=()
[ -e "$stage/zelk-desktop.exe" ] && desktop_define=(-DZELK_DESKTOP)
makensis -V2 -DVERSION="$version" -DSTAGE="$(realpath "$stage")" "${desktop_define[@]}" \
  -DOUTFILE="$(realpath "$windows")/zelk-$version-win64-setup.exe" packaging/windows/zelk.nsi
echo "$zip_file"
echo "$windows/zelk-$version-win64-setup.exe"
