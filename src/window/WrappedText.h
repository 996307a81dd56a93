// SPDX-License-Identifier: MIT
// A plain text wrapped into rows at a width, laid out only where it is
// looked at. Nothing here ever walks the whole text: setting a text of a
// billion characters costs no more than setting a short one.
//
// The text is cut into pieces that are laid out one at a time. A piece ends
// at a paragraph break (CR LF, a lone CR or a lone LF) and, inside a long
// paragraph, near every multiple of kPieceLength characters, just after a
// space where there is one. Those cuts depend only on the characters around
// them, so the piece that holds any position is found by looking at most a
// few thousand characters around it. A row never runs across a cut; inside
// a piece, rows wrap at word boundaries.
#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sayvane {

class WrappedText
{
public:
    static constexpr qsizetype kPieceLength = 4096;

    // [start, end) of the text, holding no paragraph break.
    struct Piece
    {
        qsizetype start = 0;
        qsizetype end = 0;
        bool operator==(const Piece &) const = default;
    };
    // One row on screen: a line of a piece's layout.
    struct Row
    {
        Piece piece;
        int line = 0;
        bool operator==(const Row &) const = default;
    };

    // Shares the text; no copy, no scan.
    void setText(const QString &text);
    const QString &text() const { return m_text; }
    qsizetype length() const { return m_text.size(); }
    // Forgets every layout when the font or the width changes.
    void setFormat(const QFont &font, int width);
    int rowHeight() const { return m_rowHeight; }

    // A position between the CR and the LF of a break becomes the one
    // before the CR; anything outside the text is clamped into it.
    qsizetype normalized(qsizetype position) const;

    // The piece that holds a position: at a cut inside a paragraph the one
    // that begins there, at a paragraph break the one that ends there.
    Piece pieceAt(qsizetype position) const;
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

    // The next or previous caret position, by character (a surrogate pair
    // or a grapheme cluster is one step) or by word; a paragraph break is
    // one step.
    qsizetype nextPosition(qsizetype position, QTextLayout::CursorMode mode) const;
    qsizetype previousPosition(qsizetype position, QTextLayout::CursorMode mode) const;
    // The word, run of spaces or single mark around a position.
    std::pair<qsizetype, qsizetype> wordAt(qsizetype position) const;
    // The paragraph around a position, without its break.
    std::pair<qsizetype, qsizetype> paragraphAt(qsizetype position) const;

private:
    bool isBreak(qsizetype position) const;
    std::optional<qsizetype> cutNear(qsizetype cell) const;
    qsizetype pieceStart(qsizetype position) const;
    qsizetype pieceEnd(qsizetype start) const;
    std::optional<Piece> nextPiece(const Piece &piece) const;
    std::optional<Piece> previousPiece(const Piece &piece) const;

    QString m_text;
    QFont m_font;
    int m_width = 1;
    int m_rowHeight = 1;
    // Recently laid-out pieces by their start. Shared, so that dropping the
    // oldest never pulls a layout from under a caller still using it.
    mutable std::unordered_map<qsizetype, std::shared_ptr<const QTextLayout>> m_layouts;
    mutable std::vector<qsizetype> m_layoutOrder;
};

} // namespace sayvane
