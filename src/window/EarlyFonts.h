// SPDX-License-Identifier: MIT
// The font system's start, moved off the path to the first frame.
#pragma once

#include <thread>

namespace sayvane {

// Begins, on a thread of its own, the part of the font system's start that
// needs no display: reading its configuration and its cache of the
// installed fonts, which takes about as long as connecting to the display.
// Called before the application is made, it runs while the application
// connects; wait for it (join) once the application exists, so that the
// window's first font finds it done. Where the font system is not
// fontconfig, the thread does nothing.
[[nodiscard]] std::thread startFontConfiguration();

} // namespace sayvane
