// SPDX-License-Identifier: MIT
// A row of the benchmark's table and how the table is printed: a figure
// that could not be measured is said so, and counts as not met.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sayvane::bench {

struct Row
{
    std::string operation;
    std::optional<double> ours; // nothing: not measured
    std::optional<double> reference;
    std::string referenceName; // empty: the row has no reference
    std::string target; // empty: a figure for comparison, with no target
    bool met; // whether the measured figures meet the target
};

// Every figure the row needs was measured.
bool measured(const Row &row);
// The row as a line of the Markdown table.
std::string tableLine(const Row &row);
// The whole table, and how many rows were not met or not measured.
std::string table(const std::vector<Row> &rows);
int rowsNotMet(const std::vector<Row> &rows);

} // namespace sayvane::bench
