// SPDX-License-Identifier: MIT
// How long the quotations area and the text boxes take with texts far
// larger than anyone types or reads: a screen reader's request for the
// extents of a long stretch, paging through characters that take no width,
// copying millions of lines, and a keystroke in a text box holding a huge
// paste.
#include "Accessibility.h"
#include "BenchSupport.h"
#include "ProgramSetup.h"
#include "ReadOnlyTextView.h"
#include "TextBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace sayvane::bench {
namespace {

Row timedRow(const std::string &operation, double milliseconds, double target)
{
    return {
        operation, milliseconds, std::nullopt, "", "< " + std::to_string(int(target)) + " ms", milliseconds < target};
}

void prepare(ReadOnlyTextView &view)
{
    view.setFont(programFont("Arial", 13)); // the quotations area's
    view.resize(329, 321);
    view.show();
    (void)QTest::qWaitForWindowExposed(&view);
    view.setFocus();
}

// The union of the rectangles of 2 million characters, asked one by one as
// a screen reader's bridge does.
Row extentsOfTwoMillionCharacters()
{
    ReadOnlyTextView view;
    prepare(view);
    QString text(3'000'000, u' ');
    for (qsizetype i = 0; i + 6 < text.size(); i += 7)
        text.replace(i, 6, QStringLiteral("wisdom"));
    view.setPlainText(text);
    QAccessibleTextInterface *reader = QAccessible::queryAccessibleInterface(&view)->textInterface();
    const double time = fastest([reader] {
        QRect extents;
        for (int offset = 500'000; offset < 2'500'000; ++offset)
            extents |= reader->characterRect(offset);
    });
    return timedRow("extents of 2 M characters for a screen reader", time, 100);
}

Row pageDownOverSoftHyphens()
{
    ReadOnlyTextView view;
    prepare(view);
    view.setPlainText(QString(20'000'000, QChar(0x00AD)));
    const double time = fastest([&view] {
        QTest::keyClick(&view, Qt::Key_PageDown);
        view.viewport()->repaint();
    });
    return timedRow("Page Down over 20 M soft hyphens", time, 30);
}

Row copyFiveMillionLines()
{
    ReadOnlyTextView view;
    prepare(view);
    QString text;
    text.reserve(5'000'000 * 12);
    for (int line = 0; line < 5'000'000; ++line)
        text.append(QStringLiteral("\r\nline\r\n"));
    view.setPlainText(text);
    view.selectAll();
    const double time = fastest([&view] { QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier); });
    return timedRow("copying 5 M lines (40 M characters)", time, 1000);
}

Row keystrokeAfterAHugePaste()
{
    TextBox box(QString(), nullptr);               // holds the first TextBox::kLimit characters of the paste
    box.setFont(programFont("MS Sans Serif", 16)); // the search box's
    box.resize(225, 27);
    box.show();
    (void)QTest::qWaitForWindowExposed(&box);
    box.setFocus();
    QString paste;
    while (paste.size() < 10'000'000)
        paste += QStringLiteral("wisdom begins in wonder ");
    box.setText(paste);
    const double time = fastest([&box] {
                            QTest::keyClick(&box, Qt::Key_X);
                            box.repaint();
                            QTest::keyClick(&box, Qt::Key_Backspace);
                            box.repaint();
                        }) /
                        2;
    // The limit sits where a keystroke reaches about a frame.
    return timedRow("keystroke in a text box after a 10 MB paste, cut to 100,000", time, 25);
}

} // namespace

std::vector<Row> textViewRows()
{
    return {extentsOfTwoMillionCharacters(), pageDownOverSoftHyphens(), copyFiveMillionLines(),
            keystrokeAfterAHugePaste()};
}

} // namespace sayvane::bench
