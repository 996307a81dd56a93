// SPDX-License-Identifier: MIT
// The text of the quotations area, built once from the lines to show.
#pragma once

#include "DataFileReader.h"

#include <QString>

#include <optional>
#include <string_view>

namespace sayvane {

// Each shown line stands between two CR LF pairs, exactly as if the text
// were rebuilt as "text, CR LF, line, CR LF" for every line; each line is
// decoded straight into one growing text, never copied again.
class ShownText
{
public:
    void append(std::string_view line);
    bool isEmpty() const { return m_text.isEmpty(); }
    QString take();

private:
    QString m_text;
};

// What a section display or a search gives the quotations area.
struct ShownQuotes
{
    QString text;                       // the new text of the quotations area
    bool found = false;                 // at least one line is shown
    std::optional<ReadFailure> failure; // set when the file could not be read
};

} // namespace sayvane
