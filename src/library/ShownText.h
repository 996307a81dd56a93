// SPDX-License-Identifier: MIT
// The text of the quotations area, built once from the lines to show.
#pragma once

#include "DataFileReader.h"
#include "LineText.h"

#include <QString>

#include <optional>
#include <string_view>

namespace sayvane {

// The most characters the quotations area is given: 1 Gi, 2 GiB of text.
// A longer result stops at the last whole line that fits, so that no click
// needs more memory than that, whatever the file.
inline constexpr qsizetype kShownTextLimit = qsizetype(1) << 30;

// Why a shown text stopped before its end.
enum class ShownCut { None, AtLimit, OutOfMemory };

// Each shown line stands between two CR LF pairs, exactly as if the text
// were rebuilt as "text, CR LF, line, CR LF" for every line; each line is
// decoded in its own encoding straight into one growing text, never copied
// again.
class ShownText
{
public:
    explicit ShownText(qsizetype limit = kShownTextLimit);
    virtual ~ShownText() = default;
    ShownText(const ShownText &) = delete;
    ShownText &operator=(const ShownText &) = delete;
    // Shows the line after the others, unless it would take the text past
    // the limit or the memory runs out; from then on the text stays as it
    // is. With `onlyIn`, only a line of that encoding is shown. Virtual so
    // that a text can be given that notes when each line reaches it.
    virtual void show(std::string_view line, std::optional<LineEncoding> onlyIn = std::nullopt);
    // The same for a line whose reading is known already.
    void show(std::string_view line, LineReading reading);
    bool isEmpty() const { return m_text.isEmpty(); }
    ShownCut cut() const { return m_cut; }
    QString take();

private:
    // Capacity for a text of this size; false where memory ran out, which
    // cuts the text.
    bool makeRoom(qsizetype size);

    QString m_text;
    qsizetype m_limit;
    ShownCut m_cut = ShownCut::None;
};

// What a section display or a search gives the quotations area.
struct ShownQuotes
{
    QString text;                       // the new text of the quotations area
    bool found = false;                 // at least one line is shown
    ShownCut cut = ShownCut::None;      // the text stopped before the last line found
    std::optional<ReadFailure> failure; // set when the file could not be read
};

} // namespace sayvane
