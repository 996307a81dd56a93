// SPDX-License-Identifier: MIT
#include "FortuneEntries.h"

#include <QStringDecoder>

#include <algorithm>

namespace sayvane::fortunes {
namespace {

// White space inside a line becomes one space; none at either end.
QString tidied(QStringView line)
{
    return line.toString().simplified();
}

bool isControl(char32_t character)
{
    return character < 0x20 || (character >= 0x7F && character <= 0x9F) || character == 0x2028 ||
           character == 0x2029;
}

bool isIndented(QStringView line)
{
    return !line.isEmpty() && line.front().isSpace();
}

// The text after the dash of an attribution line, or a null string when
// the line is none: "-- Mark Twain", "— Seneca", but not "----" or "--".
QString attributionOf(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    QStringView rest;
    if (trimmed.startsWith(u"--"))
        rest = trimmed.sliced(2);
    else if (trimmed.startsWith(u'—'))
        rest = trimmed.sliced(1);
    else
        return {};
    rest = rest.trimmed();
    if (rest.isEmpty() || rest.front() == u'-')
        return {};
    return rest.toString();
}

FortuneEntry entryOf(const QList<QStringView> &lines)
{
    FortuneEntry entry;
    qsizetype textEnd = lines.size();
    // The last attribution line, followed only by its indented
    // continuation lines, with text before it.
    for (qsizetype i = lines.size() - 1; i > 0; --i) {
        const QString attribution = attributionOf(lines[i]);
        if (!attribution.isNull()) {
            QStringList parts{attribution};
            for (qsizetype j = i + 1; j < lines.size(); ++j)
                parts.append(tidied(lines[j]));
            entry.attribution = tidied(parts.join(u' '));
            textEnd = i;
            break;
        }
        if (!isIndented(lines[i]))
            break;
    }
    QStringList textLines;
    for (qsizetype i = 0; i < textEnd; ++i) {
        const QString line = tidied(lines[i]);
        if (!line.isEmpty())
            textLines.append(line);
    }
    entry.text = textLines.join(kLineSeparator);
    return entry;
}

} // namespace

QString tidiedName(QStringView name)
{
    QString text = name.toString();
    for (QChar &character : text) {
        if (isControl(character.unicode()))
            character = u' ';
    }
    return text.simplified();
}

QString decodeFortuneSource(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

FortuneFile parseFortunes(QStringView text)
{
    // The lines of each stretch between lines of "%".
    QList<QList<QStringView>> stretches(1);
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        start = end + 1;
        if (line.trimmed() == u"%")
            stretches.append(QList<QStringView>());
        else
            stretches.back().append(line);
    }
    const auto blank = [](const QList<QStringView> &lines) {
        return std::all_of(lines.begin(), lines.end(), [](QStringView line) { return line.trimmed().isEmpty(); });
    };
    // Nothing before the first "%" or after the last is no entry.
    if (blank(stretches.back()))
        stretches.removeLast();
    if (!stretches.isEmpty() && blank(stretches.front()))
        stretches.removeFirst();

    FortuneFile file;
    for (QList<QStringView> &lines : stretches) {
        while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
            lines.removeLast();
        while (!lines.isEmpty() && lines.front().trimmed().isEmpty())
            lines.removeFirst();
        FortuneEntry entry = lines.isEmpty() ? FortuneEntry() : entryOf(lines);
        if (entry.text.isEmpty())
            ++file.emptyEntries;
        else
            file.entries.append(std::move(entry));
    }
    return file;
}

} // namespace sayvane::fortunes
