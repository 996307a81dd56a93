#include "QuotesView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>

namespace sayvane {
namespace {

constexpr int kMargin = 4;                // between the frame and the text
constexpr std::size_t kMaxLayouts = 2000; // laid-out paragraphs kept at once

} // namespace

QuotesView::QuotesView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    setPlainText(QString());
}

QuotesView::~QuotesView() = default;

void QuotesView::setPlainText(const QString &text)
{
    m_text = text;
    m_paragraphStarts.assign(1, 0);
    const QChar *characters = m_text.constData();
    const qsizetype size = m_text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t character = characters[i].unicode();
        if (character == u'\r' && i + 1 < size && characters[i + 1] == u'\n')
            ++i;
        else if (character != u'\r' && character != u'\n')
            continue;
        m_paragraphStarts.push_back(i + 1);
    }
    m_anchor = m_cursor = 0;
    m_top = m_topOffset = 0;
    forgetLayouts();
    viewport()->update();
}

int QuotesView::paragraphLength(int paragraph) const
{
    const qsizetype start = m_paragraphStarts[std::size_t(paragraph)];
    if (std::size_t(paragraph) + 1 == m_paragraphStarts.size())
        return int(m_text.size() - start);
    qsizetype end = m_paragraphStarts[std::size_t(paragraph) + 1] - 1; // the break's last character
    if (m_text[end] == u'\n' && end > start && m_text[end - 1] == u'\r')
        --end;
    return int(end - start);
}

int QuotesView::textWidth() const
{
    return std::max(1, viewport()->width() - 2 * kMargin);
}

QTextLayout &QuotesView::layoutOf(int paragraph) const
{
    auto found = m_layouts.find(paragraph);
    if (found != m_layouts.end())
        return *found->second;
    auto layout = std::make_unique<QTextLayout>(
        m_text.mid(m_paragraphStarts[std::size_t(paragraph)], paragraphLength(paragraph)), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const int lineSpacing = fontMetrics().lineSpacing();
    int y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(textWidth());
        line.setPosition(QPointF(0, y));
        y += lineSpacing;
    }
    layout->endLayout();
    return *m_layouts.emplace(paragraph, std::move(layout)).first->second;
}

int QuotesView::rowCountOf(int paragraph) const
{
    if (paragraph < 0 || paragraph >= paragraphCount())
        return 0;
    return std::max(1, layoutOf(paragraph).lineCount());
}

int QuotesView::heightOf(int paragraph) const
{
    return rowCountOf(paragraph) * fontMetrics().lineSpacing();
}

void QuotesView::forgetLayouts()
{
    m_layouts.clear();
    updateScrollRange();
}

// The last paragraph that can stand at the top is the one from which the
// rest of the text just fills the view.
void QuotesView::updateScrollRange()
{
    const int viewHeight = viewport()->height() - 2 * kMargin;
    int lastTop = paragraphCount() - 1;
    int below = heightOf(lastTop);
    while (lastTop > 0 && below < viewHeight)
        below += heightOf(--lastTop);
    QScrollBar *bar = verticalScrollBar();
    const QSignalBlocker blocker(bar);
    bar->setRange(0, lastTop);
    bar->setSingleStep(1);
    bar->setPageStep(std::max(1, viewHeight / std::max(1, fontMetrics().lineSpacing())));
    setTop(m_top, m_topOffset);
}

void QuotesView::setTop(int paragraph, int offset)
{
    const int lastTop = verticalScrollBar()->maximum();
    const int viewHeight = viewport()->height() - 2 * kMargin;
    int below = 0;
    for (int p = lastTop; p < paragraphCount(); ++p)
        below += heightOf(p);
    const int lastOffset = std::max(0, below - viewHeight);
    paragraph = std::clamp(paragraph, 0, lastTop);
    offset = std::max(0, offset);
    if (paragraph == lastTop)
        offset = std::min(offset, lastOffset);
    m_top = paragraph;
    m_topOffset = offset;
    const QSignalBlocker blocker(verticalScrollBar());
    verticalScrollBar()->setValue(m_top);
    viewport()->update();
}

void QuotesView::scrollByPixels(int pixels)
{
    int top = m_top;
    int offset = m_topOffset + pixels;
    while (offset < 0 && top > 0)
        offset += heightOf(--top);
    while (top < verticalScrollBar()->maximum() && offset >= heightOf(top))
        offset -= heightOf(top++);
    setTop(top, offset);
}

void QuotesView::scrollContentsBy(int, int)
{
    // The scroll bar was moved by the user: its value is the top paragraph.
    const int value = verticalScrollBar()->value();
    setTop(value, value == verticalScrollBar()->maximum() ? INT_MAX : 0);
}

void QuotesView::paintEvent(QPaintEvent *)
{
    if (m_layouts.size() > kMaxLayouts)
        m_layouts.clear();
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const qsizetype selectionStart = std::min(m_anchor, m_cursor);
    const qsizetype selectionEnd = std::max(m_anchor, m_cursor);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(QPalette::Highlight));
    selected.setForeground(palette().brush(QPalette::HighlightedText));

    int y = kMargin - m_topOffset;
    for (int paragraph = m_top; paragraph < paragraphCount() && y < viewport()->height(); ++paragraph) {
        const QTextLayout &layout = layoutOf(paragraph);
        const qsizetype start = m_paragraphStarts[std::size_t(paragraph)];
        const qsizetype from = std::max(selectionStart, start);
        const qsizetype to = std::min(selectionEnd, start + paragraphLength(paragraph));
        QList<QTextLayout::FormatRange> selections;
        if (from < to)
            selections.append({int(from - start), int(to - from), selected});
        layout.draw(&painter, QPointF(kMargin, y), selections);
        y += heightOf(paragraph);
    }
}

void QuotesView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    forgetLayouts();
}

void QuotesView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        forgetLayouts();
}

void QuotesView::wheelEvent(QWheelEvent *event)
{
    const int pixels = event->pixelDelta().isNull() ? -event->angleDelta().y() * QApplication::wheelScrollLines() *
                                                          fontMetrics().lineSpacing() / 120
                                                    : -event->pixelDelta().y();
    scrollByPixels(pixels);
    event->accept();
}

void QuotesView::keyPressEvent(QKeyEvent *event)
{
    const int line = fontMetrics().lineSpacing();
    const int page = std::max(line, viewport()->height() - 2 * kMargin - line);
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->key() == Qt::Key_Down)
        scrollByPixels(line);
    else if (event->key() == Qt::Key_Up)
        scrollByPixels(-line);
    else if (event->key() == Qt::Key_PageDown)
        scrollByPixels(page);
    else if (event->key() == Qt::Key_PageUp)
        scrollByPixels(-page);
    else if (event->key() == Qt::Key_Home)
        setTop(0, 0);
    else if (event->key() == Qt::Key_End)
        setTop(INT_MAX, INT_MAX);
    else
        return QAbstractScrollArea::keyPressEvent(event);
    event->accept();
}

qsizetype QuotesView::positionAt(QPoint point) const
{
    int y = kMargin - m_topOffset;
    if (point.y() < y)
        return m_paragraphStarts[std::size_t(m_top)];
    for (int paragraph = m_top; paragraph < paragraphCount(); ++paragraph) {
        const int height = heightOf(paragraph);
        if (point.y() < y + height || paragraph + 1 == paragraphCount()) {
            const QTextLayout &layout = layoutOf(paragraph);
            const int lineIndex = std::clamp((point.y() - y) / fontMetrics().lineSpacing(), 0, layout.lineCount() - 1);
            const int column = layout.lineAt(lineIndex).xToCursor(point.x() - kMargin);
            return m_paragraphStarts[std::size_t(paragraph)] + column;
        }
        y += height;
    }
    return m_text.size();
}

void QuotesView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    m_cursor = positionAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = m_cursor;
    m_selecting = true;
    viewport()->update();
}

void QuotesView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting)
        return;
    QPoint point = event->position().toPoint();
    // Dragging past the top or the bottom scrolls the text along.
    if (point.y() < 0)
        scrollByPixels(-fontMetrics().lineSpacing());
    else if (point.y() > viewport()->height())
        scrollByPixels(fontMetrics().lineSpacing());
    point.setY(std::clamp(point.y(), 0, viewport()->height() - 1));
    m_cursor = positionAt(point);
    viewport()->update();
}

void QuotesView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    m_selecting = false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && m_anchor != m_cursor)
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void QuotesView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("&Copy"), this, &QuotesView::copy);
    copyAction->setEnabled(m_anchor != m_cursor);
    menu.addAction(tr("Select All"), this, &QuotesView::selectAll);
    menu.exec(event->globalPos());
}

QString QuotesView::selectedText() const
{
    const qsizetype start = std::min(m_anchor, m_cursor);
    QString selected = m_text.mid(start, std::max(m_anchor, m_cursor) - start);
    selected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    selected.replace(u'\r', u'\n');
    return selected;
}

void QuotesView::selectAll()
{
    select(0, m_text.size());
}

std::pair<qsizetype, qsizetype> QuotesView::selectionRange() const
{
    return {std::min(m_anchor, m_cursor), std::max(m_anchor, m_cursor)};
}

void QuotesView::select(qsizetype start, qsizetype end)
{
    m_anchor = std::clamp<qsizetype>(start, 0, m_text.size());
    m_cursor = std::clamp<qsizetype>(end, 0, m_text.size());
    viewport()->update();
}

void QuotesView::copy() const
{
    if (m_anchor != m_cursor)
        QGuiApplication::clipboard()->setText(selectedText());
}

} // namespace sayvane
