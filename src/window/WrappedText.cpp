// SPDX-License-Identifier: MIT
#include "WrappedText.h"

#include <QFontMetrics>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace sayvane {
namespace {

// How far a cut may move back to fall just after a space.
constexpr qsizetype kLookBack = 256;
static_assert(kLookBack + 1 < WrappedText::kPieceLength);
// Laid-out pieces kept at once: a screenful needs at most one a row, and a
// laid-out piece of 4,096 characters holds a few hundred kilobytes.
constexpr std::size_t kCachedLayouts = 64;

bool isBreakCharacter(QChar character)
{
    return character == u'\r' || character == u'\n';
}

bool isSpace(QChar character)
{
    return character == u' ' || character == u'\t';
}

} // namespace

void WrappedText::setText(const QString &text)
{
    m_text = text;
    m_layouts.clear();
    m_layoutOrder.clear();
}

void WrappedText::setFormat(const QFont &font, int width)
{
    m_font = font;
    m_width = std::max(1, width);
    m_rowHeight = std::max(1, QFontMetrics(font).lineSpacing());
    m_layouts.clear();
    m_layoutOrder.clear();
}

bool WrappedText::isBreak(qsizetype position) const
{
    return position < length() && isBreakCharacter(m_text[position]);
}

qsizetype WrappedText::normalized(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, length());
    if (position > 0 && position < length() && m_text[position - 1] == u'\r' && m_text[position] == u'\n')
        --position;
    return position;
}

// The cut near cell * kPieceLength, if a long paragraph runs across it:
// just after the last space within kLookBack characters before that point,
// or at the point itself, never inside a surrogate pair.
std::optional<qsizetype> WrappedText::cutNear(qsizetype cell) const
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
qsizetype WrappedText::pieceStart(qsizetype position) const
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
qsizetype WrappedText::pieceEnd(qsizetype start) const
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

WrappedText::Piece WrappedText::pieceAt(qsizetype position) const
{
    const qsizetype start = pieceStart(normalized(position));
    return {start, pieceEnd(start)};
}

std::optional<WrappedText::Piece> WrappedText::nextPiece(const Piece &piece) const
{
    qsizetype next = piece.end;
    if (next >= length())
        return std::nullopt;
    if (isBreak(next))
        next += m_text[next] == u'\r' && next + 1 < length() && m_text[next + 1] == u'\n' ? 2 : 1;
    return Piece{next, pieceEnd(next)};
}

std::optional<WrappedText::Piece> WrappedText::previousPiece(const Piece &piece) const
{
    const qsizetype start = piece.start;
    if (start == 0)
        return std::nullopt;
    if (!isBreakCharacter(m_text[start - 1])) // a cut inside a paragraph
        return Piece{pieceStart(start - 1), start};
    qsizetype breakStart = start - 1;
    if (m_text[breakStart] == u'\n' && breakStart > 0 && m_text[breakStart - 1] == u'\r')
        --breakStart;
    return Piece{pieceStart(breakStart), breakStart};
}

std::shared_ptr<const QTextLayout> WrappedText::layoutOf(const Piece &piece) const
{
    if (const auto found = m_layouts.find(piece.start); found != m_layouts.end())
        return found->second;
    auto layout = std::make_shared<QTextLayout>(m_text.sliced(piece.start, piece.end - piece.start), m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    // Every row is the same height, so that rows can be counted instead of
    // measured.
    int y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, y));
        y += m_rowHeight;
    }
    layout->endLayout();

    if (m_layouts.size() >= kCachedLayouts) {
        m_layouts.erase(m_layoutOrder.front());
        m_layoutOrder.erase(m_layoutOrder.begin());
    }
    m_layoutOrder.push_back(piece.start);
    return m_layouts.emplace(piece.start, std::move(layout)).first->second;
}

int WrappedText::lineCount(const Piece &piece) const
{
    return std::max(1, layoutOf(piece)->lineCount());
}

WrappedText::Row WrappedText::rowAt(qsizetype position) const
{
    position = normalized(position);
    const Piece piece = pieceAt(position);
    const int line = layoutOf(piece)->lineForTextPosition(int(position - piece.start)).lineNumber();
    return {piece, std::clamp(line, 0, lineCount(piece) - 1)};
}

std::optional<WrappedText::Row> WrappedText::nextRow(const Row &row) const
{
    if (row.line + 1 < lineCount(row.piece))
        return Row{row.piece, row.line + 1};
    if (const std::optional<Piece> next = nextPiece(row.piece))
        return Row{*next, 0};
    return std::nullopt;
}

std::optional<WrappedText::Row> WrappedText::previousRow(const Row &row) const
{
    if (row.line > 0)
        return Row{row.piece, row.line - 1};
    if (const std::optional<Piece> previous = previousPiece(row.piece))
        return Row{*previous, lineCount(*previous) - 1};
    return std::nullopt;
}

WrappedText::Row WrappedText::movedBy(Row row, qsizetype count) const
{
    for (; count > 0; --count) {
        const std::optional<Row> next = nextRow(row);
        if (!next)
            break;
        row = *next;
    }
    for (; count < 0; ++count) {
        const std::optional<Row> previous = previousRow(row);
        if (!previous)
            break;
        row = *previous;
    }
    return row;
}

qsizetype WrappedText::rowStart(const Row &row) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    return row.piece.start + (line.isValid() ? line.textStart() : 0);
}

qsizetype WrappedText::rowEnd(const Row &row) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    return line.isValid() ? row.piece.start + line.textStart() + line.textLength() : row.piece.start;
}

qsizetype WrappedText::rowEndCaret(const Row &row) const
{
    const qsizetype end = rowEnd(row);
    const bool lastOfParagraph = row.line + 1 >= lineCount(row.piece) && (end == length() || isBreak(end));
    if (!lastOfParagraph && end > rowStart(row) && isSpace(m_text[end - 1]))
        return end - 1;
    return end;
}

qreal WrappedText::xOf(const Row &row, qsizetype position) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    return line.isValid() ? line.cursorToX(int(position - row.piece.start)) : 0;
}

qsizetype WrappedText::positionAt(const Row &row, qreal x) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    if (!line.isValid())
        return row.piece.start;
    return std::min(row.piece.start + line.xToCursor(x), rowEndCaret(row));
}

qsizetype WrappedText::nextPosition(qsizetype position, QTextLayout::CursorMode mode) const
{
    position = normalized(position);
    const Piece piece = pieceAt(position);
    if (position < piece.end)
        return piece.start + layoutOf(piece)->nextCursorPosition(int(position - piece.start), mode);
    const std::optional<Piece> next = nextPiece(piece);
    return next ? next->start : position;
}

qsizetype WrappedText::previousPosition(qsizetype position, QTextLayout::CursorMode mode) const
{
    position = normalized(position);
    const Piece piece = pieceAt(position);
    if (position > piece.start)
        return piece.start + layoutOf(piece)->previousCursorPosition(int(position - piece.start), mode);
    const std::optional<Piece> previous = previousPiece(piece);
    if (!previous)
        return position;
    if (previous->end == piece.start) // the same paragraph goes on
        return previous->start + layoutOf(*previous)->previousCursorPosition(int(position - previous->start), mode);
    return previous->end;
}

std::pair<qsizetype, qsizetype> WrappedText::wordAt(qsizetype position) const
{
    const Piece piece = pieceAt(position);
    const QString text = m_text.sliced(piece.start, piece.end - piece.start);
    if (text.isEmpty())
        return {piece.start, piece.start};
    const int at = int(std::min(normalized(position) - piece.start, text.size() - 1));
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(at);
    const qsizetype begin = finder.isAtBoundary() ? at : finder.toPreviousBoundary();
    finder.setPosition(at);
    const qsizetype end = finder.toNextBoundary();
    return {piece.start + std::max<qsizetype>(begin, 0), piece.start + (end < 0 ? text.size() : end)};
}

std::pair<qsizetype, qsizetype> WrappedText::paragraphAt(qsizetype position) const
{
    qsizetype begin = normalized(position);
    qsizetype end = begin;
    while (begin > 0 && !isBreakCharacter(m_text[begin - 1]))
        --begin;
    while (end < length() && !isBreakCharacter(m_text[end]))
        ++end;
    return {begin, end};
}

} // namespace sayvane
