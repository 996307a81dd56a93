// SPDX-License-Identifier: MIT
// What the keys and the mouse do in the read-only text view: move the
// caret and select as in a standard read-only text box, copy, and open
// the context menu. Keys that would edit change nothing.
#include "ReadOnlyTextView.h"

#include "TextBoundaries.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

namespace sayvane {

bool ReadOnlyTextView::moveByKey(QKeyEvent *event)
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

void ReadOnlyTextView::keyPressEvent(QKeyEvent *event)
{
    const bool copyKey = event->matches(QKeySequence::Copy) ||
                         (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier);
    if (copyKey)
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (moveByKey(event))
        offerSelection(); // a selection made with Shift and the arrows, as one made with the mouse
    else {
        // Typing, pasting, cutting and deleting change nothing; Tab and the
        // keys of the window go on to it.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ReadOnlyTextView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    placeCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
    m_selecting = true;
}

void ReadOnlyTextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    const auto [begin, end] = wordAt(m_rows.pieces(), positionAt(event->position().toPoint()));
    select(begin, end);
    m_selecting = false;
    offerSelection();
}

void ReadOnlyTextView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting)
        return;
    m_dragPoint = event->position().toPoint();
    const bool outside = m_dragPoint.y() < 0 || m_dragPoint.y() >= viewport()->height();
    if (outside && !m_autoScroll.isActive())
        m_autoScroll.start(kAutoScrollInterval, this);
    else if (!outside)
        m_autoScroll.stop();
    dragSelect(outside);
}

// Extends the selection to the pointer. A pointer held above or below the
// view scrolls the text a row at a time, on every move and on every tick
// of the timer while the button stays down, as in a standard text box.
void ReadOnlyTextView::dragSelect(bool scroll)
{
    QPoint point = m_dragPoint;
    if (scroll && point.y() < 0)
        scrollRows(-1);
    else if (scroll && point.y() >= viewport()->height())
        scrollRows(1);
    point.setY(std::clamp(point.y(), 0, viewport()->height() - 1));
    placeCaret(positionAt(point), true);
}

void ReadOnlyTextView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selecting)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    m_selecting = false;
    m_autoScroll.stop();
    offerSelection();
}

// The standard menu of a read-only text box: every entry of an editable
// one, with its shortcut, and those that would change the text greyed out.
void ReadOnlyTextView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const auto add = [&menu](const QString &text, QKeySequence::StandardKey key, bool enabled) {
        QAction *action = menu.addAction(text);
        action->setShortcut(key);
        action->setEnabled(enabled);
        return action;
    };
    add(tr("&Undo"), QKeySequence::Undo, false);
    menu.addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, false);
    QAction *copyAction = add(tr("&Copy"), QKeySequence::Copy, !m_selection.isEmpty());
    add(tr("&Paste"), QKeySequence::Paste, false);
    add(tr("&Delete"), QKeySequence::Delete, false);
    menu.addSeparator();
    QAction *selectAllAction = add(tr("Select &All"), QKeySequence::SelectAll, m_rows.length() > 0);
    connect(copyAction, &QAction::triggered, this, &ReadOnlyTextView::copy);
    connect(selectAllAction, &QAction::triggered, this, &ReadOnlyTextView::selectAll);
    menu.exec(event->globalPos());
}

} // namespace sayvane
