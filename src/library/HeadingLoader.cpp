#include "HeadingLoader.h"

#include "LineRules.h"
#include "LineScan.h"
#include "Windows1252.h"

namespace sayvane {

HeadingNames LoadHeadingNames(const QString &path, std::size_t blockSize)
{
    HeadingNames result;
    result.failure = forEachBlock(path, blockSize, [&result](std::string_view lines) {
        const char *end = lines.data() + lines.size();
        for (auto heading = nextHeadingLine(lines.data(), end); heading; heading = nextHeadingLine(heading->next, end))
            result.names.append(decodeWindows1252(HeadingName(heading->line)));
        return true;
    });
    return result;
}

} // namespace sayvane
