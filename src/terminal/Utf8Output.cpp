// SPDX-License-Identifier: MIT
#include "Utf8Output.h"

#include "LineText.h"
#include "Windows1252.h"

#include <span>

namespace sayvane::terminal {

void appendAsUtf8(std::string &out, std::string_view line)
{
    appendAsUtf8(out, line, encodingOf(line));
}

void appendAsUtf8(std::string &out, std::string_view line, LineEncoding encoding)
{
    const std::size_t from = out.size();
    if (encoding == LineEncoding::Utf8)
        out += line;
    else
        appendWindows1252AsUtf8(out, line);
    // A CR or LF inside the line would end it here: each becomes a space,
    // in one pass without branches, which the compiler makes a loop of
    // vectors (two calls of memchr cost more on lines of a hundred bytes).
    for (char &byte : std::span(out).subspan(from))
        byte = byte == '\r' || byte == '\n' ? ' ' : byte;
}

} // namespace sayvane::terminal
