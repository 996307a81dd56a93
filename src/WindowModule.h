// SPDX-License-Identifier: MIT
// The main window lives in a module of its own, loaded only when the
// window opens: a command at the terminal then starts without the window
// system's libraries (Qt Widgets and Gui, OpenGL, X), which take longer
// to load than a whole command on a collection of 100 MB takes to run.
#pragma once

#include <QString>

#include <optional>

namespace sayvane {

// The module's file name: it lies beside the program.
inline constexpr char kWindowModuleName[] = "sayvane-window.so";
inline constexpr char kWindowEntryName[] = "sayvane_run_window";

// The module's entry: runs the window on the folder the user named, or on
// the collection beside the program, and returns the exit status.
using WindowEntry = int (*)(char *programName, const std::optional<QString> *namedFolder);

} // namespace sayvane
