// SPDX-License-Identifier: MIT
#include "FortuneImport.h"

#include "Attribution.h"
#include "CollectionWriter.h"
#include "DataFileReader.h"
#include "FortuneEntries.h"

#include <QLocale>
#include <QSet>

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

// A heading and its lines, each line the UTF-8 bytes it is written as.
struct Section
{
    QString name;
    QList<QByteArray> lines;
};

// The bytes of sections in the order of their names, ignoring case.
QByteArray sectionsText(QList<Section> sections)
{
    std::stable_sort(sections.begin(), sections.end(), [](const Section &a, const Section &b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    QList<QByteArray> headings;
    qsizetype size = 0;
    for (const Section &section : sections) {
        headings.append("##" + section.name.toUtf8() + '\n');
        size += headings.back().size();
        for (const QByteArray &line : section.lines)
            size += line.size() + 1;
    }
    QByteArray text;
    text.reserve(size);
    for (qsizetype i = 0; i < sections.size(); ++i) {
        text.append(headings[i]);
        for (const QByteArray &line : sections[i].lines)
            text.append(line).append('\n');
    }
    return text;
}

// Subjects: one section for each name, as spelt.
class Subjects
{
public:
    void add(const QString &name, const QByteArray &line) { m_lines[name].append(line); }
    qsizetype size() const { return qsizetype(m_lines.size()); }
    QByteArray text() const
    {
        QList<Section> sections;
        for (const auto &[name, lines] : m_lines)
            sections.append({name, lines});
        return sectionsText(std::move(sections));
    }

private:
    std::map<QString, QList<QByteArray>> m_lines;
};

// Authors: names that differ only in case are one author, headed by the
// spelling most of their quotations carry (the first met of equal ones),
// and a quotation stands once under its author however often it came.
class Authors
{
public:
    // False when the author has the line already.
    bool add(const QString &name, const QByteArray &line)
    {
        Author &author = m_authors[name.toCaseFolded()];
        if (author.lineSet.contains(line))
            return false;
        author.lineSet.insert(line);
        author.lines.append(line);
        auto spelling = std::find_if(author.spellings.begin(), author.spellings.end(),
                                     [&name](const auto &counted) { return counted.first == name; });
        if (spelling == author.spellings.end())
            author.spellings.append({name, 1});
        else
            ++spelling->second;
        return true;
    }
    qsizetype size() const { return qsizetype(m_authors.size()); }
    QByteArray text() const
    {
        QList<Section> sections;
        for (const auto &[folded, author] : m_authors) {
            const auto most = std::max_element(author.spellings.begin(), author.spellings.end(),
                                               [](const auto &a, const auto &b) { return a.second < b.second; });
            sections.append({most->first, author.lines});
        }
        return sectionsText(std::move(sections));
    }

private:
    struct Author
    {
        QList<std::pair<QString, qsizetype>> spellings; // in the order met
        QList<QByteArray> lines;
        QSet<QByteArray> lineSet;
    };
    std::map<QString, Author> m_authors;
};

} // namespace

CollectionText collectionOf(const QList<SourceFile> &files, ImportReport &report, std::size_t maxLineBytes)
{
    Authors authors;
    Subjects subjects;
    for (const SourceFile &file : files) {
        report.sourceBytes += file.bytes.size();
        const FortuneFile parsed = parseFortunes(decodeFortuneSource(file.bytes));
        report.emptyEntries += parsed.emptyEntries;
        for (const FortuneEntry &entry : parsed.entries) {
            const QByteArray line = quotationLine(entry).toUtf8();
            // A line the reader would refuse would make the whole
            // collection unreadable.
            if (std::size_t(line.size()) > maxLineBytes) {
                ++report.tooLong;
                continue;
            }
            QString author = tidiedName(authorOf(entry.attribution));
            const bool unattributed = author.isEmpty();
            if (unattributed)
                author = QString::fromUtf16(kUnattributed);
            subjects.add(file.subject, line);
            if (!authors.add(author, line)) {
                ++report.duplicates;
                continue;
            }
            report.unattributed += unattributed ? 1 : 0;
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
    const auto contents = [](const QByteArray &bytes) {
        return [&bytes](PartSink &sink) -> std::optional<QString> {
            sink.write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            return std::nullopt;
        };
    };
    const std::optional<WriteFailure> failure =
        writeCollection(folder, {contents(text.authors), contents(text.subjects), replace});
    if (failure) {
        report.failure = failure->kind == WriteFailure::Kind::Exists
                             ? failure->message + QStringLiteral("; --force replaces it")
                             : failure->message;
    }
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
    text += QStringLiteral("%1 written once, having come again under the same author\n")
                .arg(count(report.duplicates, "quotation", "quotations"));
    if (report.tooLong > 0)
        text += QStringLiteral("%1 skipped as too long, over %2 bytes as a line\n")
                    .arg(count(report.tooLong, "entry", "entries"), english.toString(qulonglong(kMaxLineBytes)));
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
