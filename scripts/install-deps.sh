#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quindo need.
# Safe to run again: packages already present are skipped quickly.
set -euo pipefail

PACKAGES=(
    build-essential cmake ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqscintilla2-qt6-dev
    libgl-dev
    fonts-liberation fonts-dejavu-core fonts-dejavu
    xvfb xauth imagemagick
    poppler-utils tidy desktop-file-utils libglib2.0-bin
    appstream dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update
    $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
