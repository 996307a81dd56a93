// SPDX-License-Identifier: MIT
// The frameless window's own behaviour: dragging by the title bar,
// minimising, ending, and the About box.
#include "ClickableLabel.h"
#include "MessageBoxesAndExit.h"
#include "ProgramStart.h"
#include "Version.h"
#include "WindowTestSupport.h"
#include "frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include "ReadOnlyTextView.h"
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <limits>

using namespace sayvane;
using test::ProgramFolder;
using test::RecordedOutcome;

class BehaviourTest : public QObject
{
    Q_OBJECT

    test::ShownWindow m_shown;

private slots:
    // The 704 x 514 window opens centred where it fits the available
    // area, else at that area's top-left corner, its title bar on screen.
    void opensWhereItsTitleBarCanBeGrabbed_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("1280 x 1024, fits: centred")
            << QRect(0, 0, 1280, 1024) << QRect(0, 0, 1280, 1024) << QPoint(288, 255);
        QTest::newRow("a panel at the top, fits: centred on the screen")
            << QRect(0, 0, 1280, 1024) << QRect(0, 28, 1280, 996) << QPoint(288, 255);
        QTest::newRow("1280 x 1024 at scale 2: too wide and tall")
            << QRect(0, 0, 640, 512) << QRect(0, 0, 640, 512) << QPoint(0, 0);
        QTest::newRow("too tall below a panel") << QRect(0, 0, 800, 540) << QRect(0, 28, 800, 512) << QPoint(0, 28);
        QTest::newRow("too narrow, a second screen")
            << QRect(1920, 0, 700, 900) << QRect(1920, 0, 700, 900) << QPoint(1920, 0);
        QTest::newRow("exactly the size") << QRect(0, 0, 704, 514) << QRect(0, 0, 704, 514) << QPoint(0, 0);
    }

    void opensWhereItsTitleBarCanBeGrabbed()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(QPoint, position);
        QCOMPARE(initialPosition(QSize(704, 514), screen, available), position);
    }

    void initTestCase()
    {
        setUpProgram();
        m_shown.folder.writeBoth("##Plato\r\nWisdom begins in wonder.\r\n##Seneca\r\n", "##Courage\r\n##Hope\r\n");
    }

    void init()
    {
        m_shown.record = {};
        QVERIFY(m_shown.open());
        m_shown.window->move(300, 200);
        QVERIFY(QTest::qWaitForWindowExposed(m_shown.window.get()));
        // Without a window manager no window is activated on its own.
        m_shown.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_shown.window.get()));
    }

    void cleanup() { m_shown.window.reset(); }

private:
    // A press or a move on the title bar at a point given in twips, 15 to
    // the pixel; a press is made by the first of the buttons.
    void sendToTitleBar(QEvent::Type type, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double xTwips,
                        double yTwips) const
    {
        QLabel *bar = m_shown.window->controls().TitleBar;
        const QPointF point(xTwips / 15., yTwips / 15.);
        const Qt::MouseButton button =
            type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButton(buttons.toInt() & -buttons.toInt());
        QMouseEvent event(type, point, bar->mapToGlobal(point), button, buttons, modifiers);
        QApplication::sendEvent(bar, &event);
    }

private slots:

    // The press point is kept in whole twips (15 to a pixel), rounded half
    // to even, whatever button pressed; a later move with the left button
    // measures from it. A move to 7 twips past the kept point leaves the
    // window where it is (7/15 of a pixel); one to 8 twips past moves it a
    // pixel; together they pin the kept point to the twip.
    void keepsThePressPointRoundedHalfToEven_data()
    {
        QTest::addColumn<double>("pressed"); // twips, both across and down
        QTest::addColumn<double>("kept");
        QTest::newRow("100.5 goes down to even") << 100.5 << 100.0;
        QTest::newRow("101.5 goes up to even") << 101.5 << 102.0;
        QTest::newRow("100.4") << 100.4 << 100.0;
        QTest::newRow("100.6") << 100.6 << 101.0;
        QTest::newRow("-0.5") << -0.5 << 0.0;
        QTest::newRow("beyond the 16-bit range") << 1e9 << 32767.0;
    }

    void keepsThePressPointRoundedHalfToEven()
    {
        QFETCH(double, pressed);
        QFETCH(double, kept);
        for (const auto &[past, moved] : {std::pair{7.0, QPoint()}, std::pair{8.0, QPoint(1, 1)}}) {
            m_shown.window->move(300, 200);
            sendToTitleBar(QEvent::MouseButtonPress, Qt::RightButton, {}, pressed, pressed);
            sendToTitleBar(QEvent::MouseMove, Qt::LeftButton, {}, kept + past, kept + past);
            QCOMPARE(m_shown.window->pos(), QPoint(300, 200) + moved);
        }
    }

    void movesOnlyWithTheLeftButtonAlone_data()
    {
        QTest::addColumn<Qt::MouseButtons>("buttons");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<double>("toX");
        QTest::addColumn<double>("toY");
        QTest::addColumn<QPoint>("moved"); // in pixels
        const double infinity = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const Qt::MouseButtons left(Qt::LeftButton), none;
        const Qt::KeyboardModifiers plain;
        QTest::newRow("left button: +150 and -30 twips") << left << plain << 450. << 90. << QPoint(10, -2);
        QTest::newRow("left with shift and ctrl held")
            << left << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier) << 450. << 90. << QPoint(10, -2);
        QTest::newRow("right button") << Qt::MouseButtons(Qt::RightButton) << plain << 450. << 90. << QPoint();
        QTest::newRow("left and right") << Qt::MouseButtons(Qt::LeftButton | Qt::RightButton) << plain << 450. << 90.
                                        << QPoint();
        QTest::newRow("no button") << none << plain << 450. << 90. << QPoint();
        QTest::newRow("back to the press point") << left << plain << 300. << 120. << QPoint();
        QTest::newRow("infinite X moves neither") << left << plain << infinity << 90. << QPoint();
        QTest::newRow("NaN Y keeps the new left") << left << plain << 450. << nan << QPoint(10, 0);
    }

    void movesOnlyWithTheLeftButtonAlone()
    {
        QFETCH(Qt::MouseButtons, buttons);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(double, toX);
        QFETCH(double, toY);
        QFETCH(QPoint, moved);
        const QPoint before = m_shown.window->pos();
        sendToTitleBar(QEvent::MouseButtonPress, Qt::LeftButton, {}, 300., 120.);
        sendToTitleBar(QEvent::MouseMove, buttons, modifiers, toX, toY);
        QCOMPARE(m_shown.window->pos(), before + moved);
        // The press point stays as it was: back to it is back home.
        sendToTitleBar(QEvent::MouseMove, Qt::LeftButton, {}, 300. - 15. * moved.x(), 120. - 15. * moved.y());
        QCOMPARE(m_shown.window->pos(), before);
    }

    // A real drag with the mouse: every move measures from the press point.
    void dragsByTheTitleBarWithTheMouse()
    {
        const QPoint before = m_shown.window->pos();
        QLabel *bar = m_shown.window->controls().TitleBar;
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(20, 8));
        QMouseEvent move(QEvent::MouseMove, QPointF(45, 3), bar->mapToGlobal(QPointF(45, 3)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        QCOMPARE(m_shown.window->pos(), before + QPoint(25, -5));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(20, 8));
    }

    void minimiseKeepsEverything()
    {
        m_shown.window->controls().txtAuthor->setText(QStringLiteral("pl"));
        m_shown.window->controls().txtQuotes->setPlainText(QStringLiteral("shown"));
        QTest::mouseClick(m_shown.window->controls().lblMin, Qt::LeftButton);
        QVERIFY(m_shown.window->windowState() & Qt::WindowMinimized);
        m_shown.window->setWindowState(m_shown.window->windowState() & ~Qt::WindowMinimized);
        QCOMPARE(m_shown.window->controls().txtAuthor->text(), QStringLiteral("pl"));
        QCOMPARE(m_shown.window->controls().AuthorList->model()->rowCount(), 1);
        QCOMPARE(m_shown.window->controls().SubjectList->model()->rowCount(), 2);
        QCOMPARE(m_shown.window->controls().txtQuotes->toPlainText(), QStringLiteral("shown"));
        QVERIFY(m_shown.record.messages.empty());
    }

    void exitControlsEndTheProgramWithoutAWord_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("X label") << "lblExit";
        QTest::newRow("Exit button") << "cmdExit";
    }

    void exitControlsEndTheProgramWithoutAWord()
    {
        QFETCH(QString, control);
        QTest::mouseClick(m_shown.window->findChild<QWidget *>(control), Qt::LeftButton);
        QCOMPARE(m_shown.record.endings, 1);
        QCOMPARE(m_shown.record.exitStatus, kExitSuccess);
        QVERIFY(m_shown.record.messages.empty());
        QVERIFY(!m_shown.window->isVisible());
    }

    // Return and Enter click the push button that has the focus, as Space
    // does. There is no default or cancel button: elsewhere they do
    // nothing, and Escape does nothing anywhere.
    void keysOnTheFocusedControl_data()
    {
        QTest::addColumn<QString>("focus"); // the control with the focus; "Tab" walks to About from the first
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("outcome"); // "About", "ended" or "nothing"
        QTest::newRow("Tab to About, Return") << "Tab" << int(Qt::Key_Return) << "About";
        QTest::newRow("About, Enter of the keypad") << "cmdAbout" << int(Qt::Key_Enter) << "About";
        QTest::newRow("About, Space") << "cmdAbout" << int(Qt::Key_Space) << "About";
        QTest::newRow("Exit, Return") << "cmdExit" << int(Qt::Key_Return) << "ended";
        QTest::newRow("About, Escape") << "cmdAbout" << int(Qt::Key_Escape) << "nothing";
        QTest::newRow("search box, Return") << "txtSearch" << int(Qt::Key_Return) << "nothing";
        QTest::newRow("search box, Escape") << "txtSearch" << int(Qt::Key_Escape) << "nothing";
        QTest::newRow("author list, Return") << "AuthorList" << int(Qt::Key_Return) << "nothing";
        QTest::newRow("quotations, Enter") << "txtQuotes" << int(Qt::Key_Enter) << "nothing";
    }

    void keysOnTheFocusedControl()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, outcome);
        frmMain &window = *m_shown.window;
        window.controls().txtSearch->setText(QStringLiteral("wisdom"));
        if (focus == "Tab") {
            window.controls().AuthorList->setFocus();
            for (int step = 0; step < 9; ++step)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), window.controls().cmdAbout);
        } else {
            window.findChild<QWidget *>(focus)->setFocus();
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
        }
        const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        const RecordedOutcome &record = m_shown.record;
        QCOMPARE(record.messages.size(), std::size_t(outcome == "About" ? 1 : 0));
        if (outcome == "About")
            QCOMPARE(record.messages[0].title, QStringLiteral("About"));
        QCOMPARE(record.endings, outcome == "ended" ? 1 : 0);
        QCOMPARE(window.controls().txtQuotes->toPlainText(),
                 QStringLiteral("Select an Author or subject to show its quotes.\r\n"));
    }

    void aboutBoxText()
    {
        QTest::mouseClick(m_shown.window->controls().cmdAbout, Qt::LeftButton);
        QCOMPARE(m_shown.record.messages.size(), std::size_t(1));
        const Message &about = m_shown.record.messages[0];
        QCOMPARE(about.title, QStringLiteral("About"));
        QCOMPARE(about.icon, MessageIcon::Information);
        QCOMPARE(about.text, QStringLiteral(".:: Sayvane ::.\r\n\r\nVersion ") + QLatin1String(kVersion) +
                                 QStringLiteral("\r\nBrowse a collection of quotations by author or subject.\r\n"
                                                "Made by Tamsor.\r\nWeb : https://tamsor.example.org\r\n"
                                                "Personal Web : https://www.example.org/~sayvane\r\n"
                                                "Email ID : sayvane@example.org"));
        QCOMPARE(m_shown.window->pos(), QPoint(300, 200));
    }

    // Every box is a fixed-size dialog whose frame offers a close button
    // only, and is at least wide enough for its whole title beside the
    // frame's icon and buttons (120 pixels), in a bold title font of 12 pixels.
    void messageBoxesAreFixedDialogsWideEnoughForTheirTitles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::newRow("Searching Done !") << "Searching Done !"
                                          << "Sayvane" << int(MessageIcon::Information);
        QTest::newRow("a short text and a long title")
            << "OK"
            << "A title far longer than its text, of many words" << int(MessageIcon::Information);
        QTest::newRow("the missing files")
            << "Sorry ! Some of the files are missing...\r\nPlease re-download the software."
            << "Sayvane" << int(MessageIcon::Error);
    }

    void messageBoxesAreFixedDialogsWideEnoughForTheirTitles()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        Qt::WindowFlags flags;
        QSize size, minimum, maximum;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seenIcon = box->icon();
            flags = box->windowFlags();
            size = box->size();
            minimum = box->minimumSize();
            maximum = box->maximumSize();
            box->button(QMessageBox::Ok)->click();
        });
        MessageBoxesAndExit().showMessage(nullptr, Message{text, MessageIcon(icon), title});
        QCOMPARE(seenIcon, MessageIcon(icon) == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information);
        QVERIFY(flags.testFlag(Qt::Dialog));
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(minimum, size);
        QCOMPARE(maximum, size);
        QFont titleFont(QStringLiteral("DejaVu Sans"));
        titleFont.setPixelSize(12);
        titleFont.setBold(true);
        const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title);
        QVERIFY2(size.width() >= titleWidth + 120,
                 qPrintable(QStringLiteral("%1 wide for a title of %2").arg(size.width()).arg(titleWidth)));
    }

    // The one test that drives a real, modal message box.
    void aboutShowsARealModalBox()
    {
        const std::unique_ptr<frmMain> opened = openMainWindow(m_shown.folder.collection());
        QVERIFY(opened);
        frmMain &window = *opened;
        window.show();
        QString seenTitle, seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QFont seenFont;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenFont = box->font();
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(window.controls().cmdAbout, Qt::LeftButton);
        QCOMPARE(seenTitle, QStringLiteral("About"));
        QCOMPARE(seenIcon, QMessageBox::Information);
        QCOMPARE(seenText, frmMain::aboutText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        // In the window's default font, as the window's lists are.
        QCOMPARE(seenFont.families(), window.controls().AuthorList->font().families());
        QCOMPARE(seenFont.pixelSize(), 11);
    }
};

QTEST_MAIN(BehaviourTest)
#include "tst_behaviour.moc"
