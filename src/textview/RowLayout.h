// SPDX-License-Identifier: MIT
// The rows on screen: each piece of the text laid out at a width, kept in
// a small cache, and the walk from row to row. Only the pieces that are
// looked at are ever laid out. A row never runs across a cut between two
// pieces; inside a piece, rows wrap at word boundaries.
#pragma once

#include "TextPieces.h"

#include <QFont>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace sayvane {

class RowLayout
{
public:
    using Piece = TextPieces::Piece;
    // One row on screen: a line of a piece's layout.
    struct Row
    {
        Piece piece;
        int line = 0;
        bool operator==(const Row &) const = default;
    };

    // Forgets every layout.
    void setText(const QString &text);
    const TextPieces &pieces() const { return m_pieces; }
    const QString &text() const { return m_pieces.text(); }
    qsizetype length() const { return m_pieces.length(); }
    qsizetype normalized(qsizetype position) const { return m_pieces.normalized(position); }

    // Forgets every layout when the font or the width changes.
    void setFormat(const QFont &font, int width);
    int rowHeight() const { return m_rowHeight; }

    std::shared_ptr<const QTextLayout> layoutOf(const Piece &piece) const;
    int lineCount(const Piece &piece) const;

    Row rowAt(qsizetype position) const;
    std::optional<Row> nextRow(const Row &row) const;
    std::optional<Row> previousRow(const Row &row) const;
    // Walks up to `count` rows down (or up, when negative); stops at either
    // end of the text.
    Row movedBy(Row row, qsizetype count) const;
    Row lastRow() const { return rowAt(length()); }

    qsizetype rowStart(const Row &row) const;
    // Just past the row's last character (its trailing space included).
    qsizetype rowEnd(const Row &row) const;
    // Where the End key leaves the caret: before the space a wrapped row
    // ends with, so that the caret stays on that row.
    qsizetype rowEndCaret(const Row &row) const;
    qreal xOf(const Row &row, qsizetype position) const;
    qsizetype positionAt(const Row &row, qreal x) const;

private:
    void forgetLayouts() const;

    TextPieces m_pieces;
    QFont m_font;
    int m_width = 1;
    int m_rowHeight = 1;
    // Recently laid-out pieces by their start. Shared, so that dropping the
    // oldest never pulls a layout from under a caller still using it.
    mutable std::unordered_map<qsizetype, std::shared_ptr<const QTextLayout>> m_layouts;
    mutable std::vector<qsizetype> m_layoutOrder;
};

} // namespace sayvane
