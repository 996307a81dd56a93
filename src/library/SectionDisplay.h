// SPDX-License-Identifier: MIT
// The quote lines of the section that a name heads.
#pragma once

#include "ShownText.h"

#include <string_view>

namespace sayvane {

// Reads the file afresh and shows the quote lines of the first section
// headed by exactly this name, together with any sections of the same name
// that directly follow it. The name is given as the bytes a heading holds;
// a heading that spells the same text in the other encoding heads the same
// section. Reading stops at the first heading with another name after the
// section has begun.
ShownQuotes sectionQuotes(const QString &path, std::string_view selectedName, const ReadSettings &settings = {},
                          qsizetype shownTextLimit = kShownTextLimit);

} // namespace sayvane
