// SPDX-License-Identifier: MIT
// What the whole program shares, set up once before its window is made:
// its title, its widget style and colours, and its fonts.
#pragma once

#include "ProgramNames.h"

#include <QFont>

class QStyle;

namespace sayvane {


// The font families the window names; a desktop without one draws its
// nearest instead (see programFont).
inline constexpr const char *kMsSansSerif = "MS Sans Serif";
inline constexpr const char *kArial = "Arial";
inline constexpr const char *kVerdana = "Verdana";

// The program's default font: of every control that names none of its
// own, and of the message boxes and tool tips.
inline constexpr const char *kDefaultFontFamily = kMsSansSerif;
inline constexpr int kDefaultFontPixelSize = 11;

// Names the application, makes its locale English (United States), and
// gives it one widget style, that style's own standard colours and the
// default font, so that the program looks and reads the same on every
// desktop. Called before any control exists.
void setUpProgram();

// A new instance of the program's widget style, for a control that draws
// parts of itself its own way on top of it.
QStyle *createProgramStyle();

// A font of the family where it is installed, otherwise of its nearest.
QFont programFont(const char *family, int pixelSize, bool bold = false);

} // namespace sayvane
