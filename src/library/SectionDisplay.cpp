#include "SectionDisplay.h"

#include "LineRules.h"
#include "LineScan.h"
#include "Windows1252.h"

namespace sayvane {

ShownQuotes ShowSection(const QString &path, QStringView selectedName, std::size_t blockSize)
{
    ShownQuotes result;
    // A name that Windows-1252 cannot represent heads no section of the
    // file; the file is still read, so that a file gone missing is reported.
    const std::optional<QByteArray> encodedName = encodeWindows1252(selectedName);
    const auto headsSection = [&encodedName](std::string_view headingLine) {
        return encodedName && HeadingName(headingLine) == std::string_view(encodedName->data(), encodedName->size());
    };
    ShownText shown;
    bool inSection = false;
    bool sectionEnded = false;

    result.failure = forEachBlock(path, blockSize, [&](std::string_view lines) {
        const char *position = lines.data();
        const char *end = position + lines.size();
        while (position < end) {
            if (!inSection) {
                // Until the section begins only heading lines matter.
                const std::optional<LineSpan> heading = nextHeadingLine(position, end);
                if (!heading)
                    break;
                inSection = headsSection(heading->line);
                position = heading->next;
                continue;
            }
            const LineSpan span = lineAt(position, end);
            position = span.next;
            if (!IsHeadingLine(span.line))
                shown.append(span.line);
            else if (!headsSection(span.line))
                sectionEnded = true; // a further heading of the same name does not end it
            if (sectionEnded)
                return false;
        }
        return true;
    });

    if (!result.failure) {
        result.found = !shown.isEmpty();
        result.text = shown.take();
    }
    return result;
}

} // namespace sayvane
