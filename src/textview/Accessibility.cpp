// SPDX-License-Identifier: MIT
#include "Accessibility.h"

#include "ReadOnlyTextView.h"
#include "TextBoundaries.h"

#include <QAccessibleWidget>

#include <algorithm>
#include <climits>

namespace sayvane {

int accessibleOffset(qsizetype position)
{
    return int(std::clamp<qsizetype>(position, 0, INT_MAX));
}

namespace {

class TextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TextViewAccessible(ReadOnlyTextView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    ReadOnlyTextView *view() const { return static_cast<ReadOnlyTextView *>(widget()); }
    const RowLayout &rows() const { return view()->rows(); }
    const TextPieces &pieces() const { return rows().pieces(); }

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
            return view()->toPlainText().first(std::min(rows().length(), kLongestAccessibleText));
        return QAccessibleWidget::text(type);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text interface, over the text exactly as shown, at most
    // kLongestAccessibleText characters at a time.
    QString text(int startOffset, int endOffset) const override
    {
        const qsizetype start = std::clamp<qsizetype>(startOffset, 0, rows().length());
        const qsizetype end =
            std::clamp<qsizetype>(endOffset, start, std::min(rows().length(), start + kLongestAccessibleText));
        return rows().text().sliced(start, end - start);
    }
    int characterCount() const override { return accessibleOffset(rows().length()); }

    // Where the item of the given kind that holds the offset begins and ends:
    // a character, a word, a row on screen (its break not included), a
    // sentence or paragraph (without its break), or the whole text.
    // Of a paragraph longer than a piece, the piece around the offset; of
    // no boundary, the whole text, of which text() answers the beginning.
    TextRange itemAt(qsizetype offset, QAccessible::TextBoundaryType type) const
    {
        switch (type) {
        case QAccessible::CharBoundary:
            return characterAt(rows(), offset);
        case QAccessible::WordBoundary:
            return wordAt(pieces(), offset);
        case QAccessible::LineBoundary: {
            const RowLayout::Row row = rows().rowAt(offset);
            return {rows().rowStart(row), rows().rowEnd(row)};
        }
        case QAccessible::SentenceBoundary:
            return sentenceAt(pieces(), offset);
        case QAccessible::ParagraphBoundary:
            return paragraphAt(pieces(), offset);
        case QAccessible::NoBoundary:
            break;
        }
        return {0, rows().length()};
    }

    // The item's text, and where it begins and ends; of an item longer
    // than one answer carries, its beginning.
    QString answer(TextRange item, int *startOffset, int *endOffset) const
    {
        *startOffset = accessibleOffset(item.first);
        const QString answered = text(*startOffset, accessibleOffset(item.second));
        *endOffset = accessibleOffset(item.first + answered.size());
        return answered;
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
        return answer(itemAt(previousCaretPosition(rows(), start, QTextLayout::SkipCharacters), type), startOffset,
                      endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                            int *endOffset) const override
    {
        if (badOffset(offset, startOffset, endOffset))
            return {};
        // The item after one that ends at a paragraph break begins after it.
        qsizetype next = itemAt(offset, type).second;
        if (pieces().isBreakAt(next))
            next += TextPieces::kBreakLength;
        if (next >= rows().length()) {
            *startOffset = *endOffset = characterCount();
            return {};
        }
        return answer(itemAt(next, type), startOffset, endOffset);
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const auto [start, end] = view()->selectionRange();
        const bool selected = selectionIndex == 0 && start != end;
        *startOffset = selected ? accessibleOffset(start) : 0;
        *endOffset = selected ? accessibleOffset(end) : 0;
    }
    int selectionCount() const override
    {
        const auto [start, end] = view()->selectionRange();
        return start != end ? 1 : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { view()->setCaretPosition(view()->caretPosition()); }
    void setSelection(int, int startOffset, int endOffset) override { view()->select(startOffset, endOffset); }
    int cursorPosition() const override { return accessibleOffset(view()->caretPosition()); }
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
        return accessibleOffset(view()->positionAt(local));
    }
    void scrollToSubstring(int startIndex, int) override { view()->ensureVisible(startIndex); }
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }
};

} // namespace

QAccessibleInterface *readOnlyTextViewAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("sayvane::ReadOnlyTextView") && object && object->isWidgetType())
        return new TextViewAccessible(static_cast<ReadOnlyTextView *>(object));
    return nullptr;
}

} // namespace sayvane
