// SPDX-License-Identifier: MIT
// A read-only, multi-line text box made for very long texts. It behaves
// like the standard one (a blinking caret, keyboard and mouse selection,
// copying, a screen reader's text interface) but lays out only the rows in
// view, so a text of a hundred thousand lines, or a single line of half a
// gigabyte, shows at once and scrolls to its end.
#pragma once

#include "RowLayout.h"
#include "Selection.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>

#include <utility>

namespace sayvane {

class ReadOnlyTextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // How often a selection dragged beyond the view scrolls it by a row.
    static constexpr int kAutoScrollInterval = 50; // milliseconds

    explicit ReadOnlyTextView(QWidget *parent = nullptr);
    ~ReadOnlyTextView() override;

    // The text exactly as set; each paragraph break ends a paragraph on
    // screen. The caret goes to the start.
    void setPlainText(const QString &text);
    QString toPlainText() const { return m_rows.text(); }
    void clear() { setPlainText(QString()); }

    // The selected text, with each paragraph break as one LF.
    QString selectedText() const;
    void selectAll();
    void copy() const;
    // The selection as positions in the text, start before end.
    std::pair<qsizetype, qsizetype> selectionRange() const { return m_selection.range(); }
    // Selects from `anchor` to `caret`, the caret ending where the view
    // follows it.
    void select(qsizetype anchor, qsizetype caret);
    qsizetype caretPosition() const { return m_selection.caret; }
    void setCaretPosition(qsizetype position) { select(position, position); }

    // Where the first row in view begins, and how many rows fit.
    qsizetype topPosition() const { return m_top; }
    int rowsInView() const;
    // The rectangle of the character at a position, in viewport
    // coordinates; empty when it is out of view.
    QRect characterRect(qsizetype position) const;
    qsizetype positionAt(QPoint viewportPoint) const;
    // Scrolls as little as needed to bring the position's row into view.
    void ensureVisible(qsizetype position);
    const RowLayout &rows() const { return m_rows; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    enum class Motion {
        NextCharacter,
        PreviousCharacter,
        NextWord,
        PreviousWord,
        NextRow,
        PreviousRow,
        NextPage,
        PreviousPage,
        StartOfRow,
        EndOfRow,
        StartOfText,
        EndOfText
    };

    // Caret and selection (Caret.cpp).
    void moveCaret(Motion motion, bool extend);
    void placeCaret(qsizetype position, bool extend, bool keepColumn = false);
    void changeSelection(Selection selection);
    void restartBlinking();
    void announceSelection(const Selection &before) const;
    // The primary selection (Clipboard.cpp).
    void offerSelection() const;
    void withdrawSelection() const;
    // Keys and the mouse (Input.cpp).
    bool moveByKey(QKeyEvent *event);
    void dragSelect(bool scroll);
    // Scrolling and geometry.
    void setTop(qsizetype position);
    void scrollRows(qsizetype rows);
    void reformat();
    void updateScrollBar();
    int valueOf(qsizetype position) const;
    qsizetype positionOf(int scrollBarValue) const;
    int textWidth() const;
    qsizetype shownEnd() const;

    RowLayout m_rows;
    Selection m_selection;
    qsizetype m_top = 0;                  // start of the first row in view
    qsizetype m_lastTop = 0;              // the top from which the last row just shows
    qsizetype m_scale = 1;                // characters per unit of the scroll bar
    mutable qsizetype m_shownEndTop = -1; // the top for which m_shownEnd holds
    mutable qsizetype m_shownEnd = 0;
    qreal m_column = 0; // where Up and Down look for the caret's new place
    int m_wheelRemainder = 0;
    bool m_selecting = false;
    QPoint m_dragPoint; // where the pointer is while the left button selects
    QBasicTimer m_autoScroll;
    bool m_caretOn = false;
    QBasicTimer m_blink;
};

} // namespace sayvane
