// SPDX-License-Identifier: MIT
// Opens the main window by loading the window module.
#pragma once

#include <QString>

#include <optional>

namespace sayvane {

// Loads the window module and runs the window on the named folder, or on
// the collection beside the program. Returns the exit status; where the
// module cannot be loaded, says why on standard error and returns 1.
int openWindow(char *programName, const std::optional<QString> &namedFolder);

} // namespace sayvane
