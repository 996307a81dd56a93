// SPDX-License-Identifier: MIT
// The rows on screen: the text wrapped at a width, laid out only where it
// is looked at, and the walk from row to row.
//
// A paragraph of at most TextPieces::kExactParagraphLength characters is
// wrapped whole: the first time it is looked at, it is laid out from its
// start in pieces of about kPieceLength characters, each beginning where a
// row of the whole paragraph begins, so its rows are exactly those of one
// layout of the whole paragraph. A longer paragraph is laid out in the
// pieces TextPieces cuts, and a row ends at each cut. Laid-out pieces are
// kept in a small cache. For a text of at most kCountedLength characters
// every row is counted when the text or the format is set, so that rows can
// be numbered.
#pragma once

#include "OldestFirstCache.h"
#include "TextPieces.h"

#include <QFont>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <vector>

namespace sayvane {

class RowLayout
{
public:
    using Piece = TextPieces::Piece;
    // The longest text whose rows are all counted.
    static constexpr qsizetype kCountedLength = qsizetype(128) << 10;
    // The longest row: only characters that take no width make a row this
    // long, and it is cut there.
    static constexpr qsizetype kLongestRow = 16 * TextPieces::kPieceLength;

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
    int width() const { return m_width; }

    // The pieces laid out one at a time: at a boundary inside a paragraph
    // the one that begins there, at a paragraph break the one that ends
    // there.
    Piece pieceAt(qsizetype position) const;
    std::optional<Piece> nextPiece(const Piece &piece) const;
    std::optional<Piece> previousPiece(const Piece &piece) const;
    std::shared_ptr<const QTextLayout> layoutOf(const Piece &piece) const;
    int lineCount(const Piece &piece) const;

    Row rowAt(qsizetype position) const;
    std::optional<Row> nextRow(const Row &row) const;
    std::optional<Row> previousRow(const Row &row) const;
    // Walks up to `count` rows down (or up, when negative); stops at either
    // end of the text.
    Row movedBy(Row row, qsizetype count) const;
    Row lastRow() const { return rowAt(length()); }

    // With every row counted: how many rows there are, which row a row is
    // (from 0), and the row of a number.
    std::optional<qsizetype> rowCount() const;
    qsizetype rowNumber(const Row &row) const;
    Row rowByNumber(qsizetype number) const;

    qsizetype rowStart(const Row &row) const;
    // Just past the row's last character (its trailing space included).
    qsizetype rowEnd(const Row &row) const;
    // Where the End key leaves the caret: before the space a wrapped row
    // ends with, so that the caret stays on that row.
    qsizetype rowEndCaret(const Row &row) const;
    qreal xOf(const Row &row, qsizetype position) const;
    qsizetype positionAt(const Row &row, qreal x) const;

private:
    // A paragraph wrapped whole: where each of its pieces begins, and how
    // many rows the pieces before each hold.
    struct WrappedParagraph
    {
        Piece paragraph;
        std::vector<qsizetype> pieceStarts;
        std::vector<qsizetype> rowsBefore; // one more entry: all its rows
    };

    std::unique_ptr<QTextLayout> layOut(QString text) const;
    const WrappedParagraph &wrapped(const Piece &paragraph) const;
    void countRows();
    void forgetLayouts() const;

    TextPieces m_pieces;
    QFont m_font;
    int m_width = 1;
    int m_rowHeight = 1;
    // Recently laid-out pieces by their start. Shared, so that dropping the
    // oldest never pulls a layout from under a caller still using it.
    mutable OldestFirstCache<qsizetype, std::shared_ptr<const QTextLayout>> m_layouts;
    // Paragraphs wrapped whole, by their start: recently met ones, or all of
    // a counted text.
    mutable OldestFirstCache<qsizetype, WrappedParagraph> m_paragraphs;
    // Of a counted text: each paragraph's start and the rows before it.
    std::vector<qsizetype> m_paragraphStarts;
    std::vector<qsizetype> m_rowsBeforeParagraph; // one more entry: all rows
};

} // namespace sayvane
