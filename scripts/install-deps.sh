#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the program (only those missing).
set -euo pipefail
packages=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libgl-dev qt6-translations-l10n
  libsodium-dev libsqlite3-dev
  liborcus-dev libfreexl-dev libxlsxwriter-dev zlib1g-dev
  fonts-noto-cjk tango-icon-theme sqlite3
  fonts-arphic-uming fonts-liberation2
  xvfb xauth poppler-utils
)
[ "${1:-}" = "--with-postgresql" ] && packages+=(postgresql locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
