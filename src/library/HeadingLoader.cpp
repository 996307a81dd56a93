// SPDX-License-Identifier: MIT
#include "HeadingLoader.h"

namespace sayvane {

LoadedNames loadHeadingNames(const QString &path, const ReadSettings &settings)
{
    LoadedNames result;
    result.failure = forEachBlock(path, settings, [&result](std::string_view lines, auto terminator) {
        const char *end = lines.data() + lines.size();
        for (auto heading = terminator.nextHeadingLine(lines.data(), end); heading;
             heading = terminator.nextHeadingLine(heading->next, end))
            result.names.append(HeadingName(heading->line));
        return true;
    });
    return result;
}

} // namespace sayvane
