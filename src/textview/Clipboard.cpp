// SPDX-License-Identifier: MIT
// Copying from the read-only text view: the selection as plain text, each
// paragraph break written as one LF; and the selection offered to other
// programs as the primary selection, built only when one asks for it.
#include "ReadOnlyTextView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace sayvane {
namespace {

const QString kPlainText = QStringLiteral("text/plain");

// Built in one pass into a buffer of the final size at most, so copying N
// characters costs time linear in N however many breaks they hold.
QString plainTextOf(const TextPieces &pieces, qsizetype start, qsizetype end)
{
    QString selected;
    selected.reserve(end - start);
    qsizetype copiedTo = start;
    for (qsizetype i = start; i < end;) {
        if (!pieces.isBreakAt(i)) {
            ++i;
            continue;
        }
        selected.append(QStringView(pieces.text()).sliced(copiedTo, i - copiedTo)).append(u'\n');
        i = std::min(i + TextPieces::kBreakLength, end);
        copiedTo = i;
    }
    selected.append(QStringView(pieces.text()).sliced(copiedTo, end - copiedTo));
    return selected;
}

// The selected stretch of a text that it shares, not copies: the plain
// text is built the first time another program asks for it.
class SelectionOnRequest : public QMimeData
{
public:
    SelectionOnRequest(const QString &text, qsizetype start, qsizetype end)
        : m_start(start)
        , m_end(end)
    {
        m_pieces.setText(text);
    }

    QStringList formats() const override { return {kPlainText}; }
    bool hasFormat(const QString &mimeType) const override { return mimeType == kPlainText; }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType) const override
    {
        if (mimeType != kPlainText)
            return {};
        if (!m_built) {
            m_text = plainTextOf(m_pieces, m_start, m_end);
            m_built = true;
        }
        return m_text;
    }

private:
    TextPieces m_pieces;
    qsizetype m_start;
    qsizetype m_end;
    mutable QString m_text;
    mutable bool m_built = false;
};

} // namespace

QString ReadOnlyTextView::selectedText() const
{
    const auto [start, end] = m_selection.range();
    return plainTextOf(m_rows.pieces(), start, end);
}

void ReadOnlyTextView::copy() const
{
    if (!m_selection.isEmpty())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ReadOnlyTextView::offerSelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection() || m_selection.isEmpty())
        return;
    const auto [start, end] = m_selection.range();
    clipboard->setMimeData(new SelectionOnRequest(m_rows.text(), start, end), QClipboard::Selection);
}

// A new text takes back the selection offered from the old one, which
// would otherwise keep the old text in memory.
void ReadOnlyTextView::withdrawSelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() &&
        dynamic_cast<const SelectionOnRequest *>(clipboard->mimeData(QClipboard::Selection)))
        clipboard->clear(QClipboard::Selection);
}

} // namespace sayvane
