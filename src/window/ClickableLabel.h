// SPDX-License-Identifier: MIT
// A label of the title bar that reports the mouse: a click (the left button
// pressed and released over it), and every press and move with the buttons
// held and the pointer position.
#pragma once

#include <QLabel>

namespace sayvane {

class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void moved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_leftPressed = false;
};

} // namespace sayvane
