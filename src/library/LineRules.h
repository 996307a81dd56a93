// SPDX-License-Identifier: MIT
// What a line of a data file means: heading line or quote line, and the
// name a heading line gives its section. The marks and the spaces are
// ASCII, spelt the same in both encodings a line may have and never part
// of a longer UTF-8 character, so the rules work on the bytes.
#pragma once

#include <QStringView>

#include <string_view>

namespace sayvane {

// Removes leading and trailing spaces (U+0020) only; tabs and other white
// space stay.
QStringView trimSpaces(QStringView text);

// True when the line, trimmed of spaces, begins with "##". Trailing spaces
// cannot change the first two characters of the trimmed text unless they
// are among them, and then those are not "##"; so skipping the leading
// spaces is enough.
inline bool IsHeadingLine(std::string_view line)
{
    const std::size_t begin = line.find_first_not_of(' ');
    return begin != std::string_view::npos && line.substr(begin).starts_with("##");
}

// The untrimmed line from its third character on, or empty when shorter:
// spaces before the marks take part of the first two characters, and
// trailing spaces stay part of the name.
inline std::string_view HeadingName(std::string_view headingLine)
{
    return headingLine.size() > 2 ? headingLine.substr(2) : std::string_view();
}

} // namespace sayvane
