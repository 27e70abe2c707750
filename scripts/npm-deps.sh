#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the npm packages of the VS Code extension (editors/vscode: the language client, vsce,
# and the grammar engine of its tests) as package-lock.json pins them, when they are not yet
# installed as pinned. Node.js and npm come from Debian when the machine has none.
set -euo pipefail
cd "$(dirname "$0")/../editors/vscode"

if ! command -v npm >/dev/null 2>&1; then
  run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  run apt-get update -qq
  DEBIAN_FRONTEND=noninteractive run apt-get install -y -qq --no-install-recommends nodejs npm
fi
# npm ci empties node_modules first: only when the lock file differs from the installed one.
stamp=node_modules/.zelk-package-lock.json
if [ -f "$stamp" ] && cmp -s package-lock.json "$stamp"; then
  exit 0
fi
echo "Installing the npm packages of editors/vscode"
# No install scripts: the one that vsce's signing tool has would download a program, and
# packing needs none.
npm ci --ignore-scripts --prefer-offline --no-audit --no-fund --loglevel=error
cp package-lock.json "$stamp"
