#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program under a virtual X server, for what the offscreen
# platform lacks, such as the primary selection; with a session bus, as a
# desktop session has (without one, Qt's connection attempt leaves memory
# behind in libdbus that the leak checker would report):
#   tests/under_x_server.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
screen_wrapper="dbus-run-session --"
source "$(dirname "$0")/lib/on_screen.sh"
"$@"
