// SPDX-License-Identifier: MIT
// The program's exit statuses, shared by the window and the commands that
// need no display, so that each means one thing everywhere.
#pragma once

namespace sayvane {

// Ended by the user, or a command did what it was asked.
inline constexpr int kExitSuccess = 0;
// The collection could not be opened, a write failed (nothing written),
// standard output could not be written; for --check, something was found,
// and for --search and --random, nothing was.
inline constexpr int kExitStartFailed = 1;
inline constexpr int kExitNothingFound = 1;
inline constexpr int kExitFindings = 1;
// A command line not understood; for the commands that read a collection
// at the terminal, also a collection that cannot be read (as grep has it).
inline constexpr int kExitUsage = 2;
inline constexpr int kExitTrouble = 2;
// No display could be reached, or it was lost.
inline constexpr int kExitNoDisplay = 3;

} // namespace sayvane
