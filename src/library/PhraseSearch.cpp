#include "PhraseSearch.h"

#include "LineRules.h"
#include "LineScan.h"
#include "Windows1252.h"

#include <cstring>

namespace sayvane {
namespace {

// Finds the phrase in a block of whole lines and hands every quote line
// that contains it to the sink. The phrase holds no CR, so a match never
// spans two lines; the search runs over the whole block at once and looks
// for the enclosing line only around a match.
template <typename Sink> void searchLines(std::string_view lines, std::string_view phrase, Sink sink)
{
    const char *position = lines.data();
    const char *const end = position + lines.size();
    while (position < end) {
        const char *hit =
            static_cast<const char *>(memmem(position, std::size_t(end - position), phrase.data(), phrase.size()));
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

} // namespace

std::optional<QStringView> SearchPhrase(QStringView typedText)
{
    const QStringView phrase = trimSpaces(typedText);
    if (phrase.size() < kMinimumPhraseLength)
        return std::nullopt;
    return phrase;
}

ShownQuotes SearchQuotes(const QString &path, QStringView phrase, std::size_t blockSize)
{
    ShownQuotes result;
    // No line holds a CR, nor a character that Windows-1252 cannot
    // represent; such a phrase is found nowhere, but the file is still read
    // so that a file gone missing is reported.
    const std::optional<QByteArray> encoded = encodeWindows1252(phrase);
    const bool searchable = encoded && !encoded->contains('\r');
    const std::string_view needle =
        searchable ? std::string_view(encoded->data(), encoded->size()) : std::string_view();
    ShownText shown;

    result.failure = forEachBlock(path, blockSize, [&](std::string_view lines) {
        if (searchable)
            searchLines(lines, needle, [&shown](std::string_view line) { shown.append(line); });
        return true;
    });
    if (result.failure)
        return result;
    result.found = !shown.isEmpty();
    result.text = shown.take();
    return result;
}

} // namespace sayvane
