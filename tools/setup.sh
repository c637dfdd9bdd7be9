#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the editor need.
# Safe to run again; needs root (or sudo) on a Debian 12 machine.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  libsdl2-dev libepoxy-dev libgl1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libstb-dev libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
  libpng-dev libjpeg62-turbo-dev libcli11-dev
  # xfonts-base: the X11 message box ("Fatal error") draws with core X fonts
  xvfb xauth x11-utils xfonts-base
  # the install test: validators of the desktop entry and metainfo, keys sent to the window
  desktop-file-utils appstream xdotool dpkg-dev
  clang libclang-rt-dev locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -ne 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, for the test that saves under one.
locale -a | grep -qi '^de_DE\.utf-\?8$' || "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
