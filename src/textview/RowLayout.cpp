// SPDX-License-Identifier: MIT
#include "RowLayout.h"

#include <QFontMetrics>

#include <algorithm>

namespace sayvane {
namespace {

// Laid-out pieces kept at once: a screenful needs at most one a row, and a
// laid-out piece of 4,096 characters holds a few hundred kilobytes.
constexpr std::size_t kCachedLayouts = 64;

bool isSpace(QChar character)
{
    return character == u' ' || character == u'\t';
}

} // namespace

void RowLayout::setText(const QString &text)
{
    m_pieces.setText(text);
    forgetLayouts();
}

void RowLayout::setFormat(const QFont &font, int width)
{
    m_font = font;
    m_width = std::max(1, width);
    m_rowHeight = std::max(1, QFontMetrics(font).lineSpacing());
    forgetLayouts();
}

void RowLayout::forgetLayouts() const
{
    m_layouts.clear();
    m_layoutOrder.clear();
}

std::shared_ptr<const QTextLayout> RowLayout::layoutOf(const Piece &piece) const
{
    if (const auto found = m_layouts.find(piece.start); found != m_layouts.end())
        return found->second;
    auto layout = std::make_shared<QTextLayout>(m_pieces.textOf(piece), m_font);
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

int RowLayout::lineCount(const Piece &piece) const
{
    return std::max(1, layoutOf(piece)->lineCount());
}

RowLayout::Row RowLayout::rowAt(qsizetype position) const
{
    position = normalized(position);
    const Piece piece = m_pieces.pieceAt(position);
    const int line = layoutOf(piece)->lineForTextPosition(int(position - piece.start)).lineNumber();
    return {piece, std::clamp(line, 0, lineCount(piece) - 1)};
}

std::optional<RowLayout::Row> RowLayout::nextRow(const Row &row) const
{
    if (row.line + 1 < lineCount(row.piece))
        return Row{row.piece, row.line + 1};
    if (const std::optional<Piece> next = m_pieces.nextPiece(row.piece))
        return Row{*next, 0};
    return std::nullopt;
}

std::optional<RowLayout::Row> RowLayout::previousRow(const Row &row) const
{
    if (row.line > 0)
        return Row{row.piece, row.line - 1};
    if (const std::optional<Piece> previous = m_pieces.previousPiece(row.piece))
        return Row{*previous, lineCount(*previous) - 1};
    return std::nullopt;
}

RowLayout::Row RowLayout::movedBy(Row row, qsizetype count) const
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

qsizetype RowLayout::rowStart(const Row &row) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    return row.piece.start + (line.isValid() ? line.textStart() : 0);
}

qsizetype RowLayout::rowEnd(const Row &row) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    return line.isValid() ? row.piece.start + line.textStart() + line.textLength() : row.piece.start;
}

qsizetype RowLayout::rowEndCaret(const Row &row) const
{
    const qsizetype end = rowEnd(row);
    const bool lastOfParagraph = row.line + 1 >= lineCount(row.piece) && (end == length() || m_pieces.isBreakAt(end));
    if (!lastOfParagraph && end > rowStart(row) && isSpace(text()[end - 1]))
        return end - 1;
    return end;
}

qreal RowLayout::xOf(const Row &row, qsizetype position) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    return line.isValid() ? line.cursorToX(int(position - row.piece.start)) : 0;
}

qsizetype RowLayout::positionAt(const Row &row, qreal x) const
{
    const QTextLine line = layoutOf(row.piece)->lineAt(row.line);
    if (!line.isValid())
        return row.piece.start;
    return std::min(row.piece.start + line.xToCursor(x), rowEndCaret(row));
}

} // namespace sayvane
