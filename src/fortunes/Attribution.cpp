// SPDX-License-Identifier: MIT
#include "Attribution.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace sayvane::fortunes {
namespace {

// What may follow a name after a comma and still belong to it.
bool isNameSuffix(QStringView part)
{
    static const QStringList kSuffixes{u"Jr."_s, u"Jr"_s,   u"Sr."_s,   u"Sr"_s,   u"II"_s,  u"III"_s,
                                       u"IV"_s,  u"Esq."_s, u"Ph.D."_s, u"M.D."_s, u"S.J."_s};
    return kSuffixes.contains(part.trimmed().toString());
}

// Without every part in parentheses or brackets, closed or not: a remark,
// a real name, a year, the book a character speaks in.
QString withoutRemarks(QStringView text)
{
    QString result;
    int depth = 0;
    for (const QChar character : text) {
        if (character == u'(' || character == u'[')
            ++depth;
        else if ((character == u')' || character == u']') && depth > 0)
            --depth;
        else if (depth == 0)
            result.append(character);
    }
    return result.simplified();
}

} // namespace

QString authorOf(QStringView attribution)
{
    QString text = attribution.trimmed().toString();
    if (text.compare(u"by", Qt::CaseInsensitive) == 0)
        return {};
    if (text.startsWith(u"by ", Qt::CaseInsensitive))
        text = text.sliced(3).trimmed();
    // A quote around the name and the title together: "Mark Twain, Title".
    if (text.startsWith(u'"')) {
        const qsizetype comma = text.indexOf(u',');
        const qsizetype closing = text.indexOf(u'"', 1);
        if (comma > 0 && (closing < 0 || comma < closing))
            text = text.sliced(1);
    }
    // A title alone names no author.
    if (text.startsWith(u'"'))
        return {};
    // A work's title in quotes after the name ends the name.
    const qsizetype title = text.indexOf(u'"');
    if (title > 0)
        text.truncate(title);
    const QStringList parts = text.split(u',');
    QString name = parts.front();
    // Nothing before the first comma, or only what follows a name (", Jr."),
    // is no name.
    if (name.trimmed().isEmpty() || isNameSuffix(name))
        return {};
    for (qsizetype i = 1; i < parts.size() && isNameSuffix(parts[i]); ++i)
        name += u',' + parts[i];
    name = withoutRemarks(name);
    // A full stop after a whole word ends the sentence, not an initial or
    // an abbreviation ("G.", "Jr.", "St.").
    if (name.endsWith(u'.')) {
        const qsizetype wordStart = name.lastIndexOf(u' ') + 1;
        const QStringView lastWord = QStringView(name).sliced(wordStart, name.size() - 1 - wordStart);
        if (lastWord.size() > 3 && !lastWord.contains(u'.'))
            name.chop(1);
    }
    while (name.endsWith(u',') || name.endsWith(u';') || name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

} // namespace sayvane::fortunes
