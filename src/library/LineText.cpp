// SPDX-License-Identifier: MIT
#include "LineText.h"

#include "Utf8Vectors.h"
#include "Windows1252.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace sayvane {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Where the first byte above 0x7F stands, or `end`; eight bytes at a time.
const unsigned char *firstHighByte(const unsigned char *at, const unsigned char *end)
{
    while (end - at >= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        if (word & kHighBits)
            break;
        at += 8;
    }
    while (at < end && *at < 0x80)
        ++at;
    return at;
}


const unsigned char *bytesOf(std::string_view line)
{
    return reinterpret_cast<const unsigned char *>(line.data());
}

} // namespace

LineReading readingOf(std::string_view line)
{
    const unsigned char *const begin = bytesOf(line);
    const unsigned char *const end = begin + line.size();
    const unsigned char *at = firstHighByte(begin, end);
    const LineReading asWindows1252{LineEncoding::Windows1252, qsizetype(line.size())};
    if (at == end)
        return asWindows1252;
    // A Windows-1252 line is most often told by its first letter above
    // ASCII; the rest of a line that may be UTF-8 is decided in vectors,
    // where the processor has them, from a rest of sixteen bytes on (on the
    // quotations of a search, a fifth faster than from 64 on).
    if (utf8SequenceLength(at, end) == 0)
        return asWindows1252;
    constexpr std::ptrdiff_t kVectorsFrom = 16;
    Utf8Verdict verdict;
    if (end - at >= kVectorsFrom && decideUtf8InVectors(at, end, verdict))
        return verdict.valid ? LineReading{LineEncoding::Utf8, (at - begin) + verdict.units} : asWindows1252;
    qsizetype units = at - begin;
    while (at < end) {
        if (*at < 0x80) {
            const unsigned char *const high = firstHighByte(at, end);
            units += high - at;
            at = high;
            continue;
        }
        const int length = utf8SequenceLength(at, end);
        if (length == 0)
            return asWindows1252;
        at += length;
        units += length == 4 ? 2 : 1;
    }
    return {LineEncoding::Utf8, units};
}

LineEncoding encodingOf(std::string_view line)
{
    return readingOf(line).encoding;
}

qsizetype decodedLength(std::string_view line, LineEncoding encoding)
{
    if (encoding == LineEncoding::Windows1252)
        return qsizetype(line.size());
    // One unit for every byte that begins a character, two for a character
    // beyond the 16-bit range.
    qsizetype units = 0;
    for (const unsigned char byte : line)
        units += !isContinuation(byte) + (byte >= 0xF0);
    return units;
}

char32_t nextUtf8Character(const unsigned char *&at)
{
    const unsigned char lead = *at++;
    if (lead < 0x80)
        return lead;
    const int continuations = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t character = lead & (0x3F >> continuations);
    for (int i = 0; i < continuations; ++i)
        character = (character << 6) | (*at++ & 0x3F);
    return character;
}

char16_t *decodeLine(std::string_view line, LineEncoding encoding, char16_t *out)
{
    if (encoding == LineEncoding::Windows1252) {
        decodeWindows1252(line, out);
        return out + line.size();
    }
    // Qt's own decoder, fast on runs of ASCII; the line is valid, so it
    // replaces nothing, and a U+FEFF in it stays a character.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return reinterpret_cast<char16_t *>(
        decoder.appendToBuffer(reinterpret_cast<QChar *>(out), QByteArrayView(line.data(), qsizetype(line.size()))));
}

DecodedLine decodeLineOfAnyEncoding(std::string_view line, char16_t *out)
{
    const unsigned char *at = bytesOf(line);
    const unsigned char *const end = at + line.size();
    char16_t *const start = out;
    bool high = false;
    while (at < end) {
        // Runs of ASCII eight bytes at a time.
        while (end - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, at, 8);
            if (word & kHighBits)
                break;
            for (int i = 0; i < 8; ++i)
                out[i] = at[i];
            at += 8;
            out += 8;
        }
        if (at == end)
            break;
        if (*at < 0x80) {
            *out++ = *at++;
            continue;
        }
        high = true;
        // Two-byte characters (accented Latin, Greek, Cyrillic) at once.
        if (at[0] >= 0xC2 && at[0] <= 0xDF && end - at >= 2 && isContinuation(at[1])) {
            *out++ = char16_t(((at[0] & 0x1F) << 6) | (at[1] & 0x3F));
            at += 2;
            continue;
        }
        if (utf8SequenceLength(at, end) == 0) {
            decodeWindows1252(line, start);
            return {start + line.size(), LineEncoding::Windows1252};
        }
        const char32_t character = nextUtf8Character(at);
        if (QChar::requiresSurrogates(character)) {
            *out++ = QChar::highSurrogate(character);
            *out++ = QChar::lowSurrogate(character);
        } else {
            *out++ = char16_t(character);
        }
    }
    return {out, high ? LineEncoding::Utf8 : LineEncoding::Windows1252};
}

QString decodeLine(std::string_view line, LineEncoding encoding)
{
    QString text(decodedLength(line, encoding), Qt::Uninitialized);
    decodeLine(line, encoding, reinterpret_cast<char16_t *>(text.data()));
    return text;
}

QString decodeLine(std::string_view line)
{
    return decodeLine(line, encodingOf(line));
}

std::string_view linePrefix(std::string_view line, LineEncoding encoding, qsizetype units)
{
    units = std::max<qsizetype>(units, 0);
    if (encoding == LineEncoding::Windows1252)
        return line.substr(0, std::size_t(units));
    std::size_t at = 0;
    while (at < line.size()) {
        const auto lead = static_cast<unsigned char>(line[at]);
        const int width = lead >= 0xF0 ? 2 : 1;
        if (units < width)
            break;
        units -= width;
        at += lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    }
    return line.substr(0, at);
}

QList<Spelling> spellingsOf(QStringView text)
{
    std::string utf8;
    utf8.reserve(std::size_t(text.size()) * 3);
    bool ascii = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (QChar::isSurrogate(character)) {
            if (!QChar::isHighSurrogate(character) || i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return {};
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        ascii = ascii && character < 0x80;
        if (character < 0x80) {
            utf8 += char(character);
        } else if (character < 0x800) {
            utf8 += char(0xC0 | (character >> 6));
            utf8 += char(0x80 | (character & 0x3F));
        } else if (character < 0x10000) {
            utf8 += char(0xE0 | (character >> 12));
            utf8 += char(0x80 | ((character >> 6) & 0x3F));
            utf8 += char(0x80 | (character & 0x3F));
        } else {
            utf8 += char(0xF0 | (character >> 18));
            utf8 += char(0x80 | ((character >> 12) & 0x3F));
            utf8 += char(0x80 | ((character >> 6) & 0x3F));
            utf8 += char(0x80 | (character & 0x3F));
        }
    }
    if (ascii)
        return {Spelling{std::move(utf8), std::nullopt}};
    QList<Spelling> spellings{Spelling{std::move(utf8), LineEncoding::Utf8}};
    if (const std::optional<QByteArray> windows1252 = encodeWindows1252(text))
        spellings.append(Spelling{windows1252->toStdString(), LineEncoding::Windows1252});
    return spellings;
}

QList<Spelling> spellingsOfLine(std::string_view line)
{
    const unsigned char *const begin = bytesOf(line);
    if (firstHighByte(begin, begin + line.size()) == begin + line.size())
        return {Spelling{std::string(line), std::nullopt}};
    return spellingsOf(decodeLine(line));
}

bool encodingFits(std::string_view line, const Spelling &spelling)
{
    return !spelling.onlyIn || encodingFits(encodingOf(line), spelling);
}

} // namespace sayvane
