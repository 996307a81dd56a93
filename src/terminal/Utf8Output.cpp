// SPDX-License-Identifier: MIT
#include "Utf8Output.h"

#include "LineText.h"
#include "Windows1252.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <span>

namespace sayvane::terminal {
namespace {

// The UTF-8 bytes of each Windows-1252 byte from 0x80 on, and their count.
struct Utf8Of
{
    std::array<char, 3> bytes;
    unsigned char length;
};

const std::array<Utf8Of, 128> &windows1252HighHalf()
{
    static const std::array<Utf8Of, 128> table = [] {
        std::array<Utf8Of, 128> made{};
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char single = char(byte);
            const QByteArray utf8 = decodeWindows1252(std::string_view(&single, 1)).toUtf8();
            Utf8Of &entry = made[std::size_t(byte - 0x80)];
            entry.length = static_cast<unsigned char>(utf8.size());
            std::memcpy(entry.bytes.data(), utf8.constData(), std::size_t(utf8.size()));
        }
        return made;
    }();
    return table;
}

} // namespace

void appendAsUtf8(std::string &out, std::string_view line)
{
    appendAsUtf8(out, line, encodingOf(line));
}

void appendAsUtf8(std::string &out, std::string_view line, LineEncoding encoding)
{
    const std::size_t from = out.size();
    if (encoding == LineEncoding::Utf8) {
        out += line;
    } else {
        // Windows-1252: each run of ASCII appended whole (found eight bytes
        // at a time), each byte above it by the table.
        const auto &table = windows1252HighHalf();
        out.reserve(from + line.size() * 3);
        const char *at = line.data();
        const char *const end = at + line.size();
        while (at < end) {
            const char *run = at;
            std::uint64_t word;
            while (end - at >= 8 && (std::memcpy(&word, at, 8), (word & 0x8080808080808080u) == 0))
                at += 8;
            while (at < end && static_cast<unsigned char>(*at) < 0x80)
                ++at;
            out.append(run, std::size_t(at - run));
            if (at < end) {
                const Utf8Of &entry = table[static_cast<unsigned char>(*at++) - 0x80];
                out.append(entry.bytes.data(), entry.length);
            }
        }
    }
    // A CR or LF inside the line would end it here: each becomes a space,
    // in one pass without branches, which the compiler makes a loop of
    // vectors (two calls of memchr cost more on lines of a hundred bytes).
    for (char &byte : std::span(out).subspan(from))
        byte = byte == '\r' || byte == '\n' ? ' ' : byte;
}

} // namespace sayvane::terminal
