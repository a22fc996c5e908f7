#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is missing.
set -euo pipefail

PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n
          libsqlite3-dev sqlite3 fonts-liberation fontconfig xvfb xdotool imagemagick
          poppler-utils xdg-utils dpkg-dev file desktop-file-utils
          libcups2-dev cups cups-client cups-bsd cups-ipp-utils
          libhunspell-dev hunspell-pl appstream libssl-dev openssl)
# Callers may ask for more (scripts/fuzz-import.sh: the fuzzing toolchain).
PACKAGES+=("$@")

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Instalowanie brakujących pakietów: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get -o DPkg::Lock::Timeout=900 update
    $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends "${missing[@]}"
fi
