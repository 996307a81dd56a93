// SPDX-License-Identifier: MIT
#include "BenchTable.h"

#include <cstdio>

namespace sayvane::bench {

bool measured(const Row &row)
{
    return row.ours && (row.referenceName.empty() || row.reference);
}

std::string tableLine(const Row &row)
{
    const bool memory = row.operation.find("memory") != std::string::npos;
    const char *unit = memory ? "MB" : "ms";
    char figure[64] = "not measured";
    if (row.ours)
        std::snprintf(figure, sizeof figure, "%.1f %s", *row.ours, unit);
    std::string reference = "none | ";
    if (!row.referenceName.empty()) {
        char text[128];
        if (row.reference && row.ours)
            std::snprintf(text, sizeof text, "%s: %.1f %s | %.2f", row.referenceName.c_str(), *row.reference, unit,
                          *row.ours / *row.reference);
        else if (row.reference)
            std::snprintf(text, sizeof text, "%s: %.1f %s | ", row.referenceName.c_str(), *row.reference, unit);
        else
            std::snprintf(text, sizeof text, "%s: not measured | ", row.referenceName.c_str());
        reference = text;
    }
    const char *verdict = !measured(row)        ? "not measured"
                          : row.target.empty() ? "for comparison"
                          : row.met            ? "yes"
                                               : "NO";
    return "| " + row.operation + " | " + figure + " | " + reference + " | " + row.target + " | " + verdict + " |";
}

std::string table(const std::vector<Row> &rows)
{
    std::string text = "| Operation | Sayvane | Reference | Ratio | Target | Met |\n|---|---:|---|---:|---|---|\n";
    for (const Row &row : rows)
        text += tableLine(row) + "\n";
    return text;
}

int rowsNotMet(const std::vector<Row> &rows)
{
    int count = 0;
    for (const Row &row : rows)
        count += !measured(row) || (!row.target.empty() && !row.met);
    return count;
}

} // namespace sayvane::bench
