// SPDX-License-Identifier: MIT
// Copying from the read-only text view: the selection as plain text, each
// paragraph break written as one LF.
#include "ReadOnlyTextView.h"

#include <QClipboard>
#include <QGuiApplication>

namespace sayvane {

// Built in one pass into a buffer of the final size at most, so copying N
// characters costs time linear in N however many breaks they hold.
QString ReadOnlyTextView::selectedText() const
{
    const auto [start, end] = m_selection.range();
    const TextPieces &pieces = m_rows.pieces();
    QString selected;
    selected.reserve(end - start);
    qsizetype copiedTo = start;
    for (qsizetype i = start; i < end;) {
        if (!pieces.isBreakAt(i)) {
            ++i;
            continue;
        }
        selected.append(QStringView(pieces.text()).sliced(copiedTo, i - copiedTo)).append(u'\n');
        i = std::min(i + 2, end);
        copiedTo = i;
    }
    selected.append(QStringView(pieces.text()).sliced(copiedTo, end - copiedTo));
    return selected;
}

void ReadOnlyTextView::copy() const
{
    if (!m_selection.isEmpty())
        QGuiApplication::clipboard()->setText(selectedText());
}

} // namespace sayvane
