#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need, if any is missing,
# and any further packages named as arguments. Works as root or, for another user, through sudo.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev
  libcfitsio-dev                           # FITS light curves (TESS, Kepler, K2)
  fonts-dejavu-core fonts-ipafont-gothic   # Latin and Japanese captions on a bare machine
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
