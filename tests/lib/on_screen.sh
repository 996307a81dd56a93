# SPDX-License-Identifier: MIT
# The common start of the tests that run programs on a screen, sourced by
# them: restarts the test under a virtual X server of 1280 x 800 (inside
# the command in screen_wrapper, if the test sets one, and with the server
# options in screen_options), makes it a scratch folder, $work, and gives
# the helpers every such test uses.
if [ -z "${XVFB_RUN_INNER:-}" ]; then
  exec env XVFB_RUN_INNER=1 xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x800x24 -noreset ${screen_options:-}" \
    ${screen_wrapper:-} "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb

# A scratch folder of the test's own, removed when it ends; Qt's runtime
# folder in it, so that Qt has nothing to warn of on standard error.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() { echo "FAIL: $*"; exit 1; }

# Prints the id of the first visible window whose name matches; fails
# after ten seconds without one.
wait_window() { # name-pattern
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Succeeds when the process has ended within the seconds given.
ends_within() { # pid seconds
  for _ in $(seq 1 $(( $2 * 20 ))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.05
  done
  return 1
}

# Closes a message box with Return, as a user would.
close_box() { # window-id
  xdotool windowactivate --sync "$1" key --clearmodifiers Return 2>/dev/null || xdotool key Return
}
