// SPDX-License-Identifier: MIT
#include "ShownText.h"

#include "Windows1252.h"

#include <algorithm>

namespace sayvane {

void ShownText::append(std::string_view line)
{
    const qsizetype size = m_text.size();
    const qsizetype grown = size + qsizetype(line.size()) + 4;
    // Doubling keeps appending linear; large texts grow in place.
    if (grown > m_text.capacity())
        m_text.reserve(std::max(grown, 2 * m_text.capacity()));
    m_text.resize(grown);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data()) + size;
    out[0] = u'\r';
    out[1] = u'\n';
    decodeWindows1252(line, out + 2);
    out += 2 + line.size();
    out[0] = u'\r';
    out[1] = u'\n';
}

QString ShownText::take()
{
    return std::move(m_text);
}

} // namespace sayvane
