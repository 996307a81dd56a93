// The heading names of one data file, in file order, kept as the file's own
// bytes (Windows-1252, one byte a character) packed one after another: no
// allocation per name, and only the names that are shown are ever decoded.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <string_view>

namespace sayvane {

class NameArray
{
public:
    qsizetype size() const { return m_ends.size(); }
    bool isEmpty() const { return m_ends.isEmpty(); }

    void append(std::string_view name);

    // The bytes of the name at a position; valid while the array lives
    // unchanged.
    std::string_view bytes(qsizetype position) const;
    // The name as text.
    QString text(qsizetype position) const;
    // At most the first `length` characters of the name, for drawing it.
    QString textPrefix(qsizetype position, qsizetype length) const;
    // All names as text, for tests and checks.
    QStringList toStringList() const;

private:
    QByteArray m_bytes;      // every name, one after another
    QList<qsizetype> m_ends; // where each name ends in m_bytes
};

} // namespace sayvane
