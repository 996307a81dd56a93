// SPDX-License-Identifier: MIT
#include "TextBoundaries.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace sayvane {
namespace {

// The item of the finder's kind around a position, within its piece. At
// the end of a piece, a word is the last one before it, while a sentence
// is the empty one after it.
TextRange itemAround(const TextPieces &pieces, qsizetype position, QTextBoundaryFinder::BoundaryType type)
{
    const TextPieces::Piece piece = pieces.pieceAt(position);
    const QString text = pieces.textOf(piece);
    if (text.isEmpty())
        return {piece.start, piece.start};
    const qsizetype last = type == QTextBoundaryFinder::Word ? text.size() - 1 : text.size();
    const int at = int(std::min(pieces.normalized(position) - piece.start, last));
    QTextBoundaryFinder finder(type, text);
    finder.setPosition(at);
    const qsizetype begin = finder.isAtBoundary() ? at : finder.toPreviousBoundary();
    finder.setPosition(at);
    const qsizetype end = finder.toNextBoundary();
    return {piece.start + std::max<qsizetype>(begin, 0), piece.start + (end < 0 ? text.size() : end)};
}

} // namespace

qsizetype nextCaretPosition(const RowLayout &rows, qsizetype position, QTextLayout::CursorMode mode)
{
    position = rows.normalized(position);
    const TextPieces::Piece piece = rows.pieceAt(position);
    if (position < piece.end)
        return piece.start + rows.layoutOf(piece)->nextCursorPosition(int(position - piece.start), mode);
    const std::optional<TextPieces::Piece> next = rows.nextPiece(piece);
    return next ? next->start : position;
}

qsizetype previousCaretPosition(const RowLayout &rows, qsizetype position, QTextLayout::CursorMode mode)
{
    position = rows.normalized(position);
    const TextPieces::Piece piece = rows.pieceAt(position);
    if (position > piece.start)
        return piece.start + rows.layoutOf(piece)->previousCursorPosition(int(position - piece.start), mode);
    const std::optional<TextPieces::Piece> previous = rows.previousPiece(piece);
    if (!previous)
        return position;
    if (previous->end == piece.start) // the same paragraph goes on
        return previous->start +
               rows.layoutOf(*previous)->previousCursorPosition(int(position - previous->start), mode);
    return previous->end;
}

TextRange characterAt(const RowLayout &rows, qsizetype position)
{
    return {position, std::max(position, nextCaretPosition(rows, position, QTextLayout::SkipCharacters))};
}

TextRange wordAt(const TextPieces &pieces, qsizetype position)
{
    return itemAround(pieces, position, QTextBoundaryFinder::Word);
}

TextRange sentenceAt(const TextPieces &pieces, qsizetype position)
{
    return itemAround(pieces, position, QTextBoundaryFinder::Sentence);
}

TextRange paragraphAt(const TextPieces &pieces, qsizetype position)
{
    const TextPieces::Piece paragraph = pieces.paragraphAt(position).value_or(pieces.pieceAt(position));
    return {paragraph.start, paragraph.end};
}

} // namespace sayvane
