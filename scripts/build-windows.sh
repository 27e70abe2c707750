#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-compiles zelk.exe and its tests for 64-bit Windows with MinGW-w64 into build-windows/ (or
# the folder given), warnings as errors; `ctest --test-dir build-windows` then runs the tests
# under Wine. Installs what it needs (the cross compiler, Wine, NSIS, zip) when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}
shift || true
scripts/deps.sh
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_WERROR=ON "$@" >/dev/null
cmake --build "$dir"
