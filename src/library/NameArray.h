// SPDX-License-Identifier: MIT
// The heading names of one data file, in file order, kept as the file's own
// bytes packed one after another, each with the encoding it reads in: no
// allocation per name, and only the names that are shown are ever decoded.
#pragma once

#include "LineText.h"

#include <QList>
#include <QString>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace sayvane {

class NameArray
{
public:
    qsizetype size() const { return m_ends.size(); }
    bool isEmpty() const { return m_ends.isEmpty(); }

    void append(std::string_view name)
    {
        if (!name.empty()) {
            if (m_capacity - m_used < qsizetype(name.size()))
                grow(qsizetype(name.size()));
            std::memcpy(m_bytes.get() + m_used, name.data(), name.size());
            m_used += qsizetype(name.size());
        }
        m_ends.append(m_used);
        m_utf8.push_back(encodingOf(name) == LineEncoding::Utf8);
    }

    // The bytes of the name at a position; valid while the array lives
    // unchanged.
    std::string_view bytes(qsizetype position) const
    {
        const qsizetype begin = position > 0 ? m_ends[position - 1] : 0;
        return {m_bytes.get() + begin, std::size_t(m_ends[position] - begin)};
    }
    LineEncoding encoding(qsizetype position) const
    {
        return m_utf8[std::size_t(position)] ? LineEncoding::Utf8 : LineEncoding::Windows1252;
    }
    // The name as text.
    QString text(qsizetype position) const;
    // At most the first `length` UTF-16 code units of the name, for
    // drawing it, never half a character.
    QString textPrefix(qsizetype position, qsizetype length) const;

private:
    void grow(qsizetype needed);

    struct Free
    {
        void operator()(char *bytes) const { std::free(bytes); }
    };
    // Every name, one after another, in a block grown by realloc, which
    // can move a large block without copying it.
    std::unique_ptr<char, Free> m_bytes;
    qsizetype m_used = 0;
    qsizetype m_capacity = 0;
    QList<qsizetype> m_ends;  // where each name ends in m_bytes
    std::vector<bool> m_utf8; // whether each name reads as UTF-8
};

} // namespace sayvane
