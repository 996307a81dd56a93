// SPDX-License-Identifier: MIT
// Text, geometry, scrolling and painting of the read-only text view.
#include "ReadOnlyTextView.h"

#include "Accessibility.h"
#include "TextBoundaries.h"

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace sayvane {
namespace {

constexpr int kMargin = 4; // between the frame and the text

} // namespace

ReadOnlyTextView::ReadOnlyTextView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    static const bool accessible = (QAccessible::installFactory(readOnlyTextViewAccessibleFactory), true);
    Q_UNUSED(accessible);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Line and page steps move by rows, which the scroll bar cannot count.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
        case QAbstractSlider::SliderSingleStepSub:
            scrollRows(action == QAbstractSlider::SliderSingleStepAdd ? 1 : -1);
            break;
        case QAbstractSlider::SliderPageStepAdd:
        case QAbstractSlider::SliderPageStepSub:
            scrollRows((action == QAbstractSlider::SliderPageStepAdd ? 1 : -1) * std::max(1, rowsInView() - 1));
            break;
        default:
            return;
        }
        verticalScrollBar()->setSliderPosition(valueOf(m_top));
    });
    reformat();
}

ReadOnlyTextView::~ReadOnlyTextView() = default;

void ReadOnlyTextView::setPlainText(const QString &text)
{
    withdrawSelection();
    m_shownEndTop = -1;
    m_rows.setText(text);
    m_column = 0;
    m_top = 0;
    updateScrollBar();
    changeSelection(Selection::at(0));
}

int ReadOnlyTextView::textWidth() const
{
    return std::max(1, viewport()->width() - 2 * kMargin);
}

int ReadOnlyTextView::rowsInView() const
{
    return std::max(1, (viewport()->height() - 2 * kMargin) / m_rows.rowHeight());
}

void ReadOnlyTextView::reformat()
{
    m_shownEndTop = -1;
    m_rows.setFormat(font(), textWidth());
    updateScrollBar();
    viewport()->update();
}

// The scroll bar counts rows where every row is counted. In a longer text,
// which is never laid out whole, it counts characters (scaled down for a
// text longer than its range). It stays shown, disabled while everything
// fits.
void ReadOnlyTextView::updateScrollBar()
{
    const RowLayout::Row lastTopRow = m_rows.movedBy(m_rows.lastRow(), -(rowsInView() - 1));
    m_lastTop = m_rows.rowStart(lastTopRow);
    m_scale = std::max<qsizetype>(1, (m_lastTop >> 30) + 1);
    m_top = std::min(m_rows.rowStart(m_rows.rowAt(m_top)), m_lastTop);
    QScrollBar *bar = verticalScrollBar();
    const QSignalBlocker blocker(bar);
    bar->setRange(0, valueOf(m_lastTop));
    if (m_rows.rowCount()) {
        bar->setPageStep(rowsInView());
        bar->setSingleStep(1);
    } else {
        const qsizetype pageCharacters = m_rows.rowEnd(m_rows.movedBy(m_rows.rowAt(m_top), rowsInView() - 1)) - m_top;
        bar->setPageStep(std::max(1, int(std::min<qsizetype>(pageCharacters / m_scale, INT_MAX))));
        bar->setSingleStep(std::max(1, bar->pageStep() / rowsInView()));
    }
    bar->setValue(valueOf(m_top));
    bar->setEnabled(m_lastTop > 0);
}

int ReadOnlyTextView::valueOf(qsizetype position) const
{
    if (m_rows.rowCount())
        return int(m_rows.rowNumber(m_rows.rowAt(position)));
    return int(position / m_scale);
}

qsizetype ReadOnlyTextView::positionOf(int value) const
{
    if (value >= verticalScrollBar()->maximum())
        return m_lastTop;
    if (m_rows.rowCount())
        return m_rows.rowStart(m_rows.rowByNumber(value));
    return qsizetype(value) * m_scale;
}

void ReadOnlyTextView::setTop(qsizetype position)
{
    m_top = std::min(m_rows.rowStart(m_rows.rowAt(position)), m_lastTop);
    const QSignalBlocker blocker(verticalScrollBar());
    verticalScrollBar()->setValue(valueOf(m_top));
    viewport()->update();
}

void ReadOnlyTextView::scrollRows(qsizetype rows)
{
    setTop(m_rows.rowStart(m_rows.movedBy(m_rows.rowAt(m_top), rows)));
}

void ReadOnlyTextView::scrollContentsBy(int, int)
{
    // The user moved the scroll bar.
    const int value = verticalScrollBar()->value();
    if (value == valueOf(m_top))
        return;
    setTop(positionOf(value));
}

void ReadOnlyTextView::ensureVisible(qsizetype position)
{
    const RowLayout::Row row = m_rows.rowAt(position);
    const qsizetype start = m_rows.rowStart(row);
    if (start < m_top) {
        setTop(start);
        return;
    }
    const int rows = rowsInView();
    const qsizetype lastShown = m_rows.rowStart(m_rows.movedBy(m_rows.rowAt(m_top), rows - 1));
    if (start > lastShown)
        setTop(m_rows.rowStart(m_rows.movedBy(row, -(rows - 1))));
}

void ReadOnlyTextView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const auto [selectionStart, selectionEnd] = m_selection.range();
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const int rowHeight = m_rows.rowHeight();
    const int height = viewport()->height();
    const bool caretShown = m_caretOn && hasFocus();
    const RowLayout::Row caretRow = m_rows.rowAt(m_selection.caret);

    // Piece by piece from the top row down; each piece draws only its rows
    // from `y` on.
    int y = kMargin;
    std::optional<RowLayout::Row> row = m_rows.rowAt(m_top);
    while (row && y < height) {
        const RowLayout::Piece piece = row->piece;
        const std::shared_ptr<const QTextLayout> layout = m_rows.layoutOf(piece);
        const QPointF origin(kMargin, y - row->line * rowHeight);
        QList<QTextLayout::FormatRange> selections;
        const qsizetype from = std::max(selectionStart, piece.start);
        const qsizetype to = std::min(selectionEnd, piece.end);
        if (from < to)
            selections.append({int(from - piece.start), int(to - from), selected});
        layout->draw(&painter, origin, selections, QRectF(0, y + 1, viewport()->width(), height - y));
        if (caretShown && caretRow.piece == piece && caretRow.line >= row->line)
            layout->drawCursor(&painter, origin, int(m_selection.caret - piece.start), 1);
        const int lines = m_rows.lineCount(piece);
        y += (lines - row->line) * rowHeight;
        row = m_rows.nextRow({piece, lines - 1});
    }
}

void ReadOnlyTextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    reformat();
}

void ReadOnlyTextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        reformat();
}

void ReadOnlyTextView::wheelEvent(QWheelEvent *event)
{
    // Whole rows, keeping what is left of a small turn for the next one.
    const int pixels = event->pixelDelta().isNull()
                           ? event->angleDelta().y() * QApplication::wheelScrollLines() * m_rows.rowHeight() / 120
                           : event->pixelDelta().y();
    m_wheelRemainder -= pixels;
    const int rows = m_wheelRemainder / m_rows.rowHeight();
    m_wheelRemainder -= rows * m_rows.rowHeight();
    scrollRows(rows);
    event->accept();
}

// Where the last row in view ends, found again only when the view has
// moved: a screen reader may ask for the rectangle of every character of
// a long stretch, and those out of view answer at once.
qsizetype ReadOnlyTextView::shownEnd() const
{
    if (m_shownEndTop != m_top) {
        m_shownEnd = m_rows.rowEnd(m_rows.movedBy(m_rows.rowAt(m_top), rowsInView()));
        m_shownEndTop = m_top;
    }
    return m_shownEnd;
}

QRect ReadOnlyTextView::characterRect(qsizetype position) const
{
    if (position < m_top || position > shownEnd())
        return {};
    const RowLayout::Row row = m_rows.rowAt(position);
    const qsizetype start = m_rows.rowStart(row);
    if (start < m_top)
        return {};
    int index = 0;
    for (RowLayout::Row shown = m_rows.rowAt(m_top); !(shown == row); ++index) {
        const std::optional<RowLayout::Row> next = m_rows.nextRow(shown);
        if (!next || index > rowsInView())
            return {};
        shown = *next;
    }
    const qreal left = m_rows.xOf(row, position);
    const qsizetype after = std::min(characterAt(m_rows, position).second, m_rows.rowEnd(row));
    const qreal right = after > position ? m_rows.xOf(row, after) : left + 1;
    const int top = kMargin + index * m_rows.rowHeight();
    return QRect(QPoint(kMargin + int(left), top), QPoint(kMargin + int(right) - 1, top + m_rows.rowHeight() - 1));
}

qsizetype ReadOnlyTextView::positionAt(QPoint point) const
{
    const int offset = point.y() - kMargin;
    const int rows = offset < 0 ? -1 : offset / m_rows.rowHeight();
    const RowLayout::Row row = m_rows.movedBy(m_rows.rowAt(m_top), rows);
    return m_rows.positionAt(row, point.x() - kMargin);
}

} // namespace sayvane
