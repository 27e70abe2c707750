#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building and testing Zelk needs, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libcanberra-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick openbox
  fonts-dejavu-core
  desktop-file-utils shared-mime-info vim-nox neovim emacs-nox elpa-eglot groff-base libxml2-utils
  dpkg-dev time
  nlohmann-json3-dev
  librsvg2-bin lintian appstream libkf5syntaxhighlighting-tools bash-completion zsh
  graphviz python3
  g++-mingw-w64-x86-64-posix wine wine64 nsis zip googletest util-linux
)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
run apt-get update -qq
DEBIAN_FRONTEND=noninteractive run apt-get install -y -qq --no-install-recommends "${missing[@]}"
