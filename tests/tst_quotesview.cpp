// The quotations area: paragraphs, wrapping, selecting and copying, and
// scrolling through a very long text.
#include "QuotesView.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

using sayvane::QuotesView;

class QuotesViewTest : public QObject
{
    Q_OBJECT

    static void prepare(QuotesView &view)
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        view.setFont(font);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(329, 321);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

private slots:
    void splitsParagraphs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("paragraphs");
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("shown lines") << "\r\nA\r\n\r\nB\r\n" << 5;
        QTest::newRow("lone CR and lone LF") << "a\rb\nc" << 3;
        QTest::newRow("LF CR is two breaks") << "a\n\rb" << 3;
    }

    void splitsParagraphs()
    {
        QFETCH(QString, text);
        QFETCH(int, paragraphs);
        QuotesView view;
        view.setPlainText(text);
        QCOMPARE(view.paragraphCount(), paragraphs);
        QCOMPARE(view.toPlainText(), text);
    }

    void wrapsLongLinesAtTheWidth()
    {
        QuotesView view;
        prepare(view);
        QString longLine;
        for (int i = 0; i < 40; ++i)
            longLine += QStringLiteral("wisdom ");
        view.setPlainText(QStringLiteral("\r\nshort\r\n\r\n") + longLine + QStringLiteral("\r\n") + QString(500, u'x'));
        QCOMPARE(view.rowCountOf(1), 1);
        QVERIFY(view.rowCountOf(3) >= 4);
        QVERIFY2(view.rowCountOf(4) >= 4, "a word wider than the box breaks anywhere");
        QVERIFY(!view.horizontalScrollBar()->isVisible());
    }

    void selectsAndCopiesWithTheMouseAndKeys()
    {
        QuotesView view;
        prepare(view);
        view.setPlainText(QStringLiteral("First line\r\nSecond line"));
        const int row = view.fontMetrics().lineSpacing();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(2, 4 + row / 2));
        QTest::mouseMove(view.viewport(), QPoint(300, 4 + row + row / 2));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(300, 4 + row + row / 2));
        QCOMPARE(view.selectedText(), QStringLiteral("First line\nSecond line"));
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("First line\nSecond line"));

        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(2, 4 + row / 2));
        QCOMPARE(view.selectedText(), QString());
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view.selectedText(), QStringLiteral("First line\nSecond line"));
        QCOMPARE(view.toPlainText(), QStringLiteral("First line\r\nSecond line"));
    }

    void scrollsThroughAHundredThousandLines()
    {
        QuotesView view;
        prepare(view);
        QString text;
        for (int i = 0; i < 100'000; ++i)
            text += QStringLiteral("\r\nQuotation number %1\r\n").arg(i);
        view.setPlainText(text);
        QCOMPARE(view.paragraphCount(), 200'001);
        QCOMPARE(view.firstVisibleParagraph(), 0);
        QTest::keyClick(&view, Qt::Key_PageDown);
        const int afterPage = view.firstVisibleParagraph();
        QVERIFY(afterPage > 15 && afterPage < 30);
        QTest::keyClick(&view, Qt::Key_End);
        const int last = view.firstVisibleParagraph();
        QVERIFY(last > 199'950);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(view.firstVisibleParagraph(), last);
        QCOMPARE(view.verticalScrollBar()->value(), last);
        view.verticalScrollBar()->setValue(100'000);
        QCOMPARE(view.firstVisibleParagraph(), 100'000);
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.firstVisibleParagraph(), 0);
    }
};

QTEST_MAIN(QuotesViewTest)
#include "tst_quotesview.moc"
