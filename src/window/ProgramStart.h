// SPDX-License-Identifier: MIT
// The program's start, arranged so that its first frame comes soon: what
// needs no display runs on threads of its own while the main thread
// connects to the display and builds the window.
#pragma once

#include "MessageBoxesAndExit.h"

#include <QString>

#include <memory>
#include <thread>

namespace sayvane {

class frmMain;

// Begins, on a thread of its own, the part of the font system's start that
// needs no display: reading its configuration and its cache of the
// installed fonts, which takes about as long as connecting to the display.
// Called before the application is made, it runs while the application
// connects; wait for it (join) once the application exists, so that the
// window's first font finds it done. Where the font system is not
// fontconfig, the thread does nothing.
[[nodiscard]] std::thread startFontConfiguration();

// Makes the main window of the collection and loads it, the heading names
// of both files and the pictures read on threads of their own while the
// window builds its controls. Null where loading failed, after the window has said why.
std::unique_ptr<frmMain>
openMainWindow(const QString &collectionFolder,
               std::unique_ptr<MessageBoxesAndExit> messageBoxes = std::make_unique<MessageBoxesAndExit>());

} // namespace sayvane
