// SPDX-License-Identifier: MIT
#include "CollectionCheck.h"

#include "ByteSearch.h"
#include "DataFileReader.h"
#include "FileParts.h"
#include "DataFiles.h"
#include "FileNames.h"
#include "LargePages.h"
#include "LineScan.h"
#include "LineText.h"
#include "Windows1252.h"

#include <QHashFunctions>
#include <QStringBuilder>

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <limits>
#include <memory>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace sayvane::keeping {
namespace {

// The number with a comma between groups of three digits, as English
// writes it ("1,204"): asked for every finding, so without a locale.
void appendGrouped(QByteArray &text, qint64 number)
{
    char digits[32];
    char *at = std::end(digits);
    quint64 rest = number < 0 ? 0 - quint64(number) : quint64(number);
    for (int count = 0; count == 0 || rest > 0; ++count, rest /= 10) {
        if (count > 0 && count % 3 == 0)
            *--at = ',';
        *--at = char('0' + rest % 10);
    }
    if (number < 0)
        *--at = '-';
    text.append(at, std::end(digits) - at);
}

QByteArray grouped(qint64 number)
{
    QByteArray text;
    appendGrouped(text, number);
    return text;
}

void appendCounted(QByteArray &text, qint64 number, const char *one, const char *many)
{
    appendGrouped(text, number);
    text += ' ';
    text += number == 1 ? one : many;
}

QByteArray counted(qint64 number, const char *one, const char *many)
{
    QByteArray text;
    appendCounted(text, number, one, many);
    return text;
}

// Appends a name's text as UTF-8, the one form of both its spellings: two
// headings name the same section exactly when these bytes are equal.
void appendTextBytes(std::string &out, std::string_view name)
{
    if (encodingOf(name) == LineEncoding::Utf8)
        out += name;
    else
        appendWindows1252AsUtf8(out, name);
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
    // Asks for the slot of a key to be brought into the cache while other
    // work goes on: in a table of a million names, nearly every lookup
    // would otherwise wait for memory.
    void prefetch(quint64 key) const
    {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[slotOf(key)]);
    }
    void insert(quint64 key, qint64 line)
    {
        if ((m_count + 1) * 4 > m_slots.size() * 3)
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
        // A table in large pages fills them whole, rather than taking a
        // fresh one at the next doubling.
        std::size_t size = std::max<std::size_t>(1024, m_slots.size() * 2);
        if (size * sizeof(Slot) >= kLargePagesFrom)
            size = std::max(size, kLargePage / sizeof(Slot));
        std::vector<Slot, LargePageAllocator<Slot>> old(size);
        old.swap(m_slots);
        m_count = 0;
        for (const Slot &slot : old) {
            if (slot.key != 0)
                insert(slot.key, slot.line);
        }
    }

    std::vector<Slot, LargePageAllocator<Slot>> m_slots;
    std::size_t m_count = 0;
};

quint64 keyOf(std::string_view text)
{
    const quint64 key = qHashBits(text.data(), text.size(), 0x5a17a9e5u);
    return key == 0 ? 1 : key;
}

// The lines between two headings (or before a part's first heading, or
// after its last): how many, how many hold a quotation (more than
// spaces), and where the first of those stands in the part.
struct LineRun
{
    qint64 lines = 0;
    qint64 quotations = 0;
    qint64 firstQuotation = -1; // line in the part; -1: none
};

struct ScannedHeading
{
    qint64 line = 0; // in the part, the first being 0
    std::size_t textAt = 0, textSize = 0; // the name as UTF-8, in the scan's names
    quint64 key = 0; // of the text
    enum class Spaces { None, Empty, Leading, Trailing } spaces = Spaces::None;
    LineRun after;
};

// What one part of a file holds, found on the part's own thread: all that
// does not depend on the parts before it.
struct PartScan
{
    qint64 lines = 0;
    LineRun prelude; // before the part's first heading
    std::vector<ScannedHeading, LargePageAllocator<ScannedHeading>> headings;
    std::string names; // the text of every heading's name, one after another
    std::vector<qint64> gluedHeadings; // lines in the part
    std::optional<ReadFailure> failure;

    QByteArray textOf(const ScannedHeading &heading) const
    {
        return QByteArray(names.data() + heading.textAt, qsizetype(heading.textSize));
    }

    // Empty again, its memory kept for the next part: fresh memory costs
    // more than the scan fills it with.
    void clear()
    {
        lines = 0;
        prelude = {};
        headings.clear();
        names.clear();
        gluedHeadings.clear();
        failure.reset();
    }
};

void scanHeading(std::string_view line, qint64 at, PartScan &scan)
{
    ScannedHeading heading;
    heading.line = at;
    const std::string_view name = HeadingName(line);
    // The names of a part in one buffer: a buffer each would take as
    // much time to allocate and free as the rest of the heading's scan.
    heading.textAt = scan.names.size();
    appendTextBytes(scan.names, name);
    heading.textSize = scan.names.size() - heading.textAt;
    heading.key = keyOf(std::string_view(scan.names).substr(heading.textAt));
    if (!holdsMoreThanSpaces(name))
        heading.spaces = ScannedHeading::Spaces::Empty;
    else if (name.front() == ' ')
        heading.spaces = ScannedHeading::Spaces::Leading;
    else if (name.back() == ' ')
        heading.spaces = ScannedHeading::Spaces::Trailing;
    scan.headings.push_back(std::move(heading));
}

// In a classic file a lone LF is a character, so "##" after one is no
// heading: the mark of text appended with `echo >>`.
void findGluedHeadings(std::string_view lines, qint64 firstLine, PartScan &scan)
{
    // Every line of a classic file that ends with CR LF holds a LF: the
    // search goes by the rare marks, not from one LF to the next.
    static const PhraseFinder kGlue("\n##");
    qint64 line = firstLine;
    const char *counted = lines.data();
    const char *const end = lines.data() + lines.size();
    for (const char *at = kGlue.find(counted, end); at; at = kGlue.find(at + 1, end)) {
        if (at > lines.data() && at[-1] == '\r')
            continue;
        line += std::count(counted, at, '\r');
        counted = at;
        scan.gluedHeadings.push_back(line);
    }
}

// The lines of one block, by the census: every line is a quotation but
// headings and those that hold spaces only, and all of those begin with a
// space, a mark or a line end, so only the block's first line and those
// the census finds odd need a look.
template <typename Terminator>
void scanBlock(std::string_view lines, Terminator terminator, LineCensus &census, PartScan &scan)
{
    constexpr LineEnds kEnds = Terminator::kEndByte == '\n' ? LineEnds::Lf : LineEnds::Classic;
    takeCensus(lines, kEnds, census);
    // The census tells the rare block that holds a lone LF at all.
    if (census.loneLineFeeds)
        findGluedHeadings(lines, scan.lines, scan);
    const char *const end = lines.data() + lines.size();
    const qint64 base = scan.lines; // the block's first line, in the part
    qint64 next = 0;                // the first line of the block not yet taken
    const auto run = [&scan]() -> LineRun & { return scan.headings.empty() ? scan.prelude : scan.headings.back().after; };
    const auto runStart = [&scan] { return scan.headings.empty() ? 0 : scan.headings.back().line + 1; };
    // Lines [next, upTo) of the block, each a quotation.
    const auto takeQuotations = [&](qint64 upTo) {
        if (upTo <= next)
            return;
        LineRun &current = run();
        if (current.firstQuotation < 0)
            current.firstQuotation = base + next - runStart();
        current.lines += upTo - next;
        current.quotations += upTo - next;
        next = upTo;
    };
    const auto takeLine = [&](qint64 index, const char *start) {
        takeQuotations(index);
        const std::string_view line = terminator.lineAt(start, end).line;
        if (IsHeadingLine(line)) {
            scanHeading(line, base + index, scan);
        } else {
            LineRun &current = run();
            if (holdsMoreThanSpaces(line)) {
                if (current.firstQuotation < 0)
                    current.firstQuotation = base + index - runStart();
                ++current.quotations;
            }
            ++current.lines;
        }
        next = index + 1;
    };
    if (lines.empty())
        return;
    takeLine(0, lines.data());
    for (const OddLine &odd : census.odd)
        takeLine(odd.index, odd.start);
    takeQuotations(census.lines);
    scan.lines += census.lines;
}

void scanPart(DataFileReader &reader, const QString &path, PartScan &scan)
{
    LineCensus census;
    scan.failure = forEachBlockOf(reader, path, [&](std::string_view lines, auto terminator) {
        scanBlock(lines, terminator, census, scan);
        return true;
    });
}

// Puts the parts' scans together, in the order of the parts: the first
// heading of each name, the sections hidden behind it and their
// quotations, and the findings in the order of their lines.
class FileCheck
{
public:
    FileCheck(QString path, const FindingSink &sink)
        : m_path(std::move(path))
        , m_sink(sink)
    {
    }

    qint64 findings() const { return m_count; }
    bool ended() const { return m_ended; }

    // Takes the next part's scan; the failure of the file, if it ends it.
    std::optional<QString> take(const PartScan &scan)
    {
        for (const qint64 line : scan.gluedHeadings)
            add(m_line + line, QByteArrayLiteral("a heading glued to the line before it by a lone LF, as `echo >>` "
                                                 "leaves it in a file of CR LF line ends: it reads as part of that "
                                                 "line, so its name and quotations are not shown as such"));
        takeRun(scan.prelude, m_line);
        constexpr std::size_t kPrefetchAhead = 8;
        for (std::size_t i = 0; i < std::min(kPrefetchAhead, scan.headings.size()); ++i)
            m_firstHeadings.prefetch(scan.headings[i].key);
        for (std::size_t i = 0; i < scan.headings.size(); ++i) {
            const ScannedHeading &heading = scan.headings[i];
            if (i + kPrefetchAhead < scan.headings.size())
                m_firstHeadings.prefetch(scan.headings[i + kPrefetchAhead].key);
            takeHeading(scan, heading, m_line + heading.line);
            takeRun(heading.after, m_line + heading.line + 1);
            // A few findings at a time, so that their memory is used again
            // rather than fresh memory taken for all of a part's.
            if (m_pending.size() >= kPassOnAtOnce)
                passOn(m_line + heading.line);
        }
        m_line += scan.lines;
        passOn();
        if (!scan.failure)
            return std::nullopt;
        m_ended = true;
        const bool tooLong = scan.failure->reason == lineTooLongReason(kMaxLineBytes);
        if (tooLong)
            add(m_line, "a line is longer than " % grouped(qint64(kMaxLineBytes)) %
                            " bytes, the most a line may be: the window cannot open the collection");
        finish();
        return tooLong ? std::nullopt : std::optional<QString>(scan.failure->reason);
    }

    // After the last part: the section being read is complete.
    void finish()
    {
        if (!m_seenHeading)
            takeQuotationsUnderNoName("in a file without a heading");
        closeSection();
        passOn();
    }

private:
    static constexpr qsizetype kPassOnAtOnce = 256;

    void add(qint64 line, QByteArray what) { m_pending.append({m_path, line, std::move(what)}); }

    // Hands on, in the order of their lines, the findings that are
    // complete and before the given line: all but one of a hidden section
    // still being read, or of the quotations before the first heading, and
    // those after it.
    void passOn(qint64 before = std::numeric_limits<qint64>::max())
    {
        // Mostly in order already; a sort would take a buffer as large as
        // the findings, fresh memory every time.
        const auto byLine = [](const Finding &a, const Finding &b) { return a.line < b.line; };
        if (!std::is_sorted(m_pending.begin(), m_pending.end(), byLine))
            std::stable_sort(m_pending.begin(), m_pending.end(), byLine);
        qint64 openLine = m_hidden ? std::min(m_hidden->line, before) : before;
        if (m_beforeFirst > 0 && !m_noNameTaken)
            openLine = m_firstBeforeFirst; // their count is not known yet
        qsizetype passed = 0;
        while (passed < m_pending.size() && m_pending[passed].line < openLine) {
            m_sink(m_pending[passed]);
            ++passed;
        }
        m_pending.remove(0, passed);
        m_count += passed;
    }

    // Lines before the first heading of the file are quotations under no
    // name; those of a hidden section are never shown.
    void takeRun(const LineRun &run, qint64 firstLine)
    {
        if (!m_seenHeading) {
            if (m_beforeFirst == 0 && run.quotations > 0)
                m_firstBeforeFirst = firstLine + run.firstQuotation;
            m_beforeFirst += run.quotations;
        } else if (m_hidden) {
            m_hiddenQuotations += run.quotations;
        }
    }

    void takeHeading(const PartScan &scan, const ScannedHeading &heading, qint64 line)
    {
        if (!m_seenHeading) {
            takeQuotationsUnderNoName("before the first heading");
            m_seenHeading = true;
        }
        switch (heading.spaces) {
        case ScannedHeading::Spaces::Empty:
            add(line, QByteArrayLiteral("a heading without a name: its quotations stand under an empty row"));
            break;
        case ScannedHeading::Spaces::Leading:
            add(line, "the name \"" % scan.textOf(heading) %
                          "\" begins with a space: typing its first letters in the filter never finds it");
            break;
        case ScannedHeading::Spaces::Trailing:
            add(line, "the name \"" % scan.textOf(heading) %
                          "\" ends with a space: a name typed without it (as --add and --random take one) is "
                          "another name");
            break;
        case ScannedHeading::Spaces::None:
            break;
        }
        if (m_sectionBegun && heading.key == m_sectionKey)
            return;
        closeSection();
        m_sectionBegun = true;
        m_sectionKey = heading.key;
        if (const std::optional<qint64> first = m_firstHeadings.find(heading.key)) {
            // A copy of its own: the scan's bytes go with the scan, on its thread.
            m_hidden = HiddenSection{line, *first, scan.textOf(heading)};
            m_hiddenQuotations = 0;
        } else {
            m_firstHeadings.insert(heading.key, line);
        }
    }

    void takeQuotationsUnderNoName(const char *where)
    {
        m_noNameTaken = true;
        if (m_beforeFirst > 0)
            add(m_firstBeforeFirst, counted(m_beforeFirst, "quotation", "quotations") % ' ' % where % ' ' %
                                        (m_beforeFirst == 1 ? "stands" : "stand") %
                                        " under no name: only Search finds them");
    }

    // Completes the finding of a hidden section with its count.
    void closeSection()
    {
        if (!m_hidden)
            return;
        // Made a piece at a time into one buffer: there may be a finding
        // like this for every heading of a file.
        QByteArray what;
        what.reserve(m_hidden->name.size() + 160);
        what += "a later section of \"";
        what += m_hidden->name;
        what += "\" (first at line ";
        appendGrouped(what, m_hidden->firstLine);
        what += "): the window shows only the first section of a name, so ";
        appendCounted(what, m_hiddenQuotations, "quotation", "quotations");
        what += m_hiddenQuotations == 1 ? " here is never shown; move it" : " here are never shown; move them";
        what += " under the first";
        add(m_hidden->line, std::move(what));
        m_hidden.reset();
    }

    QString m_path;
    const FindingSink &m_sink;
    QList<Finding> m_pending; // found, not yet handed on
    qint64 m_count = 0;
    bool m_ended = false;
    qint64 m_line = 1; // of the next part's first line
    bool m_seenHeading = false;
    bool m_noNameTaken = false; // the finding of the quotations before the first heading
    qint64 m_beforeFirst = 0, m_firstBeforeFirst = 0;
    bool m_sectionBegun = false;
    quint64 m_sectionKey = 0;
    FirstHeadings m_firstHeadings;
    struct HiddenSection
    {
        qint64 line;      // of its heading
        qint64 firstLine; // of the first heading of its name
        QByteArray name;
    };
    std::optional<HiddenSection> m_hidden; // being read, its count to come
    qint64 m_hiddenQuotations = 0;
};

} // namespace

// Scans the parts of both files on threads of their own (the first parts
// of subjects.txt while the last of authors.txt are read), and hands each
// scan to its file's check in the order of the files and their parts, as
// soon as the ones before it were taken.
CheckResult checkCollection(const QString &folder, const FindingSink &sink, const PartSettings &parting)
{
    const std::array<QString, 2> paths{authorsFilePath(folder), subjectsFilePath(folder)};
    std::array<PartedFile, 2> parted;
    std::vector<const PartedFile *> opened;
    std::vector<std::unique_ptr<FileCheck>> checks;
    // A file that cannot be opened is reported after the findings of the
    // file before it.
    std::optional<QString> openFailure;
    for (std::size_t file = 0; file < paths.size() && !openFailure; ++file) {
        if (std::optional<QString> reason = parted[file].open(paths[file], parting.partBytes, kPartReading)) {
            openFailure = readableFileName(paths[file]) + QStringLiteral(": ") + *reason;
        } else {
            opened.push_back(&parted[file]);
            checks.push_back(std::make_unique<FileCheck>(paths[file], sink));
        }
    }
    std::mutex mutex;
    std::condition_variable turnChanged;
    std::size_t turn = 0; // counts the parts of every file, one after the other
    std::optional<QString> readFailure;
    std::vector<std::unique_ptr<PartScan>> spareScans;
    forEachPart(opened, parting.threads, kPartReading, [&](std::size_t file, std::size_t index, DataFileReader &reader) {
        FileCheck &check = *checks[file];
        const std::size_t partCount = opened[file]->parts().size();
        std::size_t place = index;
        for (std::size_t before = 0; before < file; ++before)
            place += opened[before]->parts().size();
        std::unique_ptr<PartScan> scan;
        {
            const std::lock_guard lock(mutex);
            // A part after the end is not read, but still takes its turn.
            if (!readFailure && !check.ended()) {
                if (spareScans.empty()) {
                    scan = std::make_unique<PartScan>();
                    // A large page's worth from the start: the list would
                    // take a fresh one at each doubling.
                    scan->headings.reserve(kLargePage / sizeof(ScannedHeading));
                } else {
                    scan = std::move(spareScans.back());
                    spareScans.pop_back();
                }
            }
        }
        if (scan)
            scanPart(reader, paths[file], *scan);
        std::unique_lock lock(mutex);
        turnChanged.wait(lock, [&] { return turn == place; });
        if (scan && !readFailure && !check.ended()) {
            if (std::optional<QString> reason = check.take(*scan))
                readFailure = readableFileName(paths[file]) + QStringLiteral(": ") + *reason;
        }
        if (index + 1 == partCount && !check.ended())
            check.finish();
        ++turn;
        if (scan) {
            scan->clear();
            spareScans.push_back(std::move(scan));
        }
        turnChanged.notify_all();
    });
    CheckResult result;
    for (const std::unique_ptr<FileCheck> &check : checks)
        result.findings += check->findings();
    result.failure = readFailure ? readFailure : openFailure;
    return result;
}

void appendFindingLine(std::string &out, const Finding &finding)
{
    // The findings of a file come together: its readable name is made once.
    static thread_local QString path;
    static thread_local QByteArray readable;
    if (finding.path != path) {
        path = finding.path;
        readable = readableFileName(path).toUtf8();
    }
    char number[24];
    const auto [numberEnd, error] = std::to_chars(std::begin(number), std::end(number), finding.line);
    out.append(readable.constData(), std::size_t(readable.size()));
    out += ':';
    out.append(number, numberEnd);
    out += ": ";
    out.append(finding.what.constData(), std::size_t(finding.what.size()));
    out += '\n';
}

QString checkSummary(const CheckResult &result)
{
    if (result.findings == 0)
        return QStringLiteral("No findings: every quotation of authors.txt and subjects.txt can be shown.\n");
    return QStringLiteral("%1 in authors.txt and subjects.txt.\n")
        .arg(QString::fromLatin1(counted(result.findings, "finding", "findings")));
}

} // namespace sayvane::keeping
