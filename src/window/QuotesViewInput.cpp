// SPDX-License-Identifier: MIT
// The quotations area's caret, selection and clipboard, and the keys and
// mouse actions that move them, as in a standard read-only text box.
#include "QuotesView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>

namespace sayvane {

bool QuotesView::moveByKey(QKeyEvent *event)
{
    struct KeyMotion
    {
        QKeySequence::StandardKey key;
        Motion motion;
        bool extend;
    };
    static constexpr KeyMotion kKeys[] = {
        {QKeySequence::MoveToNextChar, Motion::NextCharacter, false},
        {QKeySequence::MoveToPreviousChar, Motion::PreviousCharacter, false},
        {QKeySequence::MoveToNextWord, Motion::NextWord, false},
        {QKeySequence::MoveToPreviousWord, Motion::PreviousWord, false},
        {QKeySequence::MoveToNextLine, Motion::NextRow, false},
        {QKeySequence::MoveToPreviousLine, Motion::PreviousRow, false},
        {QKeySequence::MoveToNextPage, Motion::NextPage, false},
        {QKeySequence::MoveToPreviousPage, Motion::PreviousPage, false},
        {QKeySequence::MoveToStartOfLine, Motion::StartOfRow, false},
        {QKeySequence::MoveToEndOfLine, Motion::EndOfRow, false},
        {QKeySequence::MoveToStartOfDocument, Motion::StartOfText, false},
        {QKeySequence::MoveToEndOfDocument, Motion::EndOfText, false},
        {QKeySequence::SelectNextChar, Motion::NextCharacter, true},
        {QKeySequence::SelectPreviousChar, Motion::PreviousCharacter, true},
        {QKeySequence::SelectNextWord, Motion::NextWord, true},
        {QKeySequence::SelectPreviousWord, Motion::PreviousWord, true},
        {QKeySequence::SelectNextLine, Motion::NextRow, true},
        {QKeySequence::SelectPreviousLine, Motion::PreviousRow, true},
        {QKeySequence::SelectNextPage, Motion::NextPage, true},
        {QKeySequence::SelectPreviousPage, Motion::PreviousPage, true},
        {QKeySequence::SelectStartOfLine, Motion::StartOfRow, true},
        {QKeySequence::SelectEndOfLine, Motion::EndOfRow, true},
        {QKeySequence::SelectStartOfDocument, Motion::StartOfText, true},
        {QKeySequence::SelectEndOfDocument, Motion::EndOfText, true},
    };
    for (const KeyMotion &key : kKeys) {
        if (event->matches(key.key)) {
            moveCaret(key.motion, key.extend);
            return true;
        }
    }
    return false;
}

void QuotesView::keyPressEvent(QKeyEvent *event)
{
    const bool copyKey = event->matches(QKeySequence::Copy) ||
                         (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier);
    if (copyKey)
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (!moveByKey(event)) {
        // Typing, pasting, cutting and deleting change nothing; Tab and the
        // keys of the window go on to it.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void QuotesView::moveCaret(Motion motion, bool extend)
{
    const auto [selectionStart, selectionEnd] = selectionRange();
    const bool collapse = !extend && selectionStart != selectionEnd;
    const WrappedText::Row row = m_wrapped.rowAt(m_caret);
    qsizetype target = m_caret;
    bool keepColumn = false;
    switch (motion) {
    case Motion::NextCharacter:
        target = collapse ? selectionEnd : m_wrapped.nextPosition(m_caret, QTextLayout::SkipCharacters);
        break;
    case Motion::PreviousCharacter:
        target = collapse ? selectionStart : m_wrapped.previousPosition(m_caret, QTextLayout::SkipCharacters);
        break;
    case Motion::NextWord:
        target = m_wrapped.nextPosition(m_caret, QTextLayout::SkipWords);
        break;
    case Motion::PreviousWord:
        target = m_wrapped.previousPosition(m_caret, QTextLayout::SkipWords);
        break;
    case Motion::NextRow:
    case Motion::PreviousRow:
    case Motion::NextPage:
    case Motion::PreviousPage: {
        const bool down = motion == Motion::NextRow || motion == Motion::NextPage;
        const bool page = motion == Motion::NextPage || motion == Motion::PreviousPage;
        const qsizetype rows = (page ? std::max(1, rowsInView() - 1) : 1) * (down ? 1 : -1);
        const WrappedText::Row moved = m_wrapped.movedBy(row, rows);
        if (page)
            scrollRows(rows); // the page moves with the caret
        // On the first or the last row the caret stays where it is.
        target = moved == row ? m_caret : m_wrapped.positionAt(moved, m_column);
        keepColumn = true;
        break;
    }
    case Motion::StartOfRow:
        target = m_wrapped.rowStart(row);
        break;
    case Motion::EndOfRow:
        target = m_wrapped.rowEndCaret(row);
        break;
    case Motion::StartOfText:
        target = 0;
        break;
    case Motion::EndOfText:
        target = m_wrapped.length();
        break;
    }
    placeCaret(target, extend, keepColumn);
}

// Moves the caret, extending the selection from its anchor or not, and
// brings it into view.
void QuotesView::placeCaret(qsizetype position, bool extend, bool keepColumn)
{
    const auto selectionBefore = selectionRange();
    m_caret = m_wrapped.normalized(position);
    if (!extend)
        m_anchor = m_caret;
    if (!keepColumn)
        m_column = m_wrapped.xOf(m_wrapped.rowAt(m_caret), m_caret);
    ensureVisible(m_caret);
    restartBlinking();
    viewport()->update();
    announceCaret(selectionBefore);
}

void QuotesView::select(qsizetype anchor, qsizetype caret)
{
    m_anchor = m_wrapped.normalized(anchor);
    placeCaret(caret, true);
}

void QuotesView::selectAll()
{
    // Like a standard text box: the caret goes to the end, the view stays.
    const auto selectionBefore = selectionRange();
    m_anchor = 0;
    m_caret = m_wrapped.length();
    m_column = 0;
    restartBlinking();
    viewport()->update();
    announceCaret(selectionBefore);
}

std::pair<qsizetype, qsizetype> QuotesView::selectionRange() const
{
    return {std::min(m_anchor, m_caret), std::max(m_anchor, m_caret)};
}

QString QuotesView::selectedText() const
{
    const auto [start, end] = selectionRange();
    QString selected = m_wrapped.text().mid(start, end - start);
    selected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    selected.replace(u'\r', u'\n');
    return selected;
}

void QuotesView::copy() const
{
    if (m_anchor != m_caret)
        QGuiApplication::clipboard()->setText(selectedText());
}

void QuotesView::announceCaret(std::pair<qsizetype, qsizetype> selectionBefore)
{
    const auto [start, end] = selectionRange();
    const bool wasEmpty = selectionBefore.first == selectionBefore.second;
    if (selectionBefore != selectionRange() && !(wasEmpty && start == end)) {
        QAccessibleTextSelectionEvent event(this, int(start), int(end));
        event.setCursorPosition(int(m_caret));
        QAccessible::updateAccessibility(&event);
    }
    QAccessibleTextCursorEvent event(this, int(m_caret));
    QAccessible::updateAccessibility(&event);
}

void QuotesView::restartBlinking()
{
    m_caretOn = true;
    const int interval = QGuiApplication::styleHints()->cursorFlashTime() / 2;
    if (hasFocus() && interval > 0)
        m_blink.start(interval, this);
    else
        m_blink.stop();
}

void QuotesView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId())
        return QAbstractScrollArea::timerEvent(event);
    m_caretOn = !m_caretOn;
    viewport()->update();
}

void QuotesView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlinking();
    viewport()->update();
}

void QuotesView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    m_caretOn = false;
    viewport()->update();
}

void QuotesView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    placeCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    m_selecting = true;
}

void QuotesView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    const auto [begin, end] = m_wrapped.wordAt(positionAt(event->position().toPoint()));
    select(begin, end);
    m_selecting = false;
}

void QuotesView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting)
        return;
    QPoint point = event->position().toPoint();
    // Dragging past the top or the bottom scrolls the text along.
    if (point.y() < 0)
        scrollRows(-1);
    else if (point.y() >= viewport()->height())
        scrollRows(1);
    point.setY(std::clamp(point.y(), 0, viewport()->height() - 1));
    placeCaret(positionAt(point), true);
}

void QuotesView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    m_selecting = false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && m_anchor != m_caret)
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void QuotesView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *copyAction = menu.addAction(tr("&Copy"), this, &QuotesView::copy);
    copyAction->setEnabled(m_anchor != m_caret);
    menu.addAction(tr("Select All"), this, &QuotesView::selectAll);
    menu.exec(event->globalPos());
}

} // namespace sayvane
