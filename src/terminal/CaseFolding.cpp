// SPDX-License-Identifier: MIT
#include "CaseFolding.h"

#include "Windows1252.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace sayvane::terminal {
namespace {

void appendCharacter(QString &text, char32_t character)
{
    if (QChar::requiresSurrogates(character)) {
        text.append(QChar(QChar::highSurrogate(character)));
        text.append(QChar(QChar::lowSurrogate(character)));
    } else {
        text.append(QChar(char16_t(character)));
    }
}

QList<char32_t> charactersOf(QStringView text)
{
    QList<char32_t> characters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            characters.append(QChar::surrogateToUcs4(text[i], text[i + 1]));
            ++i;
        } else {
            characters.append(text[i].unicode());
        }
    }
    return characters;
}

// Every character that lowers to another, with what it lowers to, in
// order of the lowered one. Unicode gives case only to characters of the
// first two planes (the last of them in Adlam, at U+1E921): the planes
// beyond, 17 times as many characters to ask about, would cost every
// caseless search milliseconds at its start.
const std::vector<std::pair<char32_t, char32_t>> &lowerings()
{
    static const std::vector<std::pair<char32_t, char32_t>> pairs = [] {
        std::vector<std::pair<char32_t, char32_t>> found; // (lowered, character)
        for (char32_t character = 0; character <= kLastCharacterWithCase; ++character) {
            if (character >= 0xD800 && character <= 0xDFFF)
                continue;
            const char32_t lowered = QChar::toLower(character);
            if (lowered != character)
                found.emplace_back(lowered, character);
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const auto &one, const auto &other) { return one.first < other.first; });
        return found;
    }();
    return pairs;
}

// The character and every character that lowers to it.
QList<char32_t> casesOf(char32_t lowered)
{
    QList<char32_t> cases{lowered};
    const auto &pairs = lowerings();
    auto at = std::lower_bound(pairs.begin(), pairs.end(), lowered,
                               [](const auto &pair, char32_t wanted) { return pair.first < wanted; });
    for (; at != pairs.end() && at->first == lowered; ++at)
        cases.append(at->second);
    return cases;
}

} // namespace

QString foldedCase(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    for (const char32_t character : charactersOf(text))
        appendCharacter(folded, QChar::toLower(character));
    return folded;
}

QList<char32_t> foldedCharacters(QStringView text)
{
    QList<char32_t> folded = charactersOf(text);
    for (char32_t &character : folded)
        character = QChar::toLower(character);
    return folded;
}

QList<MaskedBytes> caselessPatternsOfStart(const QList<char32_t> &folded, qsizetype most)
{
    QList<MaskedBytes> patterns{MaskedBytes{}};
    bool first = true;
    for (const char32_t character : folded) {
        // The spellings of every case, as UTF-8 and as Windows-1252, one
        // masked pattern for each length.
        const QList<char32_t> cases = casesOf(character);
        QList<MaskedBytes> byLength;
        const auto take = [&byLength](const QByteArray &spelling) {
            for (MaskedBytes &pattern : byLength) {
                if (pattern.bytes.size() != std::size_t(spelling.size()))
                    continue;
                for (std::size_t i = 0; i < pattern.bytes.size(); ++i) {
                    const auto differ = static_cast<unsigned char>(pattern.bytes[i] ^ spelling[qsizetype(i)]);
                    pattern.masks[i] = char(static_cast<unsigned char>(pattern.masks[i]) & ~differ);
                    pattern.bytes[i] = char(pattern.bytes[i] & pattern.masks[i]);
                }
                return;
            }
            byLength.append({spelling.toStdString(), std::string(std::size_t(spelling.size()), '\xFF')});
        };
        for (const char32_t spelt : cases) {
            QString text;
            appendCharacter(text, spelt);
            take(text.toUtf8());
            if (const std::optional<QByteArray> windows = encodeWindows1252(text))
                take(*windows);
        }
        if (!first && patterns.size() * byLength.size() > most)
            break;
        first = false;
        QList<MaskedBytes> longer;
        for (const MaskedBytes &pattern : patterns) {
            for (const MaskedBytes &spelling : byLength)
                longer.append({pattern.bytes + spelling.bytes, pattern.masks + spelling.masks});
        }
        patterns = longer;
    }
    return patterns;
}

bool foldsTo(std::string_view line, std::size_t at, LineEncoding encoding, const QList<char32_t> &folded)
{
    const auto *position = reinterpret_cast<const unsigned char *>(line.data()) + at;
    const auto *const end = reinterpret_cast<const unsigned char *>(line.data()) + line.size();
    // A byte within a UTF-8 character begins none.
    if (encoding == LineEncoding::Utf8 && at < line.size() && isContinuation(line[at]))
        return false;
    for (const char32_t wanted : folded) {
        if (position >= end)
            return false;
        char32_t character;
        if (encoding == LineEncoding::Utf8) {
            character = nextUtf8Character(position);
        } else {
            char16_t decoded;
            decodeWindows1252(std::string_view(reinterpret_cast<const char *>(position), 1), &decoded);
            character = decoded;
            ++position;
        }
        // A character already as the phrase holds it needs no lowering:
        // lowering a lowered character changes nothing.
        if (character != wanted && QChar::toLower(character) != wanted)
            return false;
    }
    return true;
}

} // namespace sayvane::terminal
