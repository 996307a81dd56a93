// SPDX-License-Identifier: MIT
// A line of a data file as a line of the terminal's output: its text as
// UTF-8, whatever its encoding in the file.
#pragma once

#include "LineText.h"

#include <string>
#include <string_view>

namespace sayvane::terminal {

// Appends the line's text (each line read by its own encoding) as UTF-8,
// with every CR and LF in it a space: a lone LF of a classic file is a
// character of its line there, but would end the line here.
void appendAsUtf8(std::string &out, std::string_view line);
// The same for a line whose encoding is known already.
void appendAsUtf8(std::string &out, std::string_view line, LineEncoding encoding);

} // namespace sayvane::terminal
