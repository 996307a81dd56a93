// SPDX-License-Identifier: MIT
#include "ShownText.h"

#include <algorithm>
#include <new>

namespace sayvane {

ShownText::ShownText(qsizetype limit)
    : m_limit(limit)
{
}

void ShownText::append(std::string_view line)
{
    if (m_cut == ShownCut::None)
        append(line, readingOf(line));
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
    // Doubling keeps appending linear; large texts grow in place, never
    // past the limit.
    try {
        if (grown > m_text.capacity())
            m_text.reserve(std::min(std::max(grown, 2 * m_text.capacity()), m_limit));
    } catch (const std::bad_alloc &) {
        m_cut = ShownCut::OutOfMemory;
        return;
    }
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
