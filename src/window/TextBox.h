// SPDX-License-Identifier: MIT
// A single-line text box with a length limit, and a notice when a paste or
// a drop is cut to it. A standard box lays its whole text out again at
// every keystroke and every blink of the caret; the limit keeps that to
// about 20 ms on a 2-core machine.
#pragma once

#include <QLineEdit>

namespace sayvane {

class TextBox : public QLineEdit
{
public:
    // The most characters a box holds: a keystroke in a box this full
    // takes about 20 ms (tools/bench.sh measures it).
    static constexpr int kLimit = 100'000;

    explicit TextBox(const QString &text, QWidget *parent = nullptr);

    // What the box says, next to itself, when it had to cut what came in.
    static QString cutNotice();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Runs the insertion, then says so if the incoming text did not fit.
    template <typename Insert> void insertNoticingCuts(qsizetype incoming, Insert insert);
};

} // namespace sayvane
