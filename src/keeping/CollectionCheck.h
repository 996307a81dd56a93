// SPDX-License-Identifier: MIT
// Finds what hides or garbles quotations in a collection's two files: a
// later section of a name, which the window never reaches; a name with
// spaces at either end, which the filter cannot reach; a heading glued to
// the line before it by a lone LF in a classic file; quotations before the
// first heading; a heading without a name; a line past the line limit.
#pragma once

#include "FileParts.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace sayvane::keeping {

struct Finding
{
    QString path;
    qint64 line = 0; // the first line being 1
    QByteArray what; // what, and why it matters, in UTF-8
};

// Takes each finding as soon as it is complete, each file's in the order
// of their lines.
using FindingSink = std::function<void(const Finding &)>;

struct CheckResult
{
    qint64 findings = 0;
    // A file that could not be read at all (missing, not a regular file);
    // nothing of it was checked.
    std::optional<QString> failure;
};

// Reads both files once each, holding the heading names (as a hash each)
// and nothing that grows with the quotations: the findings go to the sink.
// A large file is read in parts at once, as the part settings allow.
CheckResult checkCollection(const QString &folder, const FindingSink &sink, const PartSettings &parting = {});

// Appends a finding as its line of output, `FILE:LINE: what`, in UTF-8.
void appendFindingLine(std::string &out, const Finding &finding);
// The line that ends the output.
QString checkSummary(const CheckResult &result);

} // namespace sayvane::keeping
