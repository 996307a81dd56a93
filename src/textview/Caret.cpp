// SPDX-License-Identifier: MIT
// The caret and the selection of the read-only text view: where each
// motion takes the caret, selecting, the blink, and the events that tell a
// screen reader where the caret and the selection are.
#include "ReadOnlyTextView.h"

#include "Accessibility.h"
#include "TextBoundaries.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTimerEvent>

#include <algorithm>

namespace sayvane {

void ReadOnlyTextView::moveCaret(Motion motion, bool extend)
{
    const auto [selectionStart, selectionEnd] = m_selection.range();
    const bool collapse = !extend && !m_selection.isEmpty();
    const qsizetype caret = m_selection.caret;
    const RowLayout::Row row = m_rows.rowAt(caret);
    qsizetype target = caret;
    bool keepColumn = false;
    switch (motion) {
    case Motion::NextCharacter:
        target = collapse ? selectionEnd : nextCaretPosition(m_rows, caret, QTextLayout::SkipCharacters);
        break;
    case Motion::PreviousCharacter:
        target = collapse ? selectionStart : previousCaretPosition(m_rows, caret, QTextLayout::SkipCharacters);
        break;
    case Motion::NextWord:
        target = nextCaretPosition(m_rows, caret, QTextLayout::SkipWords);
        break;
    case Motion::PreviousWord:
        target = previousCaretPosition(m_rows, caret, QTextLayout::SkipWords);
        break;
    case Motion::NextRow:
    case Motion::PreviousRow:
    case Motion::NextPage:
    case Motion::PreviousPage: {
        const bool down = motion == Motion::NextRow || motion == Motion::NextPage;
        const bool page = motion == Motion::NextPage || motion == Motion::PreviousPage;
        const qsizetype rows = (page ? std::max(1, rowsInView() - 1) : 1) * (down ? 1 : -1);
        const RowLayout::Row moved = m_rows.movedBy(row, rows);
        if (page)
            scrollRows(rows); // the page moves with the caret
        // On the first or the last row the caret stays where it is.
        target = moved == row ? caret : m_rows.positionAt(moved, m_column);
        keepColumn = true;
        break;
    }
    case Motion::StartOfRow:
        target = m_rows.rowStart(row);
        break;
    case Motion::EndOfRow:
        target = m_rows.rowEndCaret(row);
        break;
    case Motion::StartOfText:
        target = 0;
        break;
    case Motion::EndOfText:
        target = m_rows.length();
        break;
    }
    placeCaret(target, extend, keepColumn);
}

// Moves the caret, extending the selection from its anchor or not, and
// brings it into view.
void ReadOnlyTextView::placeCaret(qsizetype position, bool extend, bool keepColumn)
{
    const qsizetype caret = m_rows.normalized(position);
    if (!keepColumn)
        m_column = m_rows.xOf(m_rows.rowAt(caret), caret);
    ensureVisible(caret);
    changeSelection({extend ? m_selection.anchor : caret, caret});
}

void ReadOnlyTextView::select(qsizetype anchor, qsizetype caret)
{
    m_selection.anchor = m_rows.normalized(anchor);
    placeCaret(caret, true);
}

void ReadOnlyTextView::selectAll()
{
    // Like a standard text box: the caret goes to the end, the view stays.
    m_column = 0;
    changeSelection({0, m_rows.length()});
    offerSelection();
}

void ReadOnlyTextView::changeSelection(Selection selection)
{
    const Selection before = m_selection;
    m_selection = selection;
    restartBlinking();
    viewport()->update();
    announceSelection(before);
}

void ReadOnlyTextView::announceSelection(const Selection &before) const
{
    auto *self = const_cast<ReadOnlyTextView *>(this);
    const auto [start, end] = m_selection.range();
    if (before.range() != m_selection.range() && !(before.isEmpty() && m_selection.isEmpty())) {
        QAccessibleTextSelectionEvent event(self, accessibleOffset(start), accessibleOffset(end));
        event.setCursorPosition(accessibleOffset(m_selection.caret));
        QAccessible::updateAccessibility(&event);
    }
    QAccessibleTextCursorEvent event(self, accessibleOffset(m_selection.caret));
    QAccessible::updateAccessibility(&event);
}

void ReadOnlyTextView::restartBlinking()
{
    m_caretOn = true;
    const int interval = QGuiApplication::styleHints()->cursorFlashTime() / 2;
    if (hasFocus() && interval > 0)
        m_blink.start(interval, this);
    else
        m_blink.stop();
}

void ReadOnlyTextView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_autoScroll.timerId())
        return dragSelect(true);
    if (event->timerId() != m_blink.timerId())
        return QAbstractScrollArea::timerEvent(event);
    m_caretOn = !m_caretOn;
    viewport()->update();
}

void ReadOnlyTextView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlinking();
    viewport()->update();
}

void ReadOnlyTextView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    m_caretOn = false;
    viewport()->update();
}

} // namespace sayvane
