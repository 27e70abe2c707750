// SPDX-License-Identifier: MIT
// Where the VS Code extension's tests find the build, the sources and the npm packages. Run by
// ctest (tests/ecosystem/CMakeLists.txt), which sets ZELK_BUILD_DIR and ZELK_BINARY; a file of
// these tests exits with 77 (ctest: skipped) when the npm packages are not installed.
'use strict';

const fs = require('fs');
const path = require('path');

const root = path.resolve(__dirname, '..', '..', '..');
const extension = path.join(root, 'editors', 'vscode');
const modules = path.join(extension, 'node_modules');
const build = path.resolve(process.env.ZELK_BUILD_DIR || path.join(root, 'build'));

function requireInstalled() {
  if (!fs.existsSync(path.join(modules, '.bin', 'vsce'))) {
    console.log(`# skipped: the npm packages are not installed in ${extension}; ` +
      'scripts/npm-deps.sh installs them');
    process.exit(77);
  }
}

function npmPackage(name) {
  return require(path.join(modules, name));
}

module.exports = { root, extension, build, requireInstalled, npmPackage };
