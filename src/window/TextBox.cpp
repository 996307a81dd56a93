// SPDX-License-Identifier: MIT
#include "TextBox.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QToolTip>

namespace sayvane {

TextBox::TextBox(const QString &text, QWidget *parent)
    : QLineEdit(text, parent)
{
    setMaxLength(kLimit);
    // Every selection, however it was made (the mouse, Shift and the
    // arrows, Ctrl+A), becomes the primary selection, as in every X11
    // program; the middle button pastes it elsewhere.
    connect(this, &QLineEdit::selectionChanged, this, [this] {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (hasSelectedText() && clipboard->supportsSelection())
            clipboard->setText(selectedText(), QClipboard::Selection);
    });
}

QString TextBox::cutNotice()
{
    return QStringLiteral("The text was cut to %L1 characters, the most a box holds.").arg(kLimit);
}

template <typename Insert> void TextBox::insertNoticingCuts(qsizetype incoming, Insert insert)
{
    const QString before = text();
    const qsizetype room = maxLength() - (before.size() - selectedText().size());
    insert();
    // Filled to the limit by more than there was room for: cut.
    if (incoming > room && text().size() == maxLength() && text() != before)
        QToolTip::showText(mapToGlobal(rect().bottomLeft()), cutNotice(), this);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    const bool paste = event->matches(QKeySequence::Paste) ||
                       (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier);
    if (paste)
        return insertNoticingCuts(QGuiApplication::clipboard()->text().size(),
                                  [&] { QLineEdit::keyPressEvent(event); });
    // A key pressed with Alt, Ctrl or Meta types nothing: the box handles
    // it as a command or not at all. Ctrl and Alt together stand for AltGr
    // on some keyboards, which types.
    const Qt::KeyboardModifiers commands =
        event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    const bool altGr = commands == (Qt::AltModifier | Qt::ControlModifier);
    if (commands && !altGr && !event->text().isEmpty()) {
        QKeyEvent withoutText(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                              event->nativeVirtualKey(), event->nativeModifiers(), QString(), event->isAutoRepeat(),
                              event->count());
        QLineEdit::keyPressEvent(&withoutText);
        event->setAccepted(withoutText.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the primary selection where there is one.
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection())
        return QLineEdit::mouseReleaseEvent(event);
    insertNoticingCuts(clipboard->text(QClipboard::Selection).size(), [&] { QLineEdit::mouseReleaseEvent(event); });
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    insertNoticingCuts(QGuiApplication::clipboard()->text().size(), [&] { QLineEdit::contextMenuEvent(event); });
}

void TextBox::dropEvent(QDropEvent *event)
{
    const qsizetype incoming = event->mimeData() ? event->mimeData()->text().size() : 0;
    insertNoticingCuts(incoming, [&] { QLineEdit::dropEvent(event); });
}

} // namespace sayvane
