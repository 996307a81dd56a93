// SPDX-License-Identifier: MIT
#include "NameFilter.h"

#include "LineRules.h"
#include "Windows1252.h"

#include <QChar>

#include <limits>
#include <numeric>
#include <vector>

namespace sayvane {

QList<int> filterNames(const NameArray &names, QStringView filterText)
{
    const int count = int(std::min<qsizetype>(names.size(), std::numeric_limits<int>::max()));
    QList<int> positions;
    const QStringView filter = trimSpaces(filterText);
    if (filter.isEmpty()) {
        positions.resize(count);
        std::iota(positions.begin(), positions.end(), 0);
        return positions;
    }
    // A name is bytes, one a character, so its first n characters are its
    // first n bytes. A filter character that no byte stands for (outside
    // Windows-1252, or half of a surrogate pair) matches no name.
    std::vector<char16_t> loweredFilter;
    loweredFilter.reserve(std::size_t(filter.size()));
    for (QChar character : filter)
        loweredFilter.push_back(char16_t(character.toLower().unicode()));
    const std::size_t length = loweredFilter.size();
    const std::array<char16_t, 256> &lowered = loweredWindows1252();
    for (int position = 0; position < count; ++position) {
        const std::string_view name = names.bytes(position);
        if (name.size() < length)
            continue;
        std::size_t i = 0;
        while (i < length && lowered[static_cast<unsigned char>(name[i])] == loweredFilter[i])
            ++i;
        if (i == length)
            positions.append(position);
    }
    return positions;
}

} // namespace sayvane
