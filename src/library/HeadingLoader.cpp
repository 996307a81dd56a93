#include "HeadingLoader.h"

#include "LineRules.h"
#include "Windows1252.h"

namespace sayvane {

HeadingNames LoadHeadingNames(const QString &path, std::size_t blockSize)
{
    HeadingNames result;
    result.failure = forEachLine(
        path,
        [&result](std::string_view line) {
            if (IsHeadingLine(line))
                result.names.append(decodeWindows1252(HeadingName(line)));
            return true;
        },
        blockSize);
    return result;
}

} // namespace sayvane
