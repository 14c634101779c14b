#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Quindo need.
# With --test, also what only the test suite needs. Safe to run again: packages already
# present are skipped quickly.
set -euo pipefail

PACKAGES=(
    build-essential cmake ccache pkg-config mold
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev
    libgl-dev
    fonts-liberation fonts-dejavu-core fonts-dejavu
    xvfb xauth imagemagick
    poppler-utils tidy desktop-file-utils libglib2.0-bin
    appstream dpkg-dev file
)

# Only the tests need these: a window manager for the real-display tests, lintian for the
# package, and Debian's own (unpatched) QScintilla, so that the tests show the programs
# never load it even where it is installed.
if [ "${1:-}" = "--test" ]; then
    PACKAGES+=(lintian openbox x11-utils xdotool libqscintilla2-qt6-15)
fi

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

# The build compiles a patched QScintilla from Debian's own source package
# (cmake/QScintilla.cmake), so apt needs a source entry. Copy the machine's Debian entries
# with the source type instead of naming any archive here.
if ! apt-cache showsrc qscintilla2 2>/dev/null | grep -q '^Package: qscintilla2'; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $SUDO tee /etc/apt/sources.list.d/quindo-deb-src.sources >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        sed -n -e 's/^deb\s/deb-src /p' /etc/apt/sources.list |
            $SUDO tee /etc/apt/sources.list.d/quindo-deb-src.list >/dev/null
    fi
    $SUDO apt-get update
fi
