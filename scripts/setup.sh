#!/usr/bin/env bash
# Installs every Debian package Vornmart needs to build, test and run.
# Idempotent: packages already installed are skipped; nothing is downloaded by hand.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsqlcipher-dev sqlcipher libssl-dev
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-webengine-dev qt6-svg-dev qt6-image-formats-plugins
  libgl-dev libglx-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei tzdata xvfb xauth xdotool x11-apps
  fp-utils
  libxlsxwriter-dev
  qt6-translations-l10n unzip
  ccache
  libpq-dev postgresql
  dpkg-dev file desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
