#include "NameFilter.h"

#include "LineRules.h"

#include <QChar>

#include <vector>

namespace sayvane {
namespace {

// Both sides use the same per-character Unicode lower-case mapping, so a
// name never has to be copied or lowered whole on every keystroke.
char16_t lowered(char16_t character)
{
    return char16_t(QChar::toLower(char32_t(character)));
}

bool beginsWithLowered(QStringView name, const std::vector<char16_t> &loweredFilter)
{
    if (name.size() < qsizetype(loweredFilter.size()))
        return false;
    for (std::size_t i = 0; i < loweredFilter.size(); ++i) {
        if (lowered(name[qsizetype(i)].unicode()) != loweredFilter[i])
            return false;
    }
    return true;
}

} // namespace

QList<int> FilterNames(const QStringList &names, QStringView filterText)
{
    const QStringView filter = trimSpaces(filterText);
    std::vector<char16_t> loweredFilter;
    loweredFilter.reserve(std::size_t(filter.size()));
    for (QChar character : filter)
        loweredFilter.push_back(lowered(character.unicode()));

    QList<int> matches;
    matches.reserve(filter.isEmpty() ? names.size() : 0);
    for (int index = 0; index < names.size(); ++index) {
        if (beginsWithLowered(names[index], loweredFilter))
            matches.append(index);
    }
    return matches;
}

} // namespace sayvane
