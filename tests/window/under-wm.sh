#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a window test on a virtual display of its own under a window manager,
# for what only a framed window shows. Usage: under-wm.sh TEST [ARGS...]
# Exits 77 (skipped) when Xvfb or openbox is missing.
set -euo pipefail
for program in Xvfb openbox xprop; do
    if ! command -v "$program" >/dev/null; then
        echo "skipped: $program is not installed (scripts/install-deps installs it)"
        exit 77
    fi
done

dir=$(mktemp -d)
xvfb="" wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it listens.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.1
done
if [ ! -s "$dir/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=:$(cat "$dir/display")

HOME=$dir openbox --sm-disable >"$dir/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "openbox did not start:" >&2
    cat "$dir/openbox.log" >&2
    exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
