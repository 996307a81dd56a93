#include "QuotesViewAccessible.h"

#include "QuotesView.h"

#include <QAccessibleWidget>
#include <QFontMetrics>

namespace sayvane {
namespace {

class QuotesViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit QuotesViewAccessible(QuotesView *view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    QuotesView *view() const { return static_cast<QuotesView *>(widget()); }

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

    // The text interface, over the text exactly as shown.
    QString text(int startOffset, int endOffset) const override
    {
        return view()->toPlainText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(view()->toPlainText().size()); }
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const auto [start, end] = view()->selectionRange();
        const bool selected = selectionIndex == 0 && start != end;
        *startOffset = selected ? int(start) : 0;
        *endOffset = selected ? int(end) : 0;
    }
    int selectionCount() const override
    {
        const auto [start, end] = view()->selectionRange();
        return start != end ? 1 : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { view()->select(0, 0); }
    void setSelection(int, int startOffset, int endOffset) override { view()->select(startOffset, endOffset); }
    int cursorPosition() const override { return int(view()->selectionRange().second); }
    void setCursorPosition(int position) override { view()->select(position, position); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
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
