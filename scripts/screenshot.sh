#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes docs/screenshot.png: the main window with the sample page in it, as a returning
# user sees it, on a private X server with a window manager (tests/run_on_xvfb.sh).
#
#   scripts/screenshot.sh [PROGRAM [OUTPUT]]   (defaults: build/quindo, docs/screenshot.png)
#
# Needs the built program and xvfb, openbox, xdotool, x11-utils and imagemagick
# (scripts/install-deps.sh --test installs them).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ "${1:-}" != "--on-display" ]; then
    program="$(realpath "${1:-$root/build/quindo}")"
    output="$(realpath -m "${2:-$root/docs/screenshot.png}")"
    [ -x "$program" ] || { echo "no program at $program: build it first (make build)"; exit 1; }
    for tool in Xvfb openbox xdotool xprop import; do
        command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh --test"; exit 1; }
    done
    exec "$root/tests/run_on_xvfb.sh" "${BASH_SOURCE[0]}" --on-display "$program" "$output"
fi

# On the private display from here on.
program="$2"
output="$3"
work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# A private home: a returning user (the run counter past the first runs, so no first-run
# window), the sample page in the home folder, English messages.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_STATE_HOME="$HOME/.local/state" XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$work/runtime"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME/quindo" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[Run]\nValue=5\n' >"$XDG_CONFIG_HOME/quindo/quindo.ini"
cp "$root/data/sample.html" "$HOME/sample.html"

cd "$HOME"
"$program" sample.html >"$work/program.log" 2>&1 &
pid=$!

# The main window is up once a visible window's title names the page.
window=""
for _ in $(seq 1 200); do
    window="$(xdotool search --onlyvisible --name 'sample\.html' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; echo "the program ended early"; exit 1; }
    sleep 0.05
done
[ -n "$window" ] || { cat "$work/program.log"; echo "no main window with the sample page"; exit 1; }
# Let it finish painting (the first paint follows the map).
sleep 1

# The window with its frame, so that the picture looks like a window on a desktop.
frame="$(xwininfo -id "$window" -children | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')"
target="$window"
if [ -n "$frame" ] && [ "$frame" != "$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')" ]; then
    target="$frame"
fi
mkdir -p "$(dirname "$output")"
import -window "$target" -strip -define png:compression-level=9 "png:$output"
echo "wrote $output ($(identify -format '%wx%h' "$output"))"

kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
pid=""
