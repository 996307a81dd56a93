// SPDX-License-Identifier: MIT
#include "CaseFolding.h"

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

QList<QString> caseVariantsOfStart(QStringView phrase, qsizetype most)
{
    const QList<char32_t> characters = charactersOf(foldedCase(phrase));
    QList<QList<char32_t>> choices;
    qsizetype count = 1;
    for (const char32_t character : characters) {
        QList<char32_t> cases{character};
        cases += charactersLoweringTo().value(character);
        if (!choices.isEmpty() && count * cases.size() > most)
            break;
        count *= cases.size();
        choices.append(cases);
    }
    QList<QString> variants{QString()};
    for (const QList<char32_t> &cases : choices) {
        QList<QString> longer;
        for (const QString &variant : variants) {
            for (const char32_t character : cases) {
                QString text = variant;
                appendCharacter(text, character);
                longer.append(text);
            }
        }
        variants = longer;
    }
    return variants;
}

} // namespace sayvane::terminal
