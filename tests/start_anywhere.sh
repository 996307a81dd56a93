#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program started where starts go wrong: folder names that are not
# UTF-8, a folder deeper than the system takes at once, a ".." after a
# link, output that cannot be written, no display, too few threads, a
# FIFO beside a missing file, and no session bus. Each case checks the
# exit status, what the program said and what appeared on screen.
#   tests/start_anywhere.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
# The X server lets any user in, for the case run as an unprivileged user.
screen_options=-ac
source "$(dirname "$0")/lib/on_screen.sh"
collection() { # folder
  mkdir -p "$1"
  printf '##Plato\r\nWisdom begins in wonder.\r\n' > "$1/authors.txt"
  printf '##Courage\r\n' > "$1/subjects.txt"
}
# Runs the program; "window": its main window must appear, and is ended
# with its X label; "box": a message box and no main window; then the
# status. Sets $status, $out and $err.
run() { # meets command...
  local meets=$1; shift
  out="$work/stdout" err="$work/stderr"
  "$@" > "$out" 2> "$err" & local pid=$!
  if [ "$meets" = window ]; then
    local window
    window=$(wait_window '^Sayvane !$') || { kill "$pid" 2>/dev/null || true; fail "$*: no main window ($(cat "$err"))"; }
    sleep 0.3
    xdotool mousemove --window "$window" 680 12 click 1
  else
    local box
    box=$(wait_window '^Sayvane$') || { kill "$pid" 2>/dev/null || true; fail "$*: no message box ($(cat "$err"))"; }
    xdotool search --onlyvisible --name '^Sayvane !$' >/dev/null 2>&1 && fail "$*: main window shown"
    close_box "$box"
  fi
  ends_within "$pid" 5 || { kill "$pid"; fail "$*: still running"; }
  status=0; wait "$pid" || status=$?
}

# 1. A folder whose name is Latin-1, named on the command line and as the
# folder the program and its Data/ sit in.
latin1=$'caf\351'
collection "$work/$latin1"
run window "$program" "$work/$latin1"
[ "$status" = 0 ] || fail "a Latin-1 folder name: status $status"
mkdir "$work/$latin1-bin"; cp "$program" "$work/$latin1-bin/sayvane"; cp "$(dirname "$program")/sayvane-window.so" "$work/$latin1-bin/"; collection "$work/$latin1-bin/Data"
run window "$work/$latin1-bin/sayvane"
[ "$status" = 0 ] || fail "the program in a Latin-1 folder: status $status"
rm "$work/$latin1/subjects.txt"
run box "$program" "$work/$latin1"
[ "$(cat "$err")" = "sayvane: $work/caf\\351/subjects.txt: No such file or directory" ] ||
  fail "a Latin-1 folder name is shown as '$(cat "$err")'"
echo "ok: folder names that are not UTF-8"

# 2. A folder deeper than PATH_MAX (25 folders of 200 characters), named
# in full, and as "." from inside it.
deep=$work
for _ in $(seq 1 25); do deep=$deep/$(printf 'd%.0s' $(seq 1 200)); done
(cd "$work" && for _ in $(seq 1 25); do mkdir "$(printf 'd%.0s' $(seq 1 200))" && cd "$(printf 'd%.0s' $(seq 1 200))"; done
 printf '##Plato\r\nWisdom begins in wonder.\r\n' > authors.txt; printf '##Courage\r\n' > subjects.txt)
[ ${#deep} -gt 4096 ] || fail "the deep folder is only ${#deep} bytes long"
run window "$program" "$deep"
[ "$status" = 0 ] || fail "a folder deeper than PATH_MAX: status $status"
inside() { cd "$work"; for _ in $(seq 1 25); do cd "$(printf 'd%.0s' $(seq 1 200))"; done; exec "$program" .; }
run window inside
[ "$status" = 0 ] || fail "'.' inside a folder deeper than PATH_MAX: status $status"
echo "ok: a folder deeper than PATH_MAX"

# 3. A ".." after a link is the folder the link's target sits in: there
# lies a collection, and none in the link's own folder.
mkdir -p "$work/real/inner" "$work/links"
collection "$work/real"
ln -s ../real/inner "$work/links/link"
run window "$program" "$work/links/link/.."
[ "$status" = 0 ] || fail "a '..' after a link: status $status"
echo "ok: a '..' after a link"

# 4. Output that cannot be written fails, with a line on standard error.
for option in --help --version; do
  status=0; "$program" "$option" > /dev/full 2> "$work/stderr" || status=$?
  [ "$status" = 1 ] && [ "$(cat "$work/stderr")" = "sayvane: write error: No space left on device" ] ||
    fail "$option into /dev/full: status $status, '$(cat "$work/stderr")'"
  status=0; "$program" "$option" >&- 2> "$work/stderr" || status=$?
  [ "$status" = 1 ] && [ "$(cat "$work/stderr")" = "sayvane: write error: Bad file descriptor" ] ||
    fail "$option into a closed descriptor: status $status, '$(cat "$work/stderr")'"
done
echo "ok: output that cannot be written"

# 5. No display, a display with no server, a platform that does not exist:
# a message that names the platform, status 3, no core.
collection "$work/shown"
for case in "no DISPLAY|xcb|env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM" \
            "no server|xcb|env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4321" \
            "bogus platform|bogus|env QT_QPA_PLATFORM=bogus"; do
  IFS='|' read -r name platform environment <<< "$case"
  status=0; (ulimit -c 0; $environment "$program" "$work/shown") > "$work/stdout" 2> "$work/stderr" || status=$?
  [ "$status" = 3 ] || fail "$name: status $status"
  [ "$(tail -n1 "$work/stderr")" = "sayvane: cannot reach a display (platform $platform): no window system could be started" ] ||
    fail "$name: '$(tail -n1 "$work/stderr")'"
  [ ! -s "$work/stdout" ] || fail "$name: wrote to standard output"
done
echo "ok: no display"

# 6. So few processes that no thread can be started beyond Qt's first
# ones: the start's own work runs on the main thread instead, so the
# program neither aborts nor dumps a core as it did, and its window
# appears. (Qt's own painting then waits for a thread of its raster pool
# that cannot start, as a plain Qt window of this size does.)
chmod -R a+rX "$work"; chmod 700 "$XDG_RUNTIME_DIR"
mkdir -m 700 "$work/runtime-nobody"; chown nobody "$work/runtime-nobody"
XDG_RUNTIME_DIR=$work/runtime-nobody setpriv --reuid=nobody --regid=nogroup --clear-groups prlimit --nproc=4 "$program" "$work/shown" \
  > "$work/stdout" 2> "$work/stderr" & pid=$!
window=$(wait_window '^Sayvane !$') || { kill -9 "$pid" 2>/dev/null || true; fail "few threads: no main window ($(cat "$work/stderr"))"; }
sleep 1
kill -0 "$pid" 2>/dev/null || fail "few threads: the program ended ($(cat "$work/stderr"))"
grep -q 'terminate called' "$work/stderr" && fail "few threads: an exception escaped"
kill -9 "$pid"; wait "$pid" 2>/dev/null || true
echo "ok: too few threads"

# 7. A FIFO in place of authors.txt beside a missing subjects.txt: the
# missing files are reported and the FIFO is never opened, so its writer
# stays blocked.
mkdir "$work/fifo"; mkfifo "$work/fifo/authors.txt"
(echo "##Written" > "$work/fifo/authors.txt") & writer=$!
run box "$program" "$work/fifo"
[ "$status" = 1 ] || fail "a FIFO beside a missing file: status $status"
[ "$(cat "$err")" = "sayvane: $work/fifo/authors.txt: not a regular file
sayvane: $work/fifo/subjects.txt: No such file or directory" ] || fail "a FIFO beside a missing file: '$(cat "$err")'"
kill -0 "$writer" 2>/dev/null || fail "the FIFO's writer was released"
kill "$writer"; wait "$writer" 2>/dev/null || true
echo "ok: no data file opened before the existence test"

# 8. Without a session bus, the screen-reader bridge has libdbus fork a
# helper to look for one. A fork while other threads hold locks can hang
# the child, and the window with it; so the bridge starts, and the helper
# is forked, before the threads that read the files. Every process made
# (a clone without CLONE_THREAD) comes before the thread that opens
# authors.txt.
# A leak checker cannot work under a tracer (in the sanitizer build).
collection "$work/bus"
run window env -u DBUS_SESSION_BUS_ADDRESS ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  strace -f -qq -o "$work/trace" -e trace=clone,clone3,openat "$program" "$work/bus"
[ "$status" = 0 ] || fail "without a session bus: status $status"
reader=$(sed -n "s|^\([0-9]*\) *openat(.*\"$work/bus/authors.txt\".*|\1|p" "$work/trace" | head -n1)
[ -n "$reader" ] || fail "without a session bus: no thread opened authors.txt"
reader_made=$(grep -n "clone3\?(.* = $reader\$\|resumed>.* = $reader\$" "$work/trace" | head -n1 | cut -d: -f1)
last_fork=$(grep -n 'clone3\?(' "$work/trace" | grep -v CLONE_THREAD | tail -n1 | cut -d: -f1)
[ -n "$last_fork" ] || fail "without a session bus: no helper was forked, so the order proves nothing"
[ -n "$reader_made" ] && [ "$last_fork" -lt "$reader_made" ] ||
  fail "without a session bus: a process was made (trace line $last_fork) after the thread that reads authors.txt (line ${reader_made:-none})"
echo "ok: the bus helper forked before the threads that read the files"
