// SPDX-License-Identifier: MIT
#include "TerminalSearch.h"

#include "ByteSearch.h"
#include "CaseFolding.h"
#include "LineRules.h"
#include "LineText.h"
#include "Utf8Output.h"
#include "Windows1252.h"

#include <QList>
#include <QSet>

#include <algorithm>
#include <string>

namespace sayvane::terminal {
namespace {

// The byte patterns a line must hold to be worth a closer look, each found
// with a finder of its own, and where each next occurs.
struct PatternFinder
{
    std::string bytes;
    PhraseFinder finder{{}};
    const char *next = nullptr;
};

// Without case: the phrase's own spellings, which decide by themselves.
// With case ignored: the spellings of every case of the phrase's first
// characters (as many as keep their number small), a sieve before the
// folded text of the line decides.
QList<std::string> patternsOf(QStringView phrase, bool ignoreCase, const QList<Spelling> &spellings)
{
    QList<std::string> patterns;
    if (!ignoreCase) {
        for (const Spelling &spelling : spellings)
            patterns.append(spelling.bytes);
        return patterns;
    }
    QSet<QByteArray> seen;
    for (const QString &variant : caseVariantsOfStart(phrase, 32)) {
        QList<QByteArray> spelt{variant.toUtf8()};
        if (const std::optional<QByteArray> windows = encodeWindows1252(variant))
            spelt.append(*windows);
        for (const QByteArray &bytes : spelt) {
            if (!seen.contains(bytes)) {
                seen.insert(bytes);
                patterns.append(bytes.toStdString());
            }
        }
    }
    return patterns;
}

class CollectionSearch
{
public:
    CollectionSearch(QStringView phrase, bool ignoreCase, const OutputSink &output)
        : m_ignoreCase(ignoreCase)
        , m_foldedPhrase(ignoreCase ? foldedCase(phrase) : QString())
        , m_spellings(spellingsOf(phrase))
        , m_output(output)
    {
        for (std::string &bytes : patternsOf(phrase, ignoreCase, m_spellings))
            m_finders.append(PatternFinder{std::move(bytes)});
        // A finder views its pattern's bytes, which stay put from here on.
        for (PatternFinder &finder : m_finders)
            finder.finder = PhraseFinder(finder.bytes);
    }

    qint64 found() const { return m_found; }

    // Looks through a block of whole lines; false once the output is gone.
    template <typename Terminator> bool searchBlock(std::string_view lines, Terminator terminator)
    {
        const char *position = lines.data();
        const char *const end = position + lines.size();
        const char *headingsFrom = position; // headings before here are known
        for (PatternFinder &finder : m_finders)
            finder.next = finder.finder.find(position, end);
        const auto moveTo = [&](const char *to) {
            position = to;
            for (PatternFinder &finder : m_finders) {
                if (finder.next && finder.next < position)
                    finder.next = finder.finder.find(position, end);
            }
        };
        while (position < end) {
            const char *hit = nullptr;
            for (const PatternFinder &finder : m_finders) {
                if (finder.next && (!hit || finder.next < hit))
                    hit = finder.next;
            }
            if (!hit)
                break;
            const char *const start = terminator.lineStartOf(position, hit);
            if (hit < start) { // the match began on the LF of a classic CR LF
                moveTo(start);
                continue;
            }
            const LineSpan span = terminator.lineAt(start, end);
            if (!IsHeadingLine(span.line)) {
                // The line's encoding, found once for the match and the output.
                const LineEncoding encoding = encodingOf(span.line);
                if (holdsPhrase(span.line, encoding)) {
                    takeHeadings(headingsFrom, start, terminator);
                    headingsFrom = span.next;
                    if (!write(span.line, encoding))
                        return false;
                }
            }
            moveTo(span.next);
        }
        takeHeadings(headingsFrom, end, terminator);
        return true;
    }

private:
    // The last heading in [from, to), both line starts, becomes the author.
    template <typename Terminator> void takeHeadings(const char *from, const char *to, Terminator terminator)
    {
        std::optional<LineSpan> last;
        for (auto heading = terminator.nextHeadingLine(from, to); heading;
             heading = terminator.nextHeadingLine(heading->next, to))
            last = heading;
        if (!last)
            return;
        const std::string_view name = HeadingName(last->line);
        m_author.clear();
        appendAsUtf8(m_author, name);
        m_author += ": ";
        m_underHeading = true;
    }

    bool holdsPhrase(std::string_view line, LineEncoding encoding) const
    {
        if (m_ignoreCase)
            return foldedCase(decodeLine(line, encoding)).contains(m_foldedPhrase);
        return std::any_of(m_spellings.begin(), m_spellings.end(), [line, encoding](const Spelling &spelling) {
            return (!spelling.onlyIn || *spelling.onlyIn == encoding) &&
                   line.find(spelling.bytes) != std::string_view::npos;
        });
    }

    bool write(std::string_view line, LineEncoding encoding)
    {
        m_text.clear();
        if (m_underHeading)
            m_text += m_author;
        appendAsUtf8(m_text, line, encoding);
        m_text += '\n';
        ++m_found;
        return m_output(m_text);
    }

    bool m_ignoreCase;
    QString m_foldedPhrase;
    QList<Spelling> m_spellings;
    const OutputSink &m_output;
    QList<PatternFinder> m_finders;
    std::string m_author; // "NAME: " of the heading above, as UTF-8
    bool m_underHeading = false;
    std::string m_text; // the line being written
    qint64 m_found = 0;
};

} // namespace

SearchResult searchCollection(const QString &authorsPath, QStringView phrase, bool ignoreCase,
                              const OutputSink &output, const ReadSettings &settings)
{
    CollectionSearch search(phrase, ignoreCase, output);
    SearchResult result;
    result.failure = forEachBlock(authorsPath, settings, [&search](std::string_view lines, auto terminator) {
        return search.searchBlock(lines, terminator);
    });
    result.found = search.found();
    return result;
}

} // namespace sayvane::terminal
