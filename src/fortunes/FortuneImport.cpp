// SPDX-License-Identifier: MIT
#include "FortuneImport.h"

#include "Attribution.h"
#include "CollectionWriter.h"
#include "FortuneEntries.h"

#include <QLocale>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace sayvane::fortunes {
namespace {

// A quotation line: the entry's text, then its whole attribution after a
// dash, so that the work and the date an attribution names stay with it.
QString quotationLine(const FortuneEntry &entry)
{
    QString line = entry.attribution.isEmpty() ? entry.text : entry.text + u" — "_s + entry.attribution;
    // A line beginning with "##" would read as a heading; a zero-width
    // space before it keeps it a quotation and shows nothing.
    if (line.startsWith(u"##"))
        line.prepend(QChar(0x200B));
    return line;
}

// Sections in the order of their names, ignoring case, each name once.
class Sections
{
public:
    void add(const QString &name, const QString &line) { m_sections[name].append(line); }
    qsizetype size() const { return qsizetype(m_sections.size()); }

    QByteArray text() const
    {
        std::vector<const std::pair<const QString, QStringList> *> sorted;
        for (const auto &section : m_sections)
            sorted.push_back(&section);
        std::stable_sort(sorted.begin(), sorted.end(), [](const auto *a, const auto *b) {
            return QString::compare(a->first, b->first, Qt::CaseInsensitive) < 0;
        });
        QString text;
        for (const auto *section : sorted) {
            text += u"##"_s + section->first + u'\n';
            for (const QString &line : section->second)
                text += line + u'\n';
        }
        return text.toUtf8();
    }

private:
    std::map<QString, QStringList> m_sections;
};

} // namespace

CollectionText collectionOf(const QList<SourceFile> &files, ImportReport &report)
{
    Sections authors, subjects;
    for (const SourceFile &file : files) {
        report.sourceBytes += file.bytes.size();
        const FortuneFile parsed = parseFortunes(decodeFortuneSource(file.bytes));
        report.emptyEntries += parsed.emptyEntries;
        for (const FortuneEntry &entry : parsed.entries) {
            const QString line = quotationLine(entry);
            QString author = authorOf(entry.attribution);
            if (author.isEmpty()) {
                author = QString::fromUtf16(kUnattributed);
                ++report.unattributed;
            }
            authors.add(author, line);
            subjects.add(file.subject, line);
            ++report.quotations;
        }
    }
    report.authors = authors.size();
    report.subjects = subjects.size();
    return {authors.text(), subjects.text()};
}

ImportReport importFortunes(const QString &folder, const QStringList &sourceNames, bool replace)
{
    ImportReport report;
    Sources sources = readSources(sourceNames);
    report.passedOver = sources.passedOver;
    if (sources.failure) {
        report.failure = sources.failure;
        return report;
    }
    const CollectionText text = collectionOf(sources.files, report);
    report.failure = writeCollection(folder, text.authors, text.subjects, replace);
    return report;
}

QString reportText(const ImportReport &report, const QString &folder)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const auto count = [&english](qsizetype number, const char *one, const char *many) {
        return english.toString(number) + u' ' + QString::fromLatin1(number == 1 ? one : many);
    };
    QString text =
        QStringLiteral("Imported %1 by %2 under %3 into %4\n")
            .arg(count(report.quotations, "quotation", "quotations"), count(report.authors, "author", "authors"),
                 count(report.subjects, "subject", "subjects"), folder);
    text += QStringLiteral("%1 without an attribution, under the author \"%2\"\n")
                .arg(count(report.unattributed, "entry", "entries"), QString::fromUtf16(kUnattributed));
    text += QStringLiteral("%1 skipped, holding nothing but white space\n")
                .arg(count(report.emptyEntries, "entry", "entries"));
    // What was passed over, by kind; the paths where there are few.
    const std::pair<PassedOver::Why, const char *> kinds[] = {
        {PassedOver::Why::IndexFile, "index files (.dat)"},
        {PassedOver::Why::ReachedAgain, "files reached again under another name"},
        {PassedOver::Why::NotText, "files that are not text"},
        {PassedOver::Why::NotRegular, "entries that are not regular files"},
    };
    for (const auto &[why, what] : kinds) {
        QStringList paths;
        for (const PassedOver &file : report.passedOver) {
            if (file.why == why)
                paths.append(file.path);
        }
        if (paths.isEmpty())
            continue;
        text += QStringLiteral("Not imported: %1 %2").arg(english.toString(paths.size()), QLatin1String(what));
        text += paths.size() <= 3 ? QStringLiteral(": ") + paths.join(QStringLiteral(", ")) + u'\n' : u"\n"_s;
    }
    return text;
}

} // namespace sayvane::fortunes
