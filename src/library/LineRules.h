// What a line of a data file means: heading line or quote line, and the
// name a heading line gives its section. One byte is one character in the
// data files, so the rules work on the bytes.
#pragma once

#include <QString>

#include <string_view>

namespace sayvane {

// Removes leading and trailing spaces (U+0020) only; tabs and other white
// space stay.
std::string_view trimSpaces(std::string_view line);
QStringView trimSpaces(QStringView text);

// True when the line, trimmed of spaces, begins with "##".
bool IsHeadingLine(std::string_view line);

// The untrimmed line from its third character on, or empty when shorter:
// spaces before the marks take part of the first two characters, and
// trailing spaces stay part of the name.
std::string_view HeadingName(std::string_view headingLine);

} // namespace sayvane
