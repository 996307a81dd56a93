// SPDX-License-Identifier: MIT
// Upper and lower case as one, as the name filter has them: each character
// lowered with Unicode's mapping of one character, in every script.
#pragma once

#include <QList>
#include <QString>

#include "LineText.h"

#include <string>
#include <string_view>

namespace sayvane::terminal {

// No character after this one has a case of its own.
inline constexpr char32_t kLastCharacterWithCase = 0x1FFFF;

// The text with every character lowered.
QString foldedCase(QStringView text);

// The characters of a text, each lowered.
QList<char32_t> foldedCharacters(QStringView text);

// Bytes in which some bits may be either: a byte b matches where
// (b & masks[i]) == bytes[i].
struct MaskedBytes
{
    std::string bytes;
    std::string masks;
};

// Patterns that the bytes of every text whose folded case begins with the
// folded characters' first ones begin with, as UTF-8 or as Windows-1252:
// for each character, the spellings of all its cases of one length are
// one masked pattern ("k" and "K" are 0x4B with 0x20 free, the Kelvin
// sign's three bytes another). Takes as many characters as keep the
// number of patterns at most `most` (one at least).
QList<MaskedBytes> caselessPatternsOfStart(const QList<char32_t> &folded, qsizetype most);

// True when the text of the line from byte `at`, where a character of the
// line's encoding begins, begins with characters that lower to the folded
// ones.
bool foldsTo(std::string_view line, std::size_t at, LineEncoding encoding, const QList<char32_t> &folded);

} // namespace sayvane::terminal
