// SPDX-License-Identifier: MIT
#include "SectionDisplay.h"

#include "LineScan.h"
#include "Windows1252.h"

namespace sayvane {

ShownQuotes sectionQuotes(const QString &path, std::string_view selectedName, const ReadSettings &settings)
{
    const auto headsSection = [selectedName](std::string_view headingLine) {
        return HeadingName(headingLine) == selectedName;
    };
    ShownText shown(settings.shownTextLimit);
    bool inSection = false;
    bool sectionEnded = false;

    ShownQuotes result;
    result.failure = forEachBlock(path, settings, [&](std::string_view lines) {
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
            if (sectionEnded || shown.cut() != ShownCut::None)
                return false;
        }
        return true;
    });
    if (!result.failure) {
        result.found = !shown.isEmpty();
        result.cut = shown.cut();
        result.text = shown.take();
    }
    return result;
}

} // namespace sayvane
