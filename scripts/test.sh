#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up and runs every test: the normal build with warnings as errors, the VS Code
# extension, the Debian package made from it and checked, the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/npm-deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== build and test"
scripts/build.sh build
echo "== the VS Code extension: build/editors/vscode/zelk-VERSION.vsix"
cmake --build build --target vscode-extension
ctest --test-dir build --output-on-failure -j"$(nproc)"

echo "== the Debian package: lintian, validators, the installed tree"
tests/package/check-package.sh build

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DZELK_SANITIZE=ON -DZELK_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

echo "== Windows: zelk.exe cross-compiled with MinGW-w64, its tests under Wine"
scripts/build-windows.sh build-windows
windows_status=0
ctest --test-dir build-windows --output-on-failure -j"$(nproc)" || windows_status=$?
if [ "$windows_status" -eq 0 ]; then
  echo "== Windows packages: the zip and the installer's silent round trip under Wine"
  scripts/package-windows.sh build-windows build
  tests/package/check-windows-package.sh build-windows || windows_status=$?
fi
# The one wineserver of the run ends with it.
WINEPREFIX="$PWD/build-windows/wine" wineserver -k 2>/dev/null || true
[ "$windows_status" -eq 0 ]

if [ -x scripts/run-fuzzers.sh ]; then
  echo "== fuzzers"
  scripts/run-fuzzers.sh 20
fi
