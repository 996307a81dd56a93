// SPDX-License-Identifier: MIT
// The program's names, which the window and the commands that need no
// display both use.
#pragma once

namespace sayvane {

// The application title: the program's name, and the title of a message
// box that names none of its own.
inline constexpr const char *kApplicationTitle = "Sayvane";
// The name of the command, which its messages on standard error begin with.
inline constexpr const char *kCommandName = "sayvane";

} // namespace sayvane
