// SPDX-License-Identifier: MIT
#include "NameFilter.h"

#include "LineRules.h"
#include "Windows1252.h"

#include <QChar>

#include <limits>
#include <numeric>
#include <vector>

namespace sayvane {
namespace {

// The characters of the filter, each lowered; a lone surrogate stays as
// it is and matches no character of a name.
std::vector<char32_t> loweredCharacters(QStringView text)
{
    std::vector<char32_t> lowered;
    lowered.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        lowered.push_back(QChar::toLower(character));
    }
    return lowered;
}

// A Windows-1252 name: one byte a character.
bool windows1252NameBegins(std::string_view name, const std::vector<char32_t> &filter)
{
    if (name.size() < filter.size())
        return false;
    const std::array<char16_t, 256> &lowered = loweredWindows1252();
    for (std::size_t i = 0; i < filter.size(); ++i) {
        if (lowered[static_cast<unsigned char>(name[i])] != filter[i])
            return false;
    }
    return true;
}

// A UTF-8 name: its characters walked one by one, ASCII through the table.
bool utf8NameBegins(std::string_view name, const std::vector<char32_t> &filter)
{
    const std::array<char16_t, 256> &lowered = loweredWindows1252();
    const auto *at = reinterpret_cast<const unsigned char *>(name.data());
    const auto *const end = at + name.size();
    for (const char32_t expected : filter) {
        if (at == end)
            return false;
        const char32_t character = *at < 0x80 ? lowered[*at++] : QChar::toLower(nextUtf8Character(at));
        if (character != expected)
            return false;
    }
    return true;
}

} // namespace

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
    const std::vector<char32_t> lowered = loweredCharacters(filter);
    for (int position = 0; position < count; ++position) {
        const std::string_view name = names.bytes(position);
        const bool begins = names.encoding(position) == LineEncoding::Utf8 ? utf8NameBegins(name, lowered)
                                                                           : windows1252NameBegins(name, lowered);
        if (begins)
            positions.append(position);
    }
    return positions;
}

} // namespace sayvane
