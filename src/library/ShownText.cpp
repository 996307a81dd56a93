// SPDX-License-Identifier: MIT
#include "ShownText.h"

#include <algorithm>
#include <new>

namespace sayvane {

ShownText::ShownText(qsizetype limit)
    : m_limit(limit)
{
}

bool ShownText::append(std::string_view line, std::optional<LineEncoding> onlyIn)
{
    if (m_cut != ShownCut::None)
        return true;
    // A line reads as at most one unit a byte; room for that lets the line
    // be checked and decoded in one pass. Only near the limit must the
    // exact length be known first.
    const qsizetype size = m_text.size();
    const qsizetype most = size + qsizetype(line.size()) + 4;
    if (most > m_limit) {
        const LineReading reading = readingOf(line);
        if (onlyIn && reading.encoding != *onlyIn)
            return false;
        append(line, reading);
        return true;
    }
    if (!makeRoom(most))
        return true;
    m_text.resize(most);
    char16_t *const text = reinterpret_cast<char16_t *>(m_text.data());
    char16_t *out = text + size;
    out[0] = u'\r';
    out[1] = u'\n';
    const DecodedLine decoded = decodeLineOfAnyEncoding(line, out + 2);
    if (onlyIn && decoded.encoding != *onlyIn) {
        m_text.resize(size);
        return false;
    }
    decoded.end[0] = u'\r';
    decoded.end[1] = u'\n';
    m_text.resize(decoded.end + 2 - text);
    return true;
}

// Doubling keeps appending linear; large texts grow in place, never past
// the limit.
bool ShownText::makeRoom(qsizetype size)
{
    try {
        if (size > m_text.capacity())
            m_text.reserve(std::min(std::max(size, 2 * m_text.capacity()), m_limit));
        return true;
    } catch (const std::bad_alloc &) {
        m_cut = ShownCut::OutOfMemory;
        return false;
    }
}

void ShownText::append(std::string_view line, LineReading reading)
{
    if (m_cut != ShownCut::None)
        return;
    const qsizetype size = m_text.size();
    const qsizetype grown = size + reading.length + 4;
    if (grown > m_limit) {
        m_cut = ShownCut::AtLimit;
        return;
    }
    if (!makeRoom(grown))
        return;
    m_text.resize(grown);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data()) + size;
    out[0] = u'\r';
    out[1] = u'\n';
    out = decodeLine(line, reading.encoding, out + 2);
    out[0] = u'\r';
    out[1] = u'\n';
}

QString ShownText::take()
{
    return std::move(m_text);
}

} // namespace sayvane
