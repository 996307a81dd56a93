// SPDX-License-Identifier: MIT
// The program's start, arranged so that its first frame comes soon: what
// needs no display runs on threads of its own while the main thread
// connects to the display and builds the window. Every thread of the start
// lives here; the window is handed finished values.
#pragma once

#include "DataFiles.h"
#include "MessageBoxesAndExit.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace sayvane {

class frmMain;

// Makes the main window of the collection and loads it. Both data files
// pass the existence test before either is opened; then their heading
// names and the program's pictures are read on threads of their own while
// the window builds its controls, and the window gets each when it is
// complete. Where no thread can be had, the same work runs on this thread.
// Null where loading failed, after the window has said why.
// A folder the user named that lacks a file is told so in other words
// than the collection beside the program.
std::unique_ptr<frmMain>
openMainWindow(const QString &collectionFolder,
               std::unique_ptr<MessageBoxesAndExit> messageBoxes = std::make_unique<MessageBoxesAndExit>(),
               CollectionOrigin origin = CollectionOrigin::BesideProgram);

// The whole run of the window: the font system reads its configuration on
// a thread of its own while the application connects to the display; then
// the program is set up, the main window opened on the folder that
// `collectionFolder` gives (asked once the application exists), shown and
// run until it ends. `beforeShow` sees the window just before it shows.
// Returns the exit status.
int runProgram(char *programName, const std::function<QString()> &collectionFolder,
               const std::function<void(QWidget &)> &beforeShow = {},
               CollectionOrigin origin = CollectionOrigin::BesideProgram);

} // namespace sayvane
