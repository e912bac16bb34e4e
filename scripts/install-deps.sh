#!/usr/bin/env bash
# Installs what building, running and testing KV Viewer needs on Debian 12.
# Idempotent: asks apt only for packages that are missing, and runs
# `apt-get update` only when something has to be installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql postgresql libgl1-mesa-dev
  qt6-l10n-tools
  # Qt's own dialogs (file, page setup, message box buttons) in the viewer's language.
  qt6-translations-l10n
  libjpeg62-turbo-dev libxlsxwriter-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fontconfig
  xvfb xauth
  libcups2-dev cups printer-driver-cups-pdf ghostscript poppler-utils
  libreoffice-writer-nogui libreoffice-calc-nogui python3-openpyxl
  # The fuzz targets (scripts/fuzz.sh), which ./test.sh runs over their seeds every time.
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

echo "install-deps: missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=sudo
  else
    echo "install-deps: not running as root; install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
else
  SUDO=
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
