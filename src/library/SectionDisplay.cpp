// SPDX-License-Identifier: MIT
#include "SectionDisplay.h"

#include "LineRules.h"
#include "LineText.h"

#include <algorithm>

namespace sayvane {

ShownQuotes sectionQuotes(const QString &path, std::string_view selectedName, const ReadSettings &settings,
                          qsizetype shownTextLimit)
{
    // The same name may be spelt in either encoding; each spelling is
    // matched on the bytes.
    const QList<Spelling> spellings = spellingsOfLine(selectedName);
    const auto headsSection = [&spellings](std::string_view headingLine) {
        const std::string_view name = HeadingName(headingLine);
        return std::any_of(spellings.begin(), spellings.end(), [name](const Spelling &spelling) {
            return name == spelling.bytes && encodingFits(name, spelling);
        });
    };
    ShownText shown(shownTextLimit);
    bool inSection = false;
    bool sectionEnded = false;

    ShownQuotes result;
    result.failure = forEachBlock(path, settings, [&](std::string_view lines, auto terminator) {
        const char *position = lines.data();
        const char *end = position + lines.size();
        while (position < end) {
            if (!inSection) {
                // Until the section begins only heading lines matter.
                const std::optional<LineSpan> heading = terminator.nextHeadingLine(position, end);
                if (!heading)
                    break;
                inSection = headsSection(heading->line);
                position = heading->next;
                continue;
            }
            const LineSpan span = terminator.lineAt(position, end);
            position = span.next;
            if (!IsHeadingLine(span.line))
                shown.show(span.line);
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
