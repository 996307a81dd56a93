#include "PhraseSearch.h"

#include "LineRules.h"
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
    const char *const begin = lines.data();
    const char *const end = begin + lines.size();
    const char *lineStart = begin;
    while (lineStart < end) {
        const char *hit =
            static_cast<const char *>(memmem(lineStart, std::size_t(end - lineStart), phrase.data(), phrase.size()));
        if (!hit)
            return;
        const char *cr = static_cast<const char *>(memrchr(lineStart, '\r', std::size_t(hit - lineStart)));
        if (cr) {
            lineStart = cr + 1;
            if (lineStart < end && *lineStart == '\n')
                ++lineStart;
        }
        if (hit < lineStart)
            continue; // the match began on the LF of a line terminator
        const char *lineEnd = static_cast<const char *>(std::memchr(hit, '\r', std::size_t(end - hit)));
        if (!lineEnd)
            lineEnd = end;
        const std::string_view line(lineStart, std::size_t(lineEnd - lineStart));
        if (!IsHeadingLine(line))
            sink(line);
        lineStart = lineEnd == end ? end : lineEnd + 1;
        if (lineStart < end && *lineStart == '\n')
            ++lineStart;
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

    DataFileReader reader(blockSize);
    if (!reader.open(path)) {
        result.failure = ReadFailure{path, reader.errorString()};
        return result;
    }
    while (!reader.atEnd()) {
        const std::string_view lines = reader.readLines();
        if (searchable)
            searchLines(lines, needle, [&shown](std::string_view line) { shown.append(line); });
    }
    if (reader.failed()) {
        result.failure = ReadFailure{path, reader.errorString()};
        return result;
    }
    result.found = !shown.isEmpty();
    result.text = shown.toText();
    return result;
}

} // namespace sayvane
