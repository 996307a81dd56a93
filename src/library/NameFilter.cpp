#include "NameFilter.h"

#include "LineRules.h"

#include <QChar>

#include <numeric>

namespace sayvane {
namespace {

constexpr char32_t kNoCharacter = 0x110000;

// Both sides use the same per-character Unicode lower-case mapping, so a
// name never has to be copied or lowered whole on every keystroke. The
// mapping of all 65,536 UTF-16 units is looked up once, on first use.
char16_t lowered(char16_t character)
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> lower(0x10000);
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            lower[unit] = char16_t(QChar::toLower(unit));
        return lower;
    }();
    return table[character];
}

bool beginsWithLowered(QStringView name, const std::vector<char16_t> &loweredFilter)
{
    if (name.size() < qsizetype(loweredFilter.size()))
        return false;
    for (std::size_t i = 1; i < loweredFilter.size(); ++i) {
        if (lowered(name[qsizetype(i)].unicode()) != loweredFilter[i])
            return false;
    }
    return true;
}

} // namespace

NameFilter::NameFilter(const QStringList &names)
    : m_names(&names)
{
    m_firstLowered.reserve(std::size_t(names.size()));
    for (const QString &name : names)
        m_firstLowered.push_back(name.isEmpty() ? kNoCharacter : lowered(name.front().unicode()));
}

QList<int> NameFilter::matches(QStringView filterText) const
{
    const int count = int(m_firstLowered.size());
    QList<int> positions;
    const QStringView filter = trimSpaces(filterText);
    if (filter.isEmpty()) {
        positions.resize(count);
        std::iota(positions.begin(), positions.end(), 0);
        return positions;
    }
    std::vector<char16_t> loweredFilter;
    loweredFilter.reserve(std::size_t(filter.size()));
    for (QChar character : filter)
        loweredFilter.push_back(lowered(character.unicode()));

    // The first character is compared in the compact array; only the names
    // that pass are read.
    const char32_t first = loweredFilter.front();
    for (int position = 0; position < count; ++position) {
        if (m_firstLowered[std::size_t(position)] == first && beginsWithLowered((*m_names)[position], loweredFilter))
            positions.append(position);
    }
    return positions;
}

QList<int> FilterNames(const QStringList &names, QStringView filterText)
{
    return NameFilter(names).matches(filterText);
}

} // namespace sayvane
