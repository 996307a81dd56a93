#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program as a screen reader would meet it: under an X server,
# with a session bus and the accessibility bus that screen readers listen
# on, and Qt's accessibility switched on.
#   tests/on_accessibility_bus.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
screen_wrapper="dbus-run-session --"
source "$(dirname "$0")/lib/on_screen.sh"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true' && break
  sleep 0.1
done
SAYVANE_ACCESSIBILITY_BUS=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
