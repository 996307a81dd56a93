// The quote lines of the section that a name heads.
#pragma once

#include "ShownText.h"

namespace sayvane {

// Reads the file afresh and shows the quote lines of the first section
// headed by exactly this name, together with any sections of the same name
// that directly follow it. Reading stops at the first heading with another
// name after the section has begun.
ShownQuotes ShowSection(const QString &path, QStringView selectedName,
                        std::size_t blockSize = DataFileReader::kDefaultBlockSize);

} // namespace sayvane
