// SPDX-License-Identifier: MIT
#include "PhraseSearch.h"

#include "ByteSearch.h"
#include "LineRules.h"
#include "LineText.h"
#include "ShownTextAside.h"

namespace sayvane {
namespace {

// One spelling of the phrase, with where it next occurs in the block.
struct SpellingFinder
{
    Spelling spelling;
    PhraseFinder finder;
    const char *next = nullptr; // first occurrence at or after the search position
};

// Finds the phrase in a block of whole lines and hands every quote line
// whose text contains it to the sink, once. The search runs over the whole
// block at once and looks for the enclosing line only around a match; a
// match that runs over the line's end is none, and then no later one in
// that line fits either.
template <typename Terminator, typename Sink>
void searchLines(std::string_view lines, QList<SpellingFinder> &finders, Terminator terminator, Sink sink)
{
    const char *position = lines.data();
    const char *const end = position + lines.size();
    for (SpellingFinder &finder : finders)
        finder.next = finder.finder.find(position, end);
    const auto moveTo = [&](const char *to) {
        position = to;
        for (SpellingFinder &finder : finders) {
            if (finder.next && finder.next < position)
                finder.next = finder.finder.find(position, end);
        }
    };
    while (position < end) {
        const char *hit = nullptr;
        for (const SpellingFinder &finder : finders) {
            if (finder.next && (!hit || finder.next < hit))
                hit = finder.next;
        }
        if (!hit)
            return;
        const char *const start = terminator.lineStartOf(position, hit);
        if (hit < start) { // the match began on the LF of a classic CR LF
            moveTo(start);
            continue;
        }
        const LineSpan span = terminator.lineAt(start, end);
        const char *const lineEnd = span.line.data() + span.line.size();
        // The line holds the phrase where a spelling found in it is one of
        // the line's encoding; which that is, the sink learns as it decodes
        // the line, so that the line is read once.
        bool inEither = false;
        std::optional<LineEncoding> onlyIn;
        for (const SpellingFinder &finder : finders) {
            if (!finder.next || finder.next > lineEnd ||
                std::size_t(lineEnd - finder.next) < finder.spelling.bytes.size())
                continue;
            if (!finder.spelling.onlyIn || (onlyIn && *onlyIn != *finder.spelling.onlyIn))
                inEither = true;
            onlyIn = finder.spelling.onlyIn;
        }
        if ((inEither || onlyIn) && !IsHeadingLine(span.line))
            sink(span.line, inEither ? std::nullopt : onlyIn);
        moveTo(span.next);
    }
}

qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --count;
    }
    return count;
}

} // namespace

QString phraseTooShortMessage()
{
    return QStringLiteral("Please enter a word greater than %1 letters !").arg(kMinimumPhraseLength - 1);
}

std::optional<QStringView> searchPhrase(QStringView typedText)
{
    const QStringView phrase = trimSpaces(typedText);
    if (characterCount(phrase) < kMinimumPhraseLength)
        return std::nullopt;
    return phrase;
}

ShownQuotes searchQuotes(const QString &path, QStringView phrase, const ReadSettings &settings,
                         qsizetype shownTextLimit)
{
    ShownQuotes result;
    // A phrase that no line can hold is found nowhere, but the file is
    // still read so that a file gone missing is reported.
    QList<SpellingFinder> finders;
    for (Spelling &spelling : spellingsOf(phrase))
        finders.append(SpellingFinder{std::move(spelling), PhraseFinder({})});
    // A finder views its spelling's bytes, which stay put from here on.
    for (SpellingFinder &finder : finders)
        finder.finder = PhraseFinder(finder.spelling.bytes);
    ShownText shown(shownTextLimit);
    ShownTextAside written(shown);
    bool takesMore = true;

    result.failure = forEachBlock(path, settings, [&](std::string_view lines, auto terminator) {
        if (!finders.isEmpty())
            searchLines(lines, finders, terminator, [&](std::string_view line, std::optional<LineEncoding> onlyIn) {
                takesMore = written.offer(line, onlyIn) && takesMore;
            });
        return takesMore;
    });
    written.finish();
    if (result.failure)
        return result;
    result.found = !shown.isEmpty();
    result.cut = shown.cut();
    result.text = shown.take();
    return result;
}

} // namespace sayvane
