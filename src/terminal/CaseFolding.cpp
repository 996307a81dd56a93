// SPDX-License-Identifier: MIT
#include "CaseFolding.h"

#include "Windows1252.h"

#include <QHash>

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

// For each lowered character, every character that lowers to it.
const QHash<char32_t, QList<char32_t>> &charactersLoweringTo()
{
    static const QHash<char32_t, QList<char32_t>> sources = [] {
        QHash<char32_t, QList<char32_t>> map;
        for (char32_t character = 0; character <= 0x10FFFF; ++character) {
            if (character >= 0xD800 && character <= 0xDFFF)
                continue;
            const char32_t lowered = QChar::toLower(character);
            if (lowered != character)
                map[lowered].append(character);
        }
        return map;
    }();
    return sources;
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
        QList<char32_t> cases{character};
        cases += charactersLoweringTo().value(character);
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
