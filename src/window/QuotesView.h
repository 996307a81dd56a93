// The quotations area: a read-only view of plain text made for very long
// texts. Setting a text of 100,000 lines only indexes its paragraphs; a
// paragraph is laid out, wrapped at word boundaries, when it comes into view.
#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class QTextLayout;

namespace sayvane {

class QuotesView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit QuotesView(QWidget *parent = nullptr);
    ~QuotesView() override;

    // The text exactly as set; CR LF, a lone CR and a lone LF each end a
    // paragraph on screen.
    void setPlainText(const QString &text);
    QString toPlainText() const { return m_text; }
    void clear() { setPlainText(QString()); }

    // The selected text, with each paragraph break as one LF.
    QString selectedText() const;
    void selectAll();
    void copy() const;
    // The selection as positions in the text, start before end.
    std::pair<qsizetype, qsizetype> selectionRange() const;
    void select(qsizetype start, qsizetype end);

    int paragraphCount() const { return int(m_paragraphStarts.size()); }
    // How many rows the paragraph takes on screen at the current width.
    int rowCountOf(int paragraph) const;
    int firstVisibleParagraph() const { return m_top; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int paragraphLength(int paragraph) const;
    QTextLayout &layoutOf(int paragraph) const;
    int heightOf(int paragraph) const;
    int textWidth() const;
    void forgetLayouts();
    void updateScrollRange();
    void scrollByPixels(int pixels);
    void setTop(int paragraph, int offset);
    qsizetype positionAt(QPoint point) const;

    QString m_text;
    std::vector<qsizetype> m_paragraphStarts; // start of each paragraph in m_text
    mutable std::unordered_map<int, std::unique_ptr<QTextLayout>> m_layouts;
    int m_top = 0;       // first paragraph in view
    int m_topOffset = 0; // pixels of it scrolled out above the view
    qsizetype m_anchor = 0;
    qsizetype m_cursor = 0; // the selection runs between anchor and cursor
    bool m_selecting = false;
};

} // namespace sayvane
