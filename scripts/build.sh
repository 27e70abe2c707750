#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds Zelk into build/ (or the folder given), warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_WERROR=ON "$@" >/dev/null
cmake --build "$dir"
