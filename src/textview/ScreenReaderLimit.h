// SPDX-License-Identifier: MIT
// The bound on what the program tells a screen reader, in every control:
// the text view's answers and the names of the window's list rows alike.
#pragma once

#include <QtGlobal>

namespace sayvane {

// The most characters one answer to a screen reader carries: 1 Mi. A
// longer text is answered in parts or cut, so that no answer costs more
// memory or time than that, however long the text.
inline constexpr qsizetype kLongestAccessibleText = qsizetype(1) << 20;

} // namespace sayvane
