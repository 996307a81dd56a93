// SPDX-License-Identifier: MIT
#include "AddQuotation.h"

#include "CollectionWriter.h"
#include "DataFileReader.h"
#include "DataFiles.h"
#include "FileNames.h"
#include "LineRules.h"
#include "LineText.h"
#include "Windows1252.h"

#include <QLocale>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace sayvane::keeping {
namespace {

bool holdsLineEnd(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar character) {
        return character == u'\r' || character == u'\n' || character == QChar(0x2028) || character == QChar(0x2029);
    });
}

std::string_view viewOf(const QByteArray &bytes)
{
    return {bytes.constData(), std::size_t(bytes.size())};
}

// The bytes of a new line in a file of these line ends: in an LF file
// UTF-8; in a classic file Windows-1252 where every character has a byte
// there and those bytes do not read as UTF-8, else UTF-8. Either way the
// line reads back as the text.
QByteArray lineBytes(QStringView text, LineEnds ends)
{
    if (ends == LineEnds::Classic) {
        const std::optional<QByteArray> windows = encodeWindows1252(text);
        if (windows && readingOf(viewOf(*windows)).encoding == LineEncoding::Windows1252)
            return *windows;
    }
    return text.toUtf8();
}

qint64 lineEndsIn(std::string_view bytes, LineEnds ends)
{
    // A classic line ends at CR LF or a lone CR: one CR a line end.
    return std::count(bytes.begin(), bytes.end(), ends == LineEnds::Lf ? '\n' : '\r');
}

// The new contents of one file: its bytes as they were, with the quotation
// (and, where the name has no heading, a heading) put in.
class Insertion
{
public:
    Insertion(QString path, QString file, QString name, QString text)
        : m_path(std::move(path))
        , m_name(std::move(name))
        , m_text(std::move(text))
    {
        m_added.file = std::move(file);
        m_added.name = m_name;
    }

    const AddedLine &added() const { return m_added; }

    std::optional<QString> operator()(PartSink &sink)
    {
        struct stat status;
        if (statPath(m_path, &status) != 0 && errno == ENOENT)
            return writeNew(sink);
        DataFileReader reader(ReadSettings{.readAhead = true});
        if (!reader.open(m_path))
            return reader.errorString();
        const QList<Spelling> spellings = spellingsOf(m_name);
        const auto headsSection = [&spellings](std::string_view headingLine) {
            const std::string_view name = HeadingName(headingLine);
            return std::any_of(spellings.begin(), spellings.end(), [name](const Spelling &spelling) {
                return name == spelling.bytes && encodingFits(name, spelling);
            });
        };
        bool inSection = false;
        bool inserted = false;
        bool begun = false; // the first block is copied, after its byte-order mark
        qint64 lineEnds = 0;
        char last = 0, beforeLast = 0; // the file's last two bytes
        while (!reader.atEnd()) {
            const std::string_view block = reader.readLines();
            if (block.empty())
                continue;
            if (!begun) {
                if (reader.hadByteOrderMark())
                    sink.write("\xEF\xBB\xBF");
                begun = true;
            }
            beforeLast = block.size() > 1 ? block[block.size() - 2] : last;
            last = block.back();
            if (inserted) {
                sink.write(block);
                continue;
            }
            // Where the section of the name ends in this block: at the first
            // heading of another name once it has begun.
            const LineEnds ends = reader.lineEnds();
            const char *insertAt = withTerminator(ends, [&](auto terminator) -> const char * {
                const char *end = block.data() + block.size();
                for (auto heading = terminator.nextHeadingLine(block.data(), end); heading;
                     heading = terminator.nextHeadingLine(heading->next, end)) {
                    const bool heads = headsSection(heading->line);
                    if (inSection && !heads)
                        return heading->line.data();
                    inSection = inSection || heads;
                }
                return nullptr;
            });
            if (!insertAt) {
                lineEnds += lineEndsIn(block, ends);
                sink.write(block);
                continue;
            }
            const std::string_view before(block.data(), std::size_t(insertAt - block.data()));
            lineEnds += lineEndsIn(before, ends);
            sink.write(before);
            writeLines(sink, ends, lineEnds, false);
            sink.write(block.substr(before.size()));
            inserted = true;
        }
        if (reader.failed())
            return reader.errorString();
        if (inserted)
            return std::nullopt;
        // At the end of the file: the section ran to it, or there is none.
        if (!reader.lineEndsKnown() && !begun && reader.hadByteOrderMark())
            sink.write("\xEF\xBB\xBF");
        // A file without a line end has its first one now: CR LF after a
        // byte-order mark, as the editors that write one do, else LF.
        const LineEnds ends = reader.lineEndsKnown() ? reader.lineEnds()
                              : reader.hadByteOrderMark() ? LineEnds::Classic
                                                          : LineEnds::Lf;
        // A last line without its line end gets one first. (In a classic
        // file a lone LF is a character, so a last LF ends nothing.)
        const bool ended = ends == LineEnds::Lf ? last == '\n' : last == '\r' || (last == '\n' && beforeLast == '\r');
        if (begun && !ended) {
            sink.write(terminatorOf(ends));
            ++lineEnds;
        }
        writeLines(sink, ends, lineEnds, !inSection);
        return std::nullopt;
    }

private:
    static std::string_view terminatorOf(LineEnds ends) { return ends == LineEnds::Lf ? "\n" : "\r\n"; }

    std::optional<QString> writeNew(PartSink &sink)
    {
        writeLines(sink, LineEnds::Lf, 0, true);
        return std::nullopt;
    }

    // The quotation, after a heading where `withHeading`, each line with
    // its line end; `lineEnds` counts the lines before them.
    void writeLines(PartSink &sink, LineEnds ends, qint64 lineEnds, bool withHeading)
    {
        const std::string_view terminator = terminatorOf(ends);
        if (withHeading) {
            sink.write("##");
            sink.write(viewOf(lineBytes(m_name, ends)));
            sink.write(terminator);
            ++lineEnds;
        }
        sink.write(viewOf(lineBytes(m_text, ends)));
        sink.write(terminator);
        m_added.line = lineEnds + 1;
        m_added.newHeading = withHeading;
    }

    QString m_path;
    QString m_name;
    QString m_text;
    AddedLine m_added;
};

// The text as a line of a data file: trimmed of spaces, and kept from
// reading as a heading by a zero-width space before its marks.
QString quotationLine(const QString &text)
{
    QString line = trimSpaces(text).toString();
    if (line.startsWith(u"##"))
        line.prepend(QChar(0x200B));
    return line;
}

FileContents contentsOf(Insertion *insertion)
{
    return [insertion](PartSink &sink) { return (*insertion)(sink); };
}

FileContents emptyIfMissing(const QString &path)
{
    return [path](PartSink &) -> std::optional<QString> {
        struct stat status;
        if (statPath(path, &status) == 0)
            return QStringLiteral("exists");
        return std::nullopt;
    };
}

} // namespace

std::optional<QString> refusalOf(const AddRequest &request)
{
    const auto check = [](const QString &text, const QString &what) -> std::optional<QString> {
        if (trimSpaces(text).isEmpty())
            return QStringLiteral("%1 is empty").arg(what);
        if (holdsLineEnd(text))
            return QStringLiteral("%1 holds a line end (CR, LF, U+2028 or U+2029); it must be one line").arg(what);
        return std::nullopt;
    };
    if (auto refused = check(request.text, QStringLiteral("the quotation")))
        return refused;
    if (request.author) {
        if (auto refused = check(*request.author, QStringLiteral("the author's name")))
            return refused;
    }
    if (request.subject) {
        if (auto refused = check(*request.subject, QStringLiteral("the subject's name")))
            return refused;
    }
    if (!request.author && !request.subject)
        return QStringLiteral("--add needs --author NAME, --subject NAME or both");
    return std::nullopt;
}

AddResult addQuotation(const QString &folder, const AddRequest &request)
{
    const QString line = quotationLine(request.text);
    const QString authorsPath = authorsFilePath(folder), subjectsPath = subjectsFilePath(folder);
    std::optional<Insertion> authors, subjects;
    CollectionWrite write;
    write.replace = true;
    if (request.author) {
        authors.emplace(authorsPath, QStringLiteral("authors.txt"), trimSpaces(*request.author).toString(), line);
        write.authors = contentsOf(&*authors);
    }
    if (request.subject) {
        subjects.emplace(subjectsPath, QStringLiteral("subjects.txt"), trimSpaces(*request.subject).toString(),
                         line);
        write.subjects = contentsOf(&*subjects);
    }
    // The other file, where it is missing, is made empty, so that the
    // window can open the collection.
    struct stat status;
    if (!request.author && statPath(authorsPath, &status) != 0 && errno == ENOENT)
        write.authors = emptyIfMissing(authorsPath);
    if (!request.subject && statPath(subjectsPath, &status) != 0 && errno == ENOENT)
        write.subjects = emptyIfMissing(subjectsPath);

    AddResult result;
    if (const std::optional<WriteFailure> failure = writeCollection(folder, write)) {
        result.failure = failure->message;
        return result;
    }
    if (authors)
        result.added.append(authors->added());
    if (subjects)
        result.added.append(subjects->added());
    return result;
}

QString addedText(const AddResult &result)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QStringList parts;
    for (const AddedLine &added : result.added) {
        parts.append(QStringLiteral("to %1 under %2\"%3\" (line %4)")
                         .arg(added.file, added.newHeading ? QStringLiteral("the new heading ") : QString(),
                              added.name, english.toString(added.line)));
    }
    return QStringLiteral("Added ") + parts.join(QStringLiteral(" and ")) + u'\n';
}

} // namespace sayvane::keeping
