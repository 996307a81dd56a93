#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a window test suite on a real X server (xcb under Xvfb), as on a
# desktop, rather than offscreen; with --window-manager under openbox, as
# a desktop session has, otherwise with no window manager at all, where
# nothing activates or focuses a window but the program itself:
#   tests/window_suite_on_x.sh [--window-manager] PROGRAM [ARGUMENTS...]
set -euo pipefail
screen_wrapper="dbus-run-session --"
source "$(dirname "$0")/lib/on_screen.sh"
if [ "${1:-}" = --window-manager ]; then
  shift
  openbox --sm-disable >/dev/null 2>&1 &
  manager=$!
  trap 'kill "$manager" 2>/dev/null; rm -rf "$work"' EXIT
  # The manager has taken the screen once it names itself on the root window.
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"
fi
"$@"
