// SPDX-License-Identifier: MIT
// Windows-1252 differs from Latin-1 only in the bytes 0x80 to 0x9F.
#include "Windows1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace sayvane {
namespace {

constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> kCharacters = [] {
    std::array<char16_t, 256> characters{};
    for (int byte = 0; byte < 256; ++byte)
        characters[byte] = byte >= 0x80 && byte <= 0x9F ? kHighControlRange[byte - 0x80] : char16_t(byte);
    return characters;
}();

// The UTF-8 bytes of each byte from 0x80 on, and their count.
struct Utf8Of
{
    std::array<char, 3> bytes;
    unsigned char length;
};

constexpr std::array<Utf8Of, 128> kUtf8OfHighHalf = [] {
    std::array<Utf8Of, 128> table{};
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char16_t character = kCharacters[byte];
        Utf8Of &entry = table[std::size_t(byte - 0x80)];
        if (character < 0x800) {
            entry = {{char(0xC0 | (character >> 6)), char(0x80 | (character & 0x3F)), 0}, 2};
        } else {
            entry = {{char(0xE0 | (character >> 12)), char(0x80 | ((character >> 6) & 0x3F)),
                      char(0x80 | (character & 0x3F))},
                     3};
        }
    }
    return table;
}();

std::optional<char> byteOf(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return char(character);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == character)
            return char(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

const std::array<char16_t, 256> &loweredWindows1252()
{
    static const std::array<char16_t, 256> lowered = [] {
        std::array<char16_t, 256> table{};
        for (int i = 0; i < 256; ++i)
            table[i] = char16_t(QChar::toLower(char32_t(kCharacters[i])));
        return table;
    }();
    return lowered;
}

void decodeWindows1252(std::string_view bytes, char16_t *out)
{
    for (unsigned char byte : bytes)
        *out++ = kCharacters[byte];
}

void appendWindows1252AsUtf8(std::string &out, std::string_view bytes)
{
    out.reserve(out.size() + bytes.size() * 3);
    const char *at = bytes.data();
    const char *const end = at + bytes.size();
    while (at < end) {
        // Runs of ASCII found eight bytes at a time.
        const char *run = at;
        std::uint64_t word;
        while (end - at >= 8 && (std::memcpy(&word, at, 8), (word & 0x8080808080808080u) == 0))
            at += 8;
        while (at < end && static_cast<unsigned char>(*at) < 0x80)
            ++at;
        out.append(run, std::size_t(at - run));
        if (at < end) {
            const Utf8Of &entry = kUtf8OfHighHalf[static_cast<unsigned char>(*at++) - 0x80];
            out.append(entry.bytes.data(), entry.length);
        }
    }
}

QString decodeWindows1252(std::string_view bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    decodeWindows1252(bytes, reinterpret_cast<char16_t *>(text.data()));
    return text;
}

std::optional<QByteArray> encodeWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (QChar character : text) {
        const std::optional<char> byte = byteOf(character.unicode());
        if (!byte)
            return std::nullopt;
        *out++ = *byte;
    }
    return bytes;
}

} // namespace sayvane
