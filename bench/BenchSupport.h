// SPDX-License-Identifier: MIT
// What the benchmark's parts share: timing by the fastest of several runs,
// and message boxes that show nothing.
#pragma once

#include "BenchTable.h"
#include "MessageBoxesAndExit.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QString;

namespace sayvane {
class frmMain;
}

namespace sayvane::bench {

constexpr int kRuns = 9;

class SilentMessageBoxes : public MessageBoxesAndExit
{
public:
    void showMessage(QWidget *, const Message &) override {}
    void endProgram(int) override {}
};

// The main window opened on the collection as the program opens it, its
// messages unshown; the benchmark ends where it cannot load.
std::unique_ptr<frmMain> openedWindow(const QString &collectionFolder);

inline double milliseconds(const std::function<void()> &operation)
{
    const auto start = std::chrono::steady_clock::now();
    operation();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The fastest of kRuns of ours and of a reference, taken in turns so that
// a machine that slows down or speeds up meanwhile affects both alike.
inline std::pair<double, double> fastestInTurns(const std::function<void()> &ours,
                                                const std::function<void()> &reference)
{
    ours();
    reference();
    double bestOurs = INFINITY, bestReference = INFINITY;
    for (int run = 0; run < kRuns; ++run) {
        bestOurs = std::min(bestOurs, milliseconds(ours));
        bestReference = std::min(bestReference, milliseconds(reference));
    }
    return {bestOurs, bestReference};
}

// One warm-up run, then the fastest of kRuns.
inline double fastest(const std::function<void()> &operation)
{
    operation();
    double best = INFINITY;
    for (int run = 0; run < kRuns; ++run)
        best = std::min(best, milliseconds(operation));
    return best;
}

// One run of a one-time case: making its files or its text costs far more
// than the case itself, so each is timed once, after one warm-up.
inline double once(const std::function<void()> &prepare, const std::function<void()> &operation)
{
    prepare();
    operation();
    prepare();
    return milliseconds(operation);
}

// The rows of the cases that files no one should write make: each the
// time of the whole click or start, from a scratch folder of its own.
std::vector<Row> hostileCaseRows(const QString &scratch);
// The rows of the quotations area and the text boxes with huge texts.
std::vector<Row> textViewRows();
// The first frame of the window against an empty window, each drawn by
// this program started again as `program --first-frame WHICH COLLECTION`.
std::vector<Row> firstFrameRows(const char *program, const QString &sample, const QString &scratch);
// The commands at the terminal, run as the program `program` on the
// collection, against cp, wc -l and grep -F in the same run; the label
// ends each row's name.
std::vector<Row> commandRows(const char *program, const QString &collection, const std::string &label,
                             const std::string &commonWord);
int drawFirstFrame(int argc, char **argv);

} // namespace sayvane::bench
