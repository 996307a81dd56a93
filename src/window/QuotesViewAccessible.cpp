// SPDX-License-Identifier: MIT
#include "QuotesViewAccessible.h"

#include "QuotesView.h"

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

namespace sayvane {
namespace {

// Offsets of the text interface are ints; a text longer than that is read
// as far as they reach.
int offsetOf(qsizetype position)
{
    return int(std::min<qsizetype>(position, INT_MAX));
}

class QuotesViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit QuotesViewAccessible(QuotesView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    QuotesView *view() const { return static_cast<QuotesView *>(widget()); }
    const WrappedText &wrapped() const { return view()->wrappedText(); }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return view()->toPlainText();
        return QAccessibleWidget::text(type);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text interface, over the text exactly as shown. Every boundary is
    // found from the characters around the offset, never from the whole
    // text, which may be very long.
    QString text(int startOffset, int endOffset) const override
    {
        return view()->toPlainText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return offsetOf(wrapped().length()); }

    // Where the item of the given kind that holds the offset begins and ends:
    // a character, a word, a row on screen (its break not included), a
    // sentence or paragraph (without its break), or the whole text.
    std::pair<qsizetype, qsizetype> itemAt(qsizetype offset, QAccessible::TextBoundaryType type) const
    {
        const WrappedText &text = wrapped();
        switch (type) {
        case QAccessible::CharBoundary:
            return {offset, std::max(offset, text.nextPosition(offset, QTextLayout::SkipCharacters))};
        case QAccessible::WordBoundary:
            return text.wordAt(offset);
        case QAccessible::LineBoundary: {
            const WrappedText::Row row = text.rowAt(offset);
            return {text.rowStart(row), text.rowEnd(row)};
        }
        case QAccessible::SentenceBoundary:
            return sentenceAt(offset);
        case QAccessible::ParagraphBoundary:
            return text.paragraphAt(offset);
        case QAccessible::NoBoundary:
            break;
        }
        return {0, text.length()};
    }

    std::pair<qsizetype, qsizetype> sentenceAt(qsizetype offset) const
    {
        const WrappedText::Piece piece = wrapped().pieceAt(offset);
        const QString text = wrapped().text().sliced(piece.start, piece.end - piece.start);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, text);
        const int at = int(offset - piece.start);
        finder.setPosition(at);
        const qsizetype begin = finder.isAtBoundary() ? at : std::max<qsizetype>(finder.toPreviousBoundary(), 0);
        finder.setPosition(at);
        const qsizetype end = finder.toNextBoundary();
        return {piece.start + begin, piece.start + (end < 0 ? text.size() : end)};
    }

    QString answer(std::pair<qsizetype, qsizetype> item, int *startOffset, int *endOffset) const
    {
        *startOffset = offsetOf(item.first);
        *endOffset = offsetOf(item.second);
        return text(*startOffset, *endOffset);
    }

    bool badOffset(int &offset, int *startOffset, int *endOffset) const
    {
        if (offset == -2)
            offset = cursorPosition();
        else if (offset == -1)
            offset = characterCount();
        if (offset >= 0 && offset <= characterCount())
            return false;
        *startOffset = *endOffset = -1;
        return true;
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                         int *endOffset) const override
    {
        if (badOffset(offset, startOffset, endOffset))
            return {};
        return answer(itemAt(offset, type), startOffset, endOffset);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                             int *endOffset) const override
    {
        if (badOffset(offset, startOffset, endOffset))
            return {};
        const qsizetype start = itemAt(offset, type).first;
        if (start == 0) {
            *startOffset = *endOffset = 0;
            return {};
        }
        return answer(itemAt(wrapped().previousPosition(start, QTextLayout::SkipCharacters), type), startOffset,
                      endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                            int *endOffset) const override
    {
        if (badOffset(offset, startOffset, endOffset))
            return {};
        // The item after one that ends at a paragraph break begins after it.
        qsizetype next = itemAt(offset, type).second;
        const QString &text = wrapped().text();
        if (next < text.size() && (text[next] == u'\r' || text[next] == u'\n'))
            next = wrapped().nextPosition(next, QTextLayout::SkipCharacters);
        if (next >= wrapped().length()) {
            *startOffset = *endOffset = characterCount();
            return {};
        }
        return answer(itemAt(next, type), startOffset, endOffset);
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const auto [start, end] = view()->selectionRange();
        const bool selected = selectionIndex == 0 && start != end;
        *startOffset = selected ? offsetOf(start) : 0;
        *endOffset = selected ? offsetOf(end) : 0;
    }
    int selectionCount() const override
    {
        const auto [start, end] = view()->selectionRange();
        return start != end ? 1 : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { view()->setCaretPosition(view()->caretPosition()); }
    void setSelection(int, int startOffset, int endOffset) override { view()->select(startOffset, endOffset); }
    int cursorPosition() const override { return offsetOf(view()->caretPosition()); }
    void setCursorPosition(int position) override { view()->setCaretPosition(position); }
    QRect characterRect(int offset) const override
    {
        const QRect rect = view()->characterRect(offset);
        return rect.isNull() ? QRect() : QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(local))
            return -1;
        return offsetOf(view()->positionAt(local));
    }
    void scrollToSubstring(int startIndex, int) override { view()->ensureVisible(startIndex); }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }
};

} // namespace

QAccessibleInterface *quotesViewAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("sayvane::QuotesView") && object && object->isWidgetType())
        return new QuotesViewAccessible(static_cast<QuotesView *>(object));
    return nullptr;
}

} // namespace sayvane
