// SPDX-License-Identifier: MIT
#include "QuotesView.h"

#include "QuotesViewAccessible.h"

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

QuotesView::QuotesView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    static const bool accessible = (QAccessible::installFactory(quotesViewAccessibleFactory), true);
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

QuotesView::~QuotesView() = default;

void QuotesView::setPlainText(const QString &text)
{
    const auto selectionBefore = selectionRange();
    m_wrapped.setText(text);
    m_anchor = m_caret = 0;
    m_column = 0;
    m_top = 0;
    updateScrollBar();
    restartBlinking();
    viewport()->update();
    announceCaret(selectionBefore);
}

int QuotesView::textWidth() const
{
    return std::max(1, viewport()->width() - 2 * kMargin);
}

int QuotesView::rowsInView() const
{
    return std::max(1, (viewport()->height() - 2 * kMargin) / m_wrapped.rowHeight());
}

void QuotesView::reformat()
{
    m_wrapped.setFormat(font(), textWidth());
    updateScrollBar();
    viewport()->update();
}

// The scroll bar counts characters (scaled down for texts longer than its
// range): rows cannot be counted without laying out the whole text.
void QuotesView::updateScrollBar()
{
    const WrappedText::Row lastTopRow = m_wrapped.movedBy(m_wrapped.lastRow(), -(rowsInView() - 1));
    m_lastTop = m_wrapped.rowStart(lastTopRow);
    m_scale = std::max<qsizetype>(1, (m_lastTop >> 30) + 1);
    m_top = std::min(m_wrapped.rowStart(m_wrapped.rowAt(m_top)), m_lastTop);
    QScrollBar *bar = verticalScrollBar();
    const QSignalBlocker blocker(bar);
    bar->setRange(0, valueOf(m_lastTop));
    const qsizetype pageCharacters =
        m_wrapped.rowEnd(m_wrapped.movedBy(m_wrapped.rowAt(m_top), rowsInView() - 1)) - m_top;
    bar->setPageStep(std::max(1, int(std::min<qsizetype>(pageCharacters / m_scale, INT_MAX))));
    bar->setSingleStep(std::max(1, bar->pageStep() / rowsInView()));
    bar->setValue(valueOf(m_top));
}

int QuotesView::valueOf(qsizetype position) const
{
    return int(position / m_scale);
}

void QuotesView::setTop(qsizetype position)
{
    m_top = std::min(m_wrapped.rowStart(m_wrapped.rowAt(position)), m_lastTop);
    const QSignalBlocker blocker(verticalScrollBar());
    verticalScrollBar()->setValue(valueOf(m_top));
    viewport()->update();
}

void QuotesView::scrollRows(qsizetype rows)
{
    setTop(m_wrapped.rowStart(m_wrapped.movedBy(m_wrapped.rowAt(m_top), rows)));
}

void QuotesView::scrollContentsBy(int, int)
{
    // The user moved the scroll bar.
    const int value = verticalScrollBar()->value();
    if (value == valueOf(m_top))
        return;
    setTop(value == verticalScrollBar()->maximum() ? m_lastTop : qsizetype(value) * m_scale);
}

void QuotesView::ensureVisible(qsizetype position)
{
    const WrappedText::Row row = m_wrapped.rowAt(position);
    const qsizetype start = m_wrapped.rowStart(row);
    if (start < m_top) {
        setTop(start);
        return;
    }
    const int rows = rowsInView();
    const qsizetype lastShown = m_wrapped.rowStart(m_wrapped.movedBy(m_wrapped.rowAt(m_top), rows - 1));
    if (start > lastShown)
        setTop(m_wrapped.rowStart(m_wrapped.movedBy(row, -(rows - 1))));
}

void QuotesView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const auto [selectionStart, selectionEnd] = selectionRange();
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));
    const int rowHeight = m_wrapped.rowHeight();
    const int height = viewport()->height();
    const bool caretShown = m_caretOn && hasFocus();
    const WrappedText::Row caretRow = m_wrapped.rowAt(m_caret);

    // Piece by piece from the top row down; each piece draws only its rows
    // from `y` on.
    int y = kMargin;
    std::optional<WrappedText::Row> row = m_wrapped.rowAt(m_top);
    while (row && y < height) {
        const WrappedText::Piece piece = row->piece;
        const std::shared_ptr<const QTextLayout> layout = m_wrapped.layoutOf(piece);
        const QPointF origin(kMargin, y - row->line * rowHeight);
        QList<QTextLayout::FormatRange> selections;
        const qsizetype from = std::max(selectionStart, piece.start);
        const qsizetype to = std::min(selectionEnd, piece.end);
        if (from < to)
            selections.append({int(from - piece.start), int(to - from), selected});
        layout->draw(&painter, origin, selections, QRectF(0, y + 1, viewport()->width(), height - y));
        if (caretShown && caretRow.piece == piece && caretRow.line >= row->line)
            layout->drawCursor(&painter, origin, int(m_caret - piece.start), 1);
        const int lines = m_wrapped.lineCount(piece);
        y += (lines - row->line) * rowHeight;
        row = m_wrapped.nextRow({piece, lines - 1});
    }
}

void QuotesView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    reformat();
}

void QuotesView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        reformat();
}

void QuotesView::wheelEvent(QWheelEvent *event)
{
    // Whole rows, keeping what is left of a small turn for the next one.
    const int pixels = event->pixelDelta().isNull()
                           ? event->angleDelta().y() * QApplication::wheelScrollLines() * m_wrapped.rowHeight() / 120
                           : event->pixelDelta().y();
    m_wheelRemainder -= pixels;
    const int rows = m_wheelRemainder / m_wrapped.rowHeight();
    m_wheelRemainder -= rows * m_wrapped.rowHeight();
    scrollRows(rows);
    event->accept();
}

QRect QuotesView::characterRect(qsizetype position) const
{
    const WrappedText::Row row = m_wrapped.rowAt(position);
    const qsizetype start = m_wrapped.rowStart(row);
    if (start < m_top)
        return {};
    int index = 0;
    for (WrappedText::Row shown = m_wrapped.rowAt(m_top); !(shown == row); ++index) {
        const std::optional<WrappedText::Row> next = m_wrapped.nextRow(shown);
        if (!next || index > rowsInView())
            return {};
        shown = *next;
    }
    const qreal left = m_wrapped.xOf(row, position);
    const qsizetype after =
        std::min(m_wrapped.nextPosition(position, QTextLayout::SkipCharacters), m_wrapped.rowEnd(row));
    const qreal right = after > position ? m_wrapped.xOf(row, after) : left + 1;
    const int top = kMargin + index * m_wrapped.rowHeight();
    return QRect(QPoint(kMargin + int(left), top), QPoint(kMargin + int(right) - 1, top + m_wrapped.rowHeight() - 1));
}

qsizetype QuotesView::positionAt(QPoint point) const
{
    const int offset = point.y() - kMargin;
    const int rows = offset < 0 ? -1 : offset / m_wrapped.rowHeight();
    const WrappedText::Row row = m_wrapped.movedBy(m_wrapped.rowAt(m_top), rows);
    return m_wrapped.positionAt(row, point.x() - kMargin);
}

} // namespace sayvane
