// SPDX-License-Identifier: MIT
#include "Utf8Output.h"

#include "LineText.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

namespace sayvane::terminal {

void appendAsUtf8(std::string &out, std::string_view line)
{
    const std::size_t from = out.size();
    const bool ascii =
        std::all_of(line.begin(), line.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
    if (ascii || encodingOf(line) == LineEncoding::Utf8) {
        out += line;
    } else {
        const QByteArray utf8 = decodeLine(line, LineEncoding::Windows1252).toUtf8();
        out.append(utf8.constData(), std::size_t(utf8.size()));
    }
    std::replace_if(
        out.begin() + std::ptrdiff_t(from), out.end(), [](char byte) { return byte == '\r' || byte == '\n'; }, ' ');
}

} // namespace sayvane::terminal
