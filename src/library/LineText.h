// SPDX-License-Identifier: MIT
// The one rule by which a line of a data file becomes text: a line that is
// valid UTF-8 and holds a byte above 0x7F is UTF-8; every other line is
// Windows-1252, one byte a character (an ASCII line reads the same either
// way). A heading name is its line without two ASCII characters, so a name
// reads by the same rule as its line.
#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace sayvane {

enum class LineEncoding { Windows1252, Utf8 };

// How a line reads: its encoding, and the length of its text in UTF-16
// code units. One pass over the line.
struct LineReading
{
    LineEncoding encoding;
    qsizetype length;
};
LineReading readingOf(std::string_view line);
LineEncoding encodingOf(std::string_view line);

// The length of the line's text in UTF-16 code units.
qsizetype decodedLength(std::string_view line, LineEncoding encoding);
// Writes the line's text to `out`, which has room for decodedLength(),
// and returns the end of what it wrote.
char16_t *decodeLine(std::string_view line, LineEncoding encoding, char16_t *out);
QString decodeLine(std::string_view line, LineEncoding encoding);
QString decodeLine(std::string_view line);
// Writes the text of a line whose encoding is not yet known to `out`,
// which has room for line.size() units (a line never reads as more units
// than it has bytes): one pass that checks and decodes a UTF-8 line
// together, a line found not to be UTF-8 on the way decoded again from its
// start as Windows-1252. Returns the end of what it wrote and the line's
// encoding.
struct DecodedLine
{
    char16_t *end;
    LineEncoding encoding;
};
DecodedLine decodeLineOfAnyEncoding(std::string_view line, char16_t *out);

// The first bytes of a line of this encoding that read as at most
// `units` UTF-16 code units, never cutting a character in two.
std::string_view linePrefix(std::string_view line, LineEncoding encoding, qsizetype units);

inline bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at` (1 for ASCII;
// Unicode's table of well-formed byte sequences: no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 where none begins there.
// Inline: it is asked of every character above ASCII of a line whose
// encoding is looked for.
inline int utf8SequenceLength(const unsigned char *at, const unsigned char *end)
{
    const unsigned char lead = at[0];
    const std::ptrdiff_t left = end - at;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return left >= 2 && isContinuation(at[1]) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(at[1]) || !isContinuation(at[2]))
            return 0;
        if ((lead == 0xE0 && at[1] < 0xA0) || (lead == 0xED && at[1] > 0x9F))
            return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(at[1]) || !isContinuation(at[2]) || !isContinuation(at[3]))
            return 0;
        if ((lead == 0xF0 && at[1] < 0x90) || (lead == 0xF4 && at[1] > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

// Walks the characters of a valid UTF-8 line.
char32_t nextUtf8Character(const unsigned char *&at);

// Bytes that a line holds where its text holds a given text. An ASCII
// text is spelt the same in lines of either encoding (onlyIn is empty);
// any other is spelt in UTF-8 lines by its UTF-8 bytes and in Windows-1252
// lines by its Windows-1252 bytes.
struct Spelling
{
    std::string bytes;
    std::optional<LineEncoding> onlyIn;
};

// Every spelling of the text: none when no line can hold it (a lone
// surrogate), and no Windows-1252 spelling where the text holds a
// character outside Windows-1252. A line holds the text exactly when it
// holds one spelling and encodingFits that spelling.
QList<Spelling> spellingsOf(QStringView text);
// The spellings of the text a line's bytes read as: the bytes themselves,
// and the other encoding's bytes where the text holds more than ASCII.
// Never decodes an ASCII line, however long.
QList<Spelling> spellingsOfLine(std::string_view line);
// True when the line is of the encoding the spelling is read in.
bool encodingFits(std::string_view line, const Spelling &spelling);
// The same for a line whose encoding is known already.
inline bool encodingFits(LineEncoding encoding, const Spelling &spelling)
{
    return !spelling.onlyIn || *spelling.onlyIn == encoding;
}

} // namespace sayvane
