// SPDX-License-Identifier: MIT
// Collects the heading names of a data file, in file order.
#pragma once

#include "DataFileReader.h"
#include "NameArray.h"

#include <optional>

namespace sayvane {

struct LoadedNames
{
    NameArray names;                    // one entry per heading line
    std::optional<ReadFailure> failure; // set when the file could not be read
};

LoadedNames loadHeadingNames(const QString &path, const ReadSettings &settings = {});

// The heading names of both files of a collection.
struct CollectionNames
{
    LoadedNames authors;
    LoadedNames subjects;
};

} // namespace sayvane
