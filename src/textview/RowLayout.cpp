// SPDX-License-Identifier: MIT
#include "RowLayout.h"

#include "ZeroWidth.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstdint>

namespace sayvane {
namespace {

// Laid-out pieces kept at once: a screenful needs at most one a row, and a
// laid-out piece of 4,096 characters holds a few hundred kilobytes.
constexpr std::size_t kCachedLayouts = 64;
// Paragraphs wrapped whole kept at once, beyond a counted text.
constexpr std::size_t kCachedParagraphs = 256;

} // namespace

void RowLayout::setText(const QString &text)
{
    m_pieces.setText(text);
    forgetLayouts();
    countRows();
}

void RowLayout::setFormat(const QFont &font, int width)
{
    m_font = font;
    m_width = std::max(1, width);
    m_rowHeight = std::max(1, QFontMetrics(font).lineSpacing());
    forgetLayouts();
    countRows();
}

void RowLayout::forgetLayouts() const
{
    m_layouts.clear();
    m_paragraphs.clear();
}

// Every row is the same height, so that rows can be counted instead of
// measured.
std::unique_ptr<QTextLayout> RowLayout::layOut(QString text) const
{
    auto layout = std::make_unique<QTextLayout>(joinSoftHyphens(text), m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    int y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, y));
        y += m_rowHeight;
    }
    layout->endLayout();
    return layout;
}

// Lays the paragraph out from its start, a piece at a time. Each piece is
// laid out a little beyond its end and keeps all its rows but the last,
// which the text beyond may change; the next piece begins where that row
// begins. The rows are therefore those of the whole paragraph, while no
// layout holds more than a piece.
const RowLayout::WrappedParagraph &RowLayout::wrapped(const Piece &paragraph) const
{
    if (const WrappedParagraph *known = m_paragraphs.find(paragraph.start))
        return *known;
    WrappedParagraph result{paragraph, {}, {0}};
    const auto add = [&result](qsizetype start, int rows) {
        result.pieceStarts.push_back(start);
        result.rowsBefore.push_back(result.rowsBefore.back() + rows);
    };
    qsizetype start = paragraph.start;
    qsizetype reach = TextPieces::kPieceLength;
    for (;;) {
        const qsizetype end = std::min(paragraph.end, start + reach);
        const std::unique_ptr<QTextLayout> layout = layOut(text().sliced(start, end - start));
        const int lines = std::max(1, layout->lineCount());
        if (end == paragraph.end) {
            add(start, lines);
            break;
        }
        if (lines < 2 && reach < kLongestRow) { // one row runs on beyond the piece
            reach *= 2;
            continue;
        }
        if (lines < 2) { // a row of zero-width characters, cut to keep layouts bounded
            add(start, 1);
            start = text()[end - 1].isHighSurrogate() ? end - 1 : end;
            continue;
        }
        add(start, lines - 1);
        start += layout->lineAt(lines - 1).textStart();
        reach = TextPieces::kPieceLength;
    }
    // A counted text keeps all its paragraphs.
    const std::size_t limit = length() > kCountedLength ? kCachedParagraphs : SIZE_MAX;
    return m_paragraphs.insert(paragraph.start, std::move(result), limit);
}

void RowLayout::countRows()
{
    m_paragraphStarts.clear();
    m_rowsBeforeParagraph.clear();
    if (length() > kCountedLength)
        return;
    qsizetype rows = 0;
    for (qsizetype start = 0;;) {
        const Piece paragraph = *m_pieces.paragraphAt(start);
        m_paragraphStarts.push_back(paragraph.start);
        m_rowsBeforeParagraph.push_back(rows);
        rows += wrapped(paragraph).rowsBefore.back();
        if (paragraph.end >= length())
            break;
        start = paragraph.end + TextPieces::kBreakLength;
    }
    m_rowsBeforeParagraph.push_back(rows);
}

RowLayout::Piece RowLayout::pieceAt(qsizetype position) const
{
    position = normalized(position);
    const std::optional<Piece> paragraph = m_pieces.paragraphAt(position);
    if (!paragraph)
        return m_pieces.pieceAt(position);
    const WrappedParagraph &whole = wrapped(*paragraph);
    const auto after = std::upper_bound(whole.pieceStarts.begin(), whole.pieceStarts.end(), position);
    const qsizetype start = *(after - 1);
    return {start, after == whole.pieceStarts.end() ? paragraph->end : *after};
}

std::optional<RowLayout::Piece> RowLayout::nextPiece(const Piece &piece) const
{
    if (piece.end >= length())
        return std::nullopt;
    return pieceAt(m_pieces.isBreakAt(piece.end) ? piece.end + TextPieces::kBreakLength : piece.end);
}

std::optional<RowLayout::Piece> RowLayout::previousPiece(const Piece &piece) const
{
    if (piece.start == 0)
        return std::nullopt;
    return pieceAt(m_pieces.isAfterBreak(piece.start) ? piece.start - TextPieces::kBreakLength : piece.start - 1);
}

std::shared_ptr<const QTextLayout> RowLayout::layoutOf(const Piece &piece) const
{
    if (const std::shared_ptr<const QTextLayout> *known = m_layouts.find(piece.start))
        return *known;
    return m_layouts.insert(piece.start, layOut(m_pieces.textOf(piece)), kCachedLayouts);
}

int RowLayout::lineCount(const Piece &piece) const
{
    return std::max(1, layoutOf(piece)->lineCount());
}

RowLayout::Row RowLayout::rowAt(qsizetype position) const
{
    position = normalized(position);
    const Piece piece = pieceAt(position);
    const int line = layoutOf(piece)->lineForTextPosition(int(position - piece.start)).lineNumber();
    return {piece, std::clamp(line, 0, lineCount(piece) - 1)};
}

std::optional<RowLayout::Row> RowLayout::nextRow(const Row &row) const
{
    if (row.line + 1 < lineCount(row.piece))
        return Row{row.piece, row.line + 1};
    if (const std::optional<Piece> next = nextPiece(row.piece))
        return Row{*next, 0};
    return std::nullopt;
}

std::optional<RowLayout::Row> RowLayout::previousRow(const Row &row) const
{
    if (row.line > 0)
        return Row{row.piece, row.line - 1};
    if (const std::optional<Piece> previous = previousPiece(row.piece))
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

std::optional<qsizetype> RowLayout::rowCount() const
{
    if (m_rowsBeforeParagraph.empty())
        return std::nullopt;
    return m_rowsBeforeParagraph.back();
}

qsizetype RowLayout::rowNumber(const Row &row) const
{
    const auto paragraph = std::upper_bound(m_paragraphStarts.begin(), m_paragraphStarts.end(), row.piece.start) - 1;
    const WrappedParagraph &whole = m_paragraphs.at(*paragraph);
    const auto piece = std::lower_bound(whole.pieceStarts.begin(), whole.pieceStarts.end(), row.piece.start);
    return m_rowsBeforeParagraph[std::size_t(paragraph - m_paragraphStarts.begin())] +
           whole.rowsBefore[std::size_t(piece - whole.pieceStarts.begin())] + row.line;
}

RowLayout::Row RowLayout::rowByNumber(qsizetype number) const
{
    number = std::clamp<qsizetype>(number, 0, *rowCount() - 1);
    const std::size_t paragraph =
        std::size_t(std::upper_bound(m_rowsBeforeParagraph.begin(), m_rowsBeforeParagraph.end() - 1, number) -
                    m_rowsBeforeParagraph.begin()) -
        1;
    const WrappedParagraph &whole = m_paragraphs.at(m_paragraphStarts[paragraph]);
    const qsizetype within = number - m_rowsBeforeParagraph[paragraph];
    const std::size_t piece =
        std::size_t(std::upper_bound(whole.rowsBefore.begin(), whole.rowsBefore.end() - 1, within) -
                    whole.rowsBefore.begin()) -
        1;
    const qsizetype start = whole.pieceStarts[piece];
    const Piece found{start, piece + 1 < whole.pieceStarts.size() ? whole.pieceStarts[piece + 1] : whole.paragraph.end};
    return {found, std::min(int(within - whole.rowsBefore[piece]), lineCount(found) - 1)};
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
    if (!lastOfParagraph && end > rowStart(row) && isBreakingSpace(text()[end - 1]))
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
