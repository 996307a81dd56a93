// SPDX-License-Identifier: MIT
// Conversion between the bytes of the data files (Windows-1252) and text.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sayvane {

// Every byte decodes to exactly one character. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control characters of the same value, so no byte is ever lost.
QString decodeWindows1252(std::string_view bytes);
// The same into room for bytes.size() characters.
void decodeWindows1252(std::string_view bytes, char16_t *out);
// Appends the text of the bytes as UTF-8: each run of ASCII whole, each
// byte above it as its character's two or three bytes.
void appendWindows1252AsUtf8(std::string &out, std::string_view bytes);

// For each byte, the character it stands for in lower case (Unicode's
// mapping of one character), for comparing names without regard to case.
const std::array<char16_t, 256> &loweredWindows1252();

// The bytes that stand for the text in a data file, or nothing when the
// text holds a character that Windows-1252 cannot represent (such text can
// never occur in a data file).
std::optional<QByteArray> encodeWindows1252(QStringView text);

} // namespace sayvane
