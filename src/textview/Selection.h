// SPDX-License-Identifier: MIT
// The selection of a text view: it runs between an anchor, where it was
// begun, and the caret, where it is extended; both are text positions.
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <utility>

namespace sayvane {

struct Selection
{
    qsizetype anchor = 0;
    qsizetype caret = 0;

    static Selection at(qsizetype position) { return {position, position}; }
    qsizetype start() const { return std::min(anchor, caret); }
    qsizetype end() const { return std::max(anchor, caret); }
    std::pair<qsizetype, qsizetype> range() const { return {start(), end()}; }
    bool isEmpty() const { return anchor == caret; }
    bool operator==(const Selection &) const = default;
};

} // namespace sayvane
