// SPDX-License-Identifier: MIT
#include "TextPieces.h"

#include <algorithm>

namespace sayvane {
namespace {

static_assert(TextPieces::kLookBack + 1 < TextPieces::kPieceLength);

bool isSpace(QChar character)
{
    return character == u' ' || character == u'\t';
}

} // namespace

bool TextPieces::isBreakAt(qsizetype position) const
{
    return position >= 0 && position < length() && isBreakCharacter(m_text[position]);
}

qsizetype TextPieces::afterBreak(qsizetype position) const
{
    const bool crlf = m_text[position] == u'\r' && position + 1 < length() && m_text[position + 1] == u'\n';
    return position + (crlf ? 2 : 1);
}

qsizetype TextPieces::beforeBreak(qsizetype position) const
{
    const bool crlf = position >= 2 && m_text[position - 1] == u'\n' && m_text[position - 2] == u'\r';
    return position - (crlf ? 2 : 1);
}

qsizetype TextPieces::normalized(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, length());
    if (position > 0 && position < length() && m_text[position - 1] == u'\r' && m_text[position] == u'\n')
        --position;
    return position;
}

// The cut near cell * kPieceLength, if a long paragraph runs across it:
// just after the last space within kLookBack characters before that point,
// or at the point itself, never inside a surrogate pair.
std::optional<qsizetype> TextPieces::cutNear(qsizetype cell) const
{
    const qsizetype point = cell * kPieceLength;
    if (point >= length())
        return std::nullopt;
    qsizetype cut = point;
    for (qsizetype i = point - 1; i >= std::max<qsizetype>(point - kLookBack, 1); --i) {
        if (isBreakCharacter(m_text[i]))
            break;
        if (isSpace(m_text[i])) {
            cut = i + 1;
            break;
        }
    }
    if (m_text[cut - 1].isHighSurrogate() && m_text[cut].isLowSurrogate())
        --cut;
    if (cut <= 0 || isBreakCharacter(m_text[cut - 1]) || isBreakCharacter(m_text[cut]))
        return std::nullopt;
    return cut;
}

// The start of the piece holding `position`: just after the last break
// before it, or the last cut at or before it, whichever is later. Cuts lie
// one to a cell, so the search looks back cell by cell and ends within a
// cell or two: a cell without a cut has a break next to its point.
qsizetype TextPieces::pieceStart(qsizetype position) const
{
    qsizetype scanned = position; // no break in [scanned, position)
    for (qsizetype cell = (position + kLookBack) / kPieceLength;; --cell) {
        const std::optional<qsizetype> cut = cell == 0 ? std::optional<qsizetype>(0) : cutNear(cell);
        const bool usable = cut && *cut <= position;
        const qsizetype low = usable ? *cut : std::min(scanned, cell * kPieceLength - kLookBack - 1);
        for (qsizetype i = scanned; i > low; --i) {
            if (isBreakCharacter(m_text[i - 1]))
                return i;
        }
        if (usable)
            return *cut;
        scanned = low;
    }
}

// The end of the piece that begins at `start`: the first break after it,
// or the first cut after it, whichever comes first.
qsizetype TextPieces::pieceEnd(qsizetype start) const
{
    qsizetype scanned = start; // no break in [start, scanned)
    for (qsizetype cell = start / kPieceLength + 1;; ++cell) {
        const std::optional<qsizetype> cut = cutNear(cell);
        const bool usable = cut && *cut > start;
        const qsizetype high = usable ? *cut : std::min(cell * kPieceLength, length());
        for (qsizetype i = scanned; i < high; ++i) {
            if (isBreakCharacter(m_text[i]))
                return i;
        }
        if (usable || high == length())
            return high;
        scanned = std::max(scanned, high);
    }
}

TextPieces::Piece TextPieces::pieceAt(qsizetype position) const
{
    const qsizetype start = pieceStart(normalized(position));
    return {start, pieceEnd(start)};
}

std::optional<TextPieces::Piece> TextPieces::nextPiece(const Piece &piece) const
{
    if (piece.end >= length())
        return std::nullopt;
    const qsizetype next = isBreakAt(piece.end) ? afterBreak(piece.end) : piece.end;
    return Piece{next, pieceEnd(next)};
}

std::optional<TextPieces::Piece> TextPieces::previousPiece(const Piece &piece) const
{
    const qsizetype start = piece.start;
    if (start == 0)
        return std::nullopt;
    if (!isBreakCharacter(m_text[start - 1])) // a cut inside a paragraph
        return Piece{pieceStart(start - 1), start};
    const qsizetype breakStart = beforeBreak(start);
    return Piece{pieceStart(breakStart), breakStart};
}

} // namespace sayvane
