#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program offscreen in a private config home, waits until its start-up
# has counted the run, asks it to close the way a session manager does (SIGTERM), and
# checks that it ended cleanly.
set -euo pipefail
program="$1"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home" XDG_STATE_HOME="$home/state"
export QT_QPA_PLATFORM=offscreen

"$program" &
pid=$!
for _ in $(seq 1 200); do
    if grep -q '^Value=1' "$home/quindo/quindo.ini" 2>/dev/null; then break; fi
    sleep 0.05
done
grep -q '^Value=1' "$home/quindo/quindo.ini" || { echo "start-up did not count the run"; kill -9 $pid; exit 1; }
sleep 0.3
kill -TERM $pid
status=0
wait $pid || status=$?
if [ "$status" -ne 0 ]; then echo "program ended with status $status"; exit 1; fi
echo "started, counted the run and closed cleanly"
