#include "NameArray.h"

#include "Windows1252.h"

#include <QStringList>

#include <algorithm>

namespace sayvane {

void NameArray::append(std::string_view name)
{
    // QByteArray and QList grow by reallocation, which the system can do
    // without copying for large arrays.
    m_bytes.append(name.data(), qsizetype(name.size()));
    m_ends.append(m_bytes.size());
}

std::string_view NameArray::bytes(qsizetype position) const
{
    const qsizetype begin = position > 0 ? m_ends[position - 1] : 0;
    return {m_bytes.constData() + begin, std::size_t(m_ends[position] - begin)};
}

QString NameArray::text(qsizetype position) const
{
    return decodeWindows1252(bytes(position));
}

QString NameArray::textPrefix(qsizetype position, qsizetype length) const
{
    return decodeWindows1252(bytes(position).substr(0, std::size_t(std::max<qsizetype>(length, 0))));
}

QStringList NameArray::toStringList() const
{
    QStringList names;
    names.reserve(size());
    for (qsizetype position = 0; position < size(); ++position)
        names.append(text(position));
    return names;
}

} // namespace sayvane
