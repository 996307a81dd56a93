// SPDX-License-Identifier: MIT
// A quotation drawn at random, each quotation line equally likely whatever
// its length or its section's size, in one pass over the file and memory
// that does not grow with it.
#pragma once

#include "DataFileReader.h"
#include "FileParts.h"

#include <QString>

#include <optional>
#include <string>

namespace sayvane::terminal {

struct DrawRequest
{
    // At most one: draw from the quotations the window shows for this name
    // in authors.txt, or in subjects.txt.
    std::optional<QString> author;
    std::optional<QString> subject;
};

struct DrawnQuotation
{
    std::string text;                  // as UTF-8
    std::optional<std::string> author; // the heading it stands under in authors.txt
};

struct DrawResult
{
    std::optional<DrawnQuotation> drawn; // none: nothing to draw from
    std::optional<ReadFailure> failure;
};

// Draws from the quotation lines (lines under a heading, not headings, that
// hold more than spaces) of authors.txt, or of the name's sections. With a
// subject, the author is the heading of the first line of authors.txt that
// reads as the same text, where there is one. The same seed draws the same.
// A large file is drawn from in parts, on as many threads as the settings
// allow; the draw depends on the seed and the part size alone.
DrawResult drawQuotation(const QString &authorsPath, const QString &subjectsPath, const DrawRequest &request,
                         quint64 seed, const PartSettings &parting = {});

// "QUOTATION\n    — AUTHOR\n", or the first line alone.
std::string drawnText(const DrawnQuotation &drawn);

} // namespace sayvane::terminal
