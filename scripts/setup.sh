#!/usr/bin/env bash
# Installs the Debian packages Harvina needs, only those missing.
# Safe to run again; runs apt-get update only when something must be installed.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libpcre2-dev libcurl4-openssl-dev zlib1g-dev libssl-dev
  qt6-base-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  libopencc-dev
  xvfb xauth fonts-wqy-microhei
  clang libclang-rt-14-dev
)

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
