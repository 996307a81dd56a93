// SPDX-License-Identifier: MIT
#include "CollectionCheck.h"

#include "DataFileReader.h"
#include "DataFiles.h"
#include "FileNames.h"
#include "LineText.h"
#include "Windows1252.h"

#include <QHashFunctions>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <cstring>
#include <vector>

namespace sayvane::keeping {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QString counted(qint64 number, const char *one, const char *many)
{
    return kEnglish.toString(number) + u' ' + QLatin1String(number == 1 ? one : many);
}

// A name's text as UTF-8, the one form of both its spellings: two headings
// name the same section exactly when these bytes are equal.
QByteArray textBytesOf(std::string_view name)
{
    if (std::all_of(name.begin(), name.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; }) ||
        encodingOf(name) == LineEncoding::Utf8)
        return QByteArray(name.data(), qsizetype(name.size()));
    return decodeWindows1252(name).toUtf8();
}

bool holdsMoreThanSpaces(std::string_view line)
{
    return line.find_first_not_of(' ') != std::string_view::npos;
}

// The line of the first heading of each name, kept by a 64-bit hash of
// the name rather than the name itself, so that a million names take 32
// MB; two names of one hash, about one chance in 10^13 among a million,
// would make a later section of a name that is not there.
class FirstHeadings
{
public:
    std::optional<qint64> find(quint64 key) const
    {
        if (m_slots.empty())
            return std::nullopt;
        for (std::size_t at = slotOf(key);; at = (at + 1) & (m_slots.size() - 1)) {
            if (m_slots[at].key == 0)
                return std::nullopt;
            if (m_slots[at].key == key)
                return m_slots[at].line;
        }
    }
    void insert(quint64 key, qint64 line)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        std::size_t at = slotOf(key);
        while (m_slots[at].key != 0)
            at = (at + 1) & (m_slots.size() - 1);
        m_slots[at] = {key, line};
        ++m_count;
    }

private:
    struct Slot
    {
        quint64 key = 0; // 0: empty
        qint64 line = 0;
    };
    std::size_t slotOf(quint64 key) const { return std::size_t(key) & (m_slots.size() - 1); }
    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(1024, m_slots.size() * 2));
        old.swap(m_slots);
        m_count = 0;
        for (const Slot &slot : old) {
            if (slot.key != 0)
                insert(slot.key, slot.line);
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

quint64 keyOf(const QByteArray &text)
{
    const quint64 key = qHashBits(text.constData(), std::size_t(text.size()), 0x5a17a9e5u);
    return key == 0 ? 1 : key;
}

class FileCheck
{
public:
    FileCheck(QString path, const FindingSink &sink)
        : m_path(std::move(path))
        , m_sink(sink)
    {
    }

    qint64 findings() const { return m_count; }

    std::optional<QString> run()
    {
        const std::optional<ReadFailure> failure =
            forEachBlock(m_path, ReadSettings{.readAhead = true}, [this](std::string_view lines, auto terminator) {
                if constexpr (decltype(terminator)::kEndByte == '\r')
                    findGluedHeadings(lines);
                const char *position = lines.data();
                const char *end = position + lines.size();
                for (;;) {
                    const auto heading = terminator.nextHeadingLine(position, end);
                    lookAtLines(position, heading ? heading->line.data() : end, terminator);
                    if (!heading)
                        break;
                    lookAtHeading(heading->line);
                    position = heading->next;
                }
                passOn();
                return true;
            });
        closeSection();
        if (failure && failure->reason == lineTooLongReason(kMaxLineBytes))
            add(m_line, QStringLiteral("a line is longer than %1 bytes, the most a line may be: the window "
                                       "cannot open the collection")
                            .arg(kEnglish.toString(qulonglong(kMaxLineBytes))));
        passOn();
        if (!failure || failure->reason == lineTooLongReason(kMaxLineBytes))
            return std::nullopt;
        return failure->reason;
    }

private:
    void add(qint64 line, const QString &what) { m_pending.append({m_path, line, what}); }

    // Hands on, in the order of their lines, the findings that are
    // complete: all but one of a hidden section still being read, and
    // those after it.
    void passOn()
    {
        std::stable_sort(m_pending.begin(), m_pending.end(),
                         [](const Finding &a, const Finding &b) { return a.line < b.line; });
        const qint64 openLine = m_hidden ? m_hidden->line : std::numeric_limits<qint64>::max();
        qsizetype passed = 0;
        while (passed < m_pending.size() && m_pending[passed].line < openLine) {
            m_sink(m_pending[passed]);
            ++passed;
        }
        m_pending.remove(0, passed);
        m_count += passed;
    }

    // The lines between two headings: counted, and where they are hidden
    // or stand before the first heading, their quotations too.
    template <typename Terminator> void lookAtLines(const char *from, const char *to, Terminator terminator)
    {
        if (from == to)
            return;
        if (!m_hidden && m_seenHeading) {
            m_line += std::count(from, to, Terminator::kEndByte);
            return;
        }
        for (const char *at = from; at < to;) {
            const LineSpan span = terminator.lineAt(at, to);
            if (holdsMoreThanSpaces(span.line)) {
                if (!m_seenHeading && m_beforeFirst++ == 0)
                    m_firstBeforeFirst = m_line;
                else if (m_seenHeading)
                    ++m_hiddenQuotations;
            }
            at = span.next;
            ++m_line;
        }
    }

    void lookAtHeading(std::string_view line)
    {
        if (!m_seenHeading) {
            m_seenHeading = true;
            if (m_beforeFirst > 0)
                add(m_firstBeforeFirst, QStringLiteral("%1 before the first heading %2 under no name: "
                                                       "only Search finds them")
                                            .arg(counted(m_beforeFirst, "quotation", "quotations"),
                                                 QLatin1String(m_beforeFirst == 1 ? "stands" : "stand")));
        }
        const std::string_view name = HeadingName(line);
        const QByteArray text = textBytesOf(name);
        if (!holdsMoreThanSpaces(name)) {
            add(m_line, QStringLiteral("a heading without a name: its quotations stand under an empty row"));
        } else if (name.front() == ' ') {
            add(m_line, QStringLiteral("the name \"%1\" begins with a space: typing its first letters in the "
                                       "filter never finds it")
                            .arg(QString::fromUtf8(text)));
        } else if (name.back() == ' ') {
            add(m_line, QStringLiteral("the name \"%1\" ends with a space: a name typed without it (as --add "
                                       "and --random take one) is another name")
                            .arg(QString::fromUtf8(text)));
        }
        if (!m_sectionBegun || text != m_sectionName) {
            closeSection();
            m_sectionBegun = true;
            m_sectionName = text;
            const quint64 key = keyOf(text);
            if (const std::optional<qint64> first = m_firstHeadings.find(key)) {
                m_hidden = Finding{m_path, m_line,
                                   QStringLiteral("later section of \"%1\" (first at line %2)")
                                       .arg(QString::fromUtf8(text), kEnglish.toString(*first))};
                m_hiddenQuotations = 0;
            } else {
                m_firstHeadings.insert(key, m_line);
            }
        }
        ++m_line;
    }

    // Completes the finding of a hidden section with its count.
    void closeSection()
    {
        if (!m_hidden)
            return;
        Finding &finding = *m_hidden;
        finding.what = QStringLiteral("a %1: the window shows only the first section of a name, so %2 here %3 "
                                      "never shown; move %4 under the first")
                           .arg(finding.what, counted(m_hiddenQuotations, "quotation", "quotations"),
                                QLatin1String(m_hiddenQuotations == 1 ? "is" : "are"),
                                QLatin1String(m_hiddenQuotations == 1 ? "it" : "them"));
        m_pending.append(std::move(finding));
        m_hidden.reset();
    }

    // In a classic file a lone LF is a character, so "##" after one is no
    // heading: the mark of text appended with `echo >>`.
    void findGluedHeadings(std::string_view lines)
    {
        qint64 line = m_line;
        std::size_t counted = 0;
        for (std::size_t at = lines.find("\n##"); at != std::string_view::npos; at = lines.find("\n##", at + 1)) {
            if (at > 0 && lines[at - 1] == '\r')
                continue;
            line += std::count(lines.data() + counted, lines.data() + at, '\r');
            counted = at;
            add(line, QStringLiteral("a heading glued to the line before it by a lone LF, as `echo >>` leaves "
                                     "it in a file of CR LF line ends: it reads as part of that line, so its "
                                     "name and quotations are not shown as such"));
        }
    }

    QString m_path;
    const FindingSink &m_sink;
    QList<Finding> m_pending; // found, not yet handed on
    qint64 m_count = 0;
    qint64 m_line = 1; // of the next line looked at
    bool m_seenHeading = false;
    qint64 m_beforeFirst = 0, m_firstBeforeFirst = 0;
    bool m_sectionBegun = false;
    QByteArray m_sectionName;
    FirstHeadings m_firstHeadings;
    std::optional<Finding> m_hidden; // that of the hidden section being read, its count to come
    qint64 m_hiddenQuotations = 0;
};

} // namespace

CheckResult checkCollection(const QString &folder, const FindingSink &sink)
{
    CheckResult result;
    for (const QString &path : {authorsFilePath(folder), subjectsFilePath(folder)}) {
        FileCheck check(path, sink);
        const std::optional<QString> failure = check.run();
        result.findings += check.findings();
        if (failure) {
            result.failure = readableFileName(path) + QStringLiteral(": ") + *failure;
            return result;
        }
    }
    return result;
}

QString findingLine(const Finding &finding)
{
    return QStringLiteral("%1:%2: %3\n").arg(readableFileName(finding.path)).arg(finding.line).arg(finding.what);
}

QString checkSummary(const CheckResult &result)
{
    if (result.findings == 0)
        return QStringLiteral("No findings: every quotation of authors.txt and subjects.txt can be shown.\n");
    return QStringLiteral("%1 in authors.txt and subjects.txt.\n")
        .arg(counted(result.findings, "finding", "findings"));
}

} // namespace sayvane::keeping
