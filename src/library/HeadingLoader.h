// Collects the heading names of a data file, in file order.
#pragma once

#include "DataFileReader.h"

#include <QStringList>

#include <optional>

namespace sayvane {

struct HeadingNames
{
    QStringList names;                  // one entry per heading line
    std::optional<ReadFailure> failure; // set when the file could not be read
};

HeadingNames LoadHeadingNames(const QString &path, std::size_t blockSize = DataFileReader::kDefaultBlockSize);

} // namespace sayvane
