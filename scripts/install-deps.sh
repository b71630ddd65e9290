#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine.
# Skips apt-get entirely when everything is already there, so repeated runs are quick.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config ccache
          libgtest-dev libgmock-dev libmodbus-dev mbpoll
          qt6-base-dev libqt6svg6 clang-14 libclang-rt-14-dev
          desktop-file-utils man-db dpkg-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
