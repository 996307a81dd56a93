// SPDX-License-Identifier: MIT
#include "TerminalSearch.h"

#include "ByteSearch.h"
#include "CaseFolding.h"
#include "LineRules.h"
#include "LineText.h"
#include "PartsInOrder.h"
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
    std::string masks;
    PhraseFinder finder{{}};
    const char *next = nullptr;
};

// Without case: the phrase's own spellings, which decide by themselves.
// With case ignored: the spellings of every case of the phrase's first
// characters, a few masked patterns (as many as keep their number small),
// a sieve before the characters at each place decide.
QList<PatternFinder> findersOf(bool ignoreCase, const QList<Spelling> &spellings, const QList<char32_t> &folded)
{
    QList<PatternFinder> finders;
    if (!ignoreCase) {
        for (const Spelling &spelling : spellings)
            finders.append(PatternFinder{spelling.bytes, {}});
    } else {
        for (MaskedBytes &pattern : caselessPatternsOfStart(folded, 4))
            finders.append(PatternFinder{std::move(pattern.bytes), std::move(pattern.masks)});
    }
    return finders;
}

class CollectionSearch
{
public:
    // With a prelude sink, the lines before the first heading go there,
    // without an author: they stand under a heading that the block before
    // this one's first knows.
    CollectionSearch(QStringView phrase, bool ignoreCase, const OutputSink &output,
                     const OutputSink *prelude = nullptr)
        : m_ignoreCase(ignoreCase)
        , m_folded(ignoreCase ? foldedCharacters(phrase) : QList<char32_t>())
        , m_foldedSpellings(ignoreCase ? spellingsOf(foldedCase(phrase)) : QList<Spelling>())
        , m_spellings(spellingsOf(phrase))
        , m_output(output)
        , m_prelude(prelude)
        , m_finders(findersOf(ignoreCase, m_spellings, m_folded))
    {
        // A finder views its pattern's bytes, which stay put from here on.
        for (PatternFinder &finder : m_finders)
            finder.finder = PhraseFinder(finder.bytes, finder.masks);
    }

    qint64 found() const { return m_found; }
    // "AUTHOR: " of the last heading met, if one was.
    std::optional<std::string> lastHeading() const
    {
        return m_underHeading ? std::optional<std::string>(m_author) : std::nullopt;
    }

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
                if (holdsPhrase(span.line, hit, encoding)) {
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
        const std::optional<LineSpan> last = terminator.lastHeadingLine(from, to);
        if (!last)
            return;
        const std::string_view name = HeadingName(last->line);
        m_author.clear();
        appendAsUtf8(m_author, name);
        m_author += ": ";
        m_underHeading = true;
    }

    // Whether the line holds the phrase, `hit` being the first place in it
    // where a pattern was found.
    bool holdsPhrase(std::string_view line, const char *hit, LineEncoding encoding) const
    {
        if (m_ignoreCase) {
            const char *const end = line.data() + line.size();
            for (const char *at = hit; at; at = nextPatternIn(at + 1, end)) {
                if (holdsFoldedSpelling(std::string_view(at, std::size_t(end - at)), encoding) ||
                    foldsTo(line, std::size_t(at - line.data()), encoding, m_folded))
                    return true;
            }
            return false;
        }
        return std::any_of(m_spellings.begin(), m_spellings.end(), [line, encoding](const Spelling &spelling) {
            return encodingFits(encoding, spelling) && line.find(spelling.bytes) != std::string_view::npos;
        });
    }

    // Whether the text begins with the phrase spelt as it is lowered, in the
    // line's encoding: most text holds a phrase so, and bytes compare
    // faster than characters lowered one by one.
    bool holdsFoldedSpelling(std::string_view text, LineEncoding encoding) const
    {
        return std::any_of(m_foldedSpellings.begin(), m_foldedSpellings.end(), [text, encoding](const Spelling &s) {
            return encodingFits(encoding, s) && text.starts_with(s.bytes);
        });
    }

    const char *nextPatternIn(const char *begin, const char *end) const
    {
        const char *first = nullptr;
        for (const PatternFinder &finder : m_finders) {
            const char *found = finder.finder.find(begin, end);
            if (found && (!first || found < first))
                first = found;
        }
        return first;
    }

    bool write(std::string_view line, LineEncoding encoding)
    {
        m_text.clear();
        if (m_underHeading)
            m_text += m_author;
        appendAsUtf8(m_text, line, encoding);
        m_text += '\n';
        ++m_found;
        return !m_underHeading && m_prelude ? (*m_prelude)(m_text) : m_output(m_text);
    }

    bool m_ignoreCase;
    QList<char32_t> m_folded; // the phrase's characters lowered, when case is ignored
    QList<Spelling> m_foldedSpellings; // and its spellings so lowered
    QList<Spelling> m_spellings;
    const OutputSink &m_output;
    const OutputSink *m_prelude;
    QList<PatternFinder> m_finders;
    std::string m_author; // "NAME: " of the heading above, as UTF-8
    bool m_underHeading = false;
    std::string m_text; // the line being written
    qint64 m_found = 0;
};

// Each part of a large file is searched on a thread of its own; what they
// find is written in file order. A part that fails stops the parts after
// it, so that the output ends where the sequential reading would.
SearchResult searchInParts(const PartedFile &parted, const QString &authorsPath, QStringView phrase,
                           bool ignoreCase, const OutputSink &output, int threads)
{
    const std::size_t count = parted.parts().size();
    PartsInOrder inOrder(output);
    std::vector<qint64> found(count, 0);
    std::vector<std::optional<ReadFailure>> failures(count);
    forEachPart(parted, threads, kPartReading, [&](std::size_t index, DataFileReader &reader) {
        PartsInOrder::Part part(inOrder, index);
        const OutputSink write = [&part](std::string_view text) { return part.write(text); };
        const OutputSink prelude = [&part](std::string_view text) { return part.writePrelude(text); };
        CollectionSearch search(phrase, ignoreCase, write, index > 0 ? &prelude : nullptr);
        failures[index] = forEachBlockOf(reader, authorsPath, [&](std::string_view lines, auto terminator) {
            return !inOrder.stopped() && search.searchBlock(lines, terminator);
        });
        found[index] = search.found();
        part.finish(search.lastHeading(), failures[index].has_value());
    });
    SearchResult result;
    for (std::size_t index = 0; index < count && !result.failure; ++index) {
        result.found += found[index];
        result.failure = failures[index];
    }
    return result;
}

} // namespace

SearchResult searchCollection(const QString &authorsPath, QStringView phrase, bool ignoreCase,
                              const OutputSink &output, const ReadSettings &settings, const PartSettings &parting)
{
    PartedFile parted;
    if (const std::optional<QString> reason = parted.open(authorsPath, parting.partBytes, settings))
        return {0, ReadFailure{authorsPath, *reason}};
    if (parted.parts().size() > 1)
        return searchInParts(parted, authorsPath, phrase, ignoreCase, output, parting.threads);
    CollectionSearch search(phrase, ignoreCase, output);
    SearchResult result;
    result.failure = forEachBlock(authorsPath, settings, [&search](std::string_view lines, auto terminator) {
        return search.searchBlock(lines, terminator);
    });
    result.found = search.found();
    return result;
}

} // namespace sayvane::terminal
