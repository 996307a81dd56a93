#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the built program under a virtual X server, as a user would:
# without its Data/ it shows the missing-files message and ends; with it,
# the window appears 704 x 514 centred, and "X" and "Exit" end it at once;
# at twice the scale, larger than the screen, it opens at the top-left.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib/on_screen.sh"
cp "$program" "$work/sayvane"; cp "$(dirname "$program")/sayvane-window.so" "$work/"

# 1. No Data/: one message box titled "Sayvane", then the program ends.
"$work/sayvane" & pid=$!
box=$(wait_window '^Sayvane$') || fail "no missing-files message"
xdotool search --onlyvisible --name '^Sayvane !$' >/dev/null 2>&1 && fail "main window shown without data"
close_box "$box"
ends_within "$pid" 5 || fail "program did not end after the message"
status=0; wait "$pid" || status=$?
[ "$status" = 1 ] || fail "exit status $status after the missing-files message"
echo "ok: missing files"

# 2. With Data/: the window appears at 704 x 514, centred on 1280 x 800.
mkdir -p "$work/Data"
printf '##Plato\r\nWisdom begins in wonder.\r\n' > "$work/Data/authors.txt"
printf '##Courage\r\n' > "$work/Data/subjects.txt"
for control in X Exit; do
  "$work/sayvane" & pid=$!
  window=$(wait_window '^Sayvane !$') || fail "no main window"
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$window")"
  [ "$WIDTH" = 704 ] && [ "$HEIGHT" = 514 ] || fail "window is ${WIDTH}x${HEIGHT}"
  [ "$X" = 288 ] && [ "$Y" = 143 ] || fail "window at $X,$Y, not centred"
  if [ "$control" = X ]; then
    xdotool mousemove --window "$window" 680 12 click 1   # the "X" label
  else
    xdotool mousemove --window "$window" 424 484 click 1  # the Exit button
  fi
  ends_within "$pid" 1 || fail "program still running a second after $control"
  status=0; wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "exit status $status after $control"
  echo "ok: ends from $control"
done

# 3. At twice the scale the window (1408 x 1028 pixels) is larger than the
# screen: it opens at the top-left corner, its title bar on the screen.
QT_SCALE_FACTOR=2 "$work/sayvane" & pid=$!
window=$(wait_window '^Sayvane !$') || fail "no main window at scale 2"
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" = 0 ] && [ "$Y" = 0 ] && [ "$WIDTH" = 1408 ] || fail "window at scale 2 at $X,$Y, ${WIDTH} wide, not at the top-left corner"
kill "$pid"; wait "$pid" 2>/dev/null || true   # its "X" label lies beyond the screen's right edge
echo "ok: a window larger than the screen opens at its top-left corner"
