// SPDX-License-Identifier: MIT
#include "NameArray.h"

#include <QStringList>

#include <algorithm>
#include <new>

namespace sayvane {

void NameArray::grow(qsizetype needed)
{
    const qsizetype capacity = std::max({m_capacity * 2, m_used + needed, qsizetype(4096)});
    char *grown = static_cast<char *>(std::realloc(m_bytes.get(), std::size_t(capacity)));
    if (!grown)
        throw std::bad_alloc();
    m_bytes.release();
    m_bytes.reset(grown);
    m_capacity = capacity;
}

QString NameArray::text(qsizetype position) const
{
    return decodeLine(bytes(position), encoding(position));
}

QString NameArray::textPrefix(qsizetype position, qsizetype length) const
{
    return decodeLine(linePrefix(bytes(position), encoding(position), length), encoding(position));
}

} // namespace sayvane
