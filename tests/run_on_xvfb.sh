#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a private X server (Xvfb, 96 dpi) with the openbox window manager, so
# that exposure, focus, activation and stacking are real: run_on_xvfb.sh COMMAND [ARG...]
set -euo pipefail
tmp="$(mktemp -d)"
trap 'kill $wm $xvfb 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$tmp"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
for _ in $(seq 1 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { cat "$tmp/xvfb.log"; echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm=$!
# The window manager is up once it has claimed the screen.
for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
"$@"
