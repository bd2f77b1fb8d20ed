#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, and a font
# with Chinese characters for the about box's System Info message.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libcli11-dev clang clang-format libclang-rt-14-dev
          dpkg-dev file help2man lintian appstream desktop-file-utils shared-mime-info
          fonts-wqy-microhei)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
