// Narrows a name array to the names that begin with a typed text.
#pragma once

#include <QList>
#include <QStringList>

#include <vector>

namespace sayvane {

// Filters one name array, which must outlive it and stay unchanged. It
// keeps the lower-cased first character of every name, so that a keystroke
// reads only the names that can match: over a million names, touching every
// name's text would cost more than a frame.
class NameFilter
{
public:
    NameFilter() = default;
    explicit NameFilter(const QStringList &names);

    // The positions, in array order, of the names whose first characters
    // equal the filter text (trimmed of spaces) apart from upper and lower
    // case. An empty filter keeps every name.
    QList<int> matches(QStringView filterText) const;

private:
    const QStringList *m_names = nullptr;
    std::vector<char32_t> m_firstLowered; // kNoCharacter for an empty name
};

// The same for a single use.
QList<int> FilterNames(const QStringList &names, QStringView filterText);

} // namespace sayvane
