// SPDX-License-Identifier: MIT
#include "ClickableLabel.h"

#include <QMouseEvent>

namespace sayvane {

ClickableLabel::ClickableLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    emit pressed(event->button(), event->modifiers(), event->position());
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(event->buttons(), event->modifiers(), event->position());
    QLabel::mouseMoveEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = event->button() == Qt::LeftButton && std::exchange(m_leftPressed, false) &&
                       rect().contains(event->position().toPoint());
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

} // namespace sayvane
