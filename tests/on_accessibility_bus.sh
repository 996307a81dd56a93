#!/usr/bin/env bash
# Runs a test program as a screen reader would meet it: under an X server,
# with a session bus and the accessibility bus that screen readers listen
# on, and Qt's accessibility switched on.
#   tests/on_accessibility_bus.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
if [ -z "${XVFB_RUN_INNER:-}" ]; then
  exec env XVFB_RUN_INNER=1 xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x800x24 -noreset" \
    dbus-run-session -- "$0" "$@"
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true' && break
  sleep 0.1
done
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
