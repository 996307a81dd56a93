#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program under a virtual X server, for what the offscreen
# platform lacks, such as the primary selection:
#   tests/under_x_server.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
source "$(dirname "$0")/lib/on_screen.sh"
"$@"
