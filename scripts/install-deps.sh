#!/usr/bin/env bash
# Installs every Debian package the build, tests and benchmarks need. Idempotent.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  libunicorn-dev libcairo2-dev libfreetype-dev libpng-dev
  fonts-liberation fonts-dejavu-core
  libgtest-dev googletest libbenchmark-dev
  nlohmann-json3-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
