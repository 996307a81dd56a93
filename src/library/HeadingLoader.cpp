// SPDX-License-Identifier: MIT
#include "HeadingLoader.h"

#include "DataFiles.h"
#include "LineScan.h"

namespace sayvane {

LoadedNames loadHeadingNames(const QString &path, const ReadSettings &settings)
{
    LoadedNames result;
    result.failure = forEachBlock(path, settings, [&result](std::string_view lines) {
        const char *end = lines.data() + lines.size();
        for (auto heading = nextHeadingLine(lines.data(), end); heading; heading = nextHeadingLine(heading->next, end))
            result.names.append(HeadingName(heading->line));
        return true;
    });
    return result;
}

CollectionNames loadCollectionNames(const QString &collectionFolder, const ReadSettings &settings)
{
    return {loadHeadingNames(authorsFilePath(collectionFolder), settings),
            loadHeadingNames(subjectsFilePath(collectionFolder), settings)};
}

} // namespace sayvane
