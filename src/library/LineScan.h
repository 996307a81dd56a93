// SPDX-License-Identifier: MIT
// One pass over a block of whole lines that counts them and finds the few
// whose kind their first byte does not tell: those that begin with a space
// or a mark ('#'), and empty ones. Every other line of a data file is a
// quotation line; so a draw need look closer at only these.
#pragma once

#include "LineTerminator.h"

#include <QtGlobal>

#include <string_view>
#include <vector>

namespace sayvane {

struct OddLine
{
    qint64 index;      // of the line in the block, the first being 0
    const char *start; // where it begins
};

struct LineCensus
{
    qint64 lines = 0;            // the lines the block holds
    std::vector<OddLine> odd;    // in order; the block's first line is never among them
    // With classic line ends: whether an LF stands anywhere but after a
    // CR (the first byte counts as after none). Such an LF is a character
    // of its line, the mark of text appended with `echo >>`.
    bool loneLineFeeds = false;
};

// The census of a block of whole lines with these line ends.
void takeCensus(std::string_view lines, LineEnds ends, LineCensus &census);

} // namespace sayvane
