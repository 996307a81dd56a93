// SPDX-License-Identifier: MIT
// The search of the command line: every quotation of authors.txt that
// holds a phrase, each with the author it stands under, as UTF-8 lines.
#pragma once

#include "DataFileReader.h"
#include "FileParts.h"

#include <QString>

#include <functional>
#include <optional>
#include <string_view>

namespace sayvane::terminal {

// Takes the output a piece at a time; false stops the search (a reader of
// the output that has gone).
using OutputSink = std::function<bool(std::string_view)>;

struct SearchResult
{
    qint64 found = 0;
    std::optional<ReadFailure> failure;
};

// Reads the file once and writes "AUTHOR: QUOTATION\n" for every quote
// line (heading lines are never searched) whose text holds the phrase, in
// file order; a line before the first heading without "AUTHOR: ". Each
// line is decoded by its own encoding and written as UTF-8, with any CR or
// LF inside it a space, so that each quotation is one line of output.
// With ignoreCase, upper and lower case are one, as in the name filter.
// The phrase is taken as given (the caller trims and measures it). A large
// file is searched in parts at once, as the part settings allow; a file
// read with faults, in one.
SearchResult searchCollection(const QString &authorsPath, QStringView phrase, bool ignoreCase,
                              const OutputSink &output, const ReadSettings &settings = {.readAhead = true},
                              const PartSettings &parting = {});

} // namespace sayvane::terminal
