// SPDX-License-Identifier: MIT
#include "PhraseSearch.h"

#include "ByteSearch.h"
#include "LineScan.h"
#include "Windows1252.h"

namespace sayvane {
namespace {

// Finds the phrase in a block of whole lines and hands every quote line
// that contains it to the sink. The phrase holds no CR, so a match never
// spans two lines; the search runs over the whole block at once and looks
// for the enclosing line only around a match.
template <typename Sink> void searchLines(std::string_view lines, const PhraseFinder &finder, Sink sink)
{
    const char *position = lines.data();
    const char *const end = position + lines.size();
    while (position < end) {
        const char *hit = finder.find(position, end);
        if (!hit)
            return;
        const char *start = lineStartOf(position, hit);
        if (hit < start) { // the match began on the LF of a line terminator
            position = start;
            continue;
        }
        const LineSpan span = lineAt(start, end);
        if (!IsHeadingLine(span.line))
            sink(span.line);
        position = span.next;
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

ShownQuotes searchQuotes(const QString &path, QStringView phrase, const ReadSettings &settings)
{
    ShownQuotes result;
    // No line holds a CR, nor a character that Windows-1252 cannot
    // represent; such a phrase is found nowhere, but the file is still read
    // so that a file gone missing is reported.
    const std::optional<QByteArray> encoded = encodeWindows1252(phrase);
    const bool searchable = encoded && !encoded->contains('\r');
    const PhraseFinder finder(searchable ? std::string_view(encoded->data(), encoded->size()) : std::string_view());
    ShownText shown(settings.shownTextLimit);

    result.failure = forEachBlock(path, settings, [&](std::string_view lines) {
        if (searchable)
            searchLines(lines, finder, [&shown](std::string_view line) { shown.append(line); });
        return shown.cut() == ShownCut::None;
    });
    if (result.failure)
        return result;
    result.found = !shown.isEmpty();
    result.cut = shown.cut();
    result.text = shown.take();
    return result;
}

} // namespace sayvane
