// SPDX-License-Identifier: MIT
// What typing and clicking do through the window: the filter boxes narrow
// their lists, the display buttons show a section, the search button
// searches; and the lists and text boxes behave as standard controls.
#include "ReadOnlyTextView.h"
#include "TextBox.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

using namespace sayvane;
using test::ProgramFolder;
using test::RecordedOutcome;
using test::rowsOf;

namespace {

const QString kDone = QStringLiteral("Searching Done !");
const QString kNothing = QStringLiteral("Sorry ! No result was found.");
const QString kTooShort = QStringLiteral("Please enter a word greater than 2 letters !");
// The most characters a text box holds, as the README promises.
constexpr int kTextBoxLimit = 100'000;

} // namespace

class ClicksTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpProgram(); }

    // Typing narrows the list, deleting widens it, the other list keeps its
    // rows and selection, and no row stays selected.
    void typingNarrowsTheList()
    {
        test::ShownWindow shown;
        QVERIFY(shown.open("##Plato\r\n##Pascal\r\n##plutarch\r\n##Seneca\r\n", "##Courage\r\n##Patience\r\n"));
        RecordedOutcome &record = shown.record;
        const Controls &c = shown.controls();
        test::clickRow(c.SubjectList, 1);
        test::clickRow(c.AuthorList, 0);

        QTest::keyClicks(c.txtAuthor, "PL");
        QCOMPARE(rowsOf(c.AuthorList), (QStringList{"Plato", "plutarch"}));
        QTest::keyClick(c.txtAuthor, Qt::Key_Backspace);
        QCOMPARE(rowsOf(c.AuthorList), (QStringList{"Plato", "Pascal", "plutarch"}));
        QTest::keyClick(c.txtAuthor, Qt::Key_Backspace);
        QCOMPARE(rowsOf(c.AuthorList), (QStringList{"Plato", "Pascal", "plutarch", "Seneca"}));
        QCOMPARE(c.txtAuthor->text(), QString());

        QCOMPARE(rowsOf(c.SubjectList), (QStringList{"Courage", "Patience"}));
        QCOMPARE(c.SubjectList->selectionIndex(), 1);

        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, QStringLiteral("Please select an Author first !"));

        QTest::keyClicks(c.txtSubject, " pat ");
        QCOMPARE(rowsOf(c.SubjectList), QStringList{"Patience"});
        QCOMPARE(c.txtSubject->text(), QStringLiteral(" pat "));
        QCOMPARE(c.SubjectList->selectionIndex(), -1);
    }

    void emptyArrayKeepsTheListEmpty()
    {
        test::ShownWindow shown;
        QVERIFY(shown.open("no headings here\r\n", "##Courage\r\n"));
        const RecordedOutcome &record = shown.record;
        const std::unique_ptr<frmMain> &window = shown.window;
        QTest::keyClicks(window->controls().txtAuthor, "a");
        QCOMPARE(window->controls().AuthorList->model()->rowCount(), 0);
        window->controls().txtAuthor->clear();
        QCOMPARE(window->controls().AuthorList->model()->rowCount(), 0);
        QVERIFY(record.messages.empty());
    }

    // The section shown is the one the selected row names, not the one at
    // the same position in the whole array.
    void showsTheSectionOfARowOfAFilteredList_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown");
        QTest::newRow("first row of two") << "s" << 0 << "\r\nSeneca one.\r\n";
        QTest::newRow("second row of two") << "s" << 1 << "\r\nSocrates one.\r\n";
        QTest::newRow("only row") << "pl" << 0 << "\r\nPlato one.\r\n";
    }

    void showsTheSectionOfARowOfAFilteredList()
    {
        QFETCH(QString, filter);
        QFETCH(int, row);
        QFETCH(QString, shown);
        test::ShownWindow window;
        QVERIFY(window.open("##Aesop\r\nAesop one.\r\n##Plato\r\nPlato one.\r\n##Seneca\r\nSeneca one.\r\n"
                            "##Socrates\r\nSocrates one.\r\n",
                            "##S\r\n"));
        const RecordedOutcome &record = window.record;
        const Controls &c = window.controls();
        QTest::keyClicks(c.txtAuthor, filter);
        test::clickRow(c.AuthorList, row);
        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText(), shown);
        QVERIFY(record.messages.empty());
    }

    // Both entries of a repeated name show the first section of that name.
    void eitherEntryOfARepeatedNameShowsTheFirstSection()
    {
        test::ShownWindow shown;
        QVERIFY(shown.open("##A\r\n", test::kSampleSections));
        RecordedOutcome &record = shown.record;
        const Controls &c = shown.controls();
        for (int row : {0, 3}) {
            c.txtQuotes->clear();
            test::clickRow(c.SubjectList, row);
            QTest::mouseClick(c.cmdShowSubject, Qt::LeftButton);
            QCOMPARE(c.txtQuotes->toPlainText(), QStringLiteral("\r\nCourage quotation one.\r\n\r\n\r\n"));
        }
        QVERIFY(record.messages.empty());
    }

    void asksForASelectionFirst_data()
    {
        QTest::addColumn<bool>("authors");
        QTest::addColumn<QString>("message");
        QTest::newRow("authors") << true << "Please select an Author first !";
        QTest::newRow("subjects") << false << "Please select a subject first !";
    }

    void asksForASelectionFirst()
    {
        QFETCH(bool, authors);
        QFETCH(QString, message);
        test::ShownWindow shown;
        QVERIFY(shown.open("##A\r\na1\r\n", "##S\r\ns1\r\n"));
        const RecordedOutcome &record = shown.record;
        const std::unique_ptr<frmMain> &window = shown.window;
        const Controls &c = window->controls();
        c.txtQuotes->setPlainText(QStringLiteral("kept"));
        QTest::mouseClick(authors ? c.cmdShowAuthor : c.cmdShowSubject, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, message);
        QCOMPARE(record.messages[0].icon, MessageIcon::Information);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
        QCOMPARE(c.txtQuotes->toPlainText(), QStringLiteral("kept"));
    }

    void showsTheSelectedAuthor()
    {
        test::ShownWindow shown;
        QVERIFY(shown.open("##Plato\r\nFirst.\r\nSecond.\r\n##Seneca\r\nThird.\r\n", "##S\r\n"));
        RecordedOutcome &record = shown.record;
        const Controls &c = shown.controls();
        test::clickRow(c.AuthorList, 1);
        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText(), QStringLiteral("\r\nThird.\r\n"));
        test::clickRow(c.AuthorList, 0);
        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText(), QStringLiteral("\r\nFirst.\r\n\r\nSecond.\r\n"));
        QVERIFY(record.messages.empty());
    }

    // The user moves the one selection of a list but cannot remove it;
    // only a new filter text, which rebuilds the list, leaves none.
    void keepsTheSelectionOfAList_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("selected");
        QTest::newRow("Ctrl+click on the selected row") << "ctrl-click selected" << 1;
        QTest::newRow("Ctrl+Space") << "ctrl-space" << 1;
        QTest::newRow("click below the rows") << "click blank" << 1;
        QTest::newRow("Ctrl+click on another row") << "ctrl-click other" << 0;
        QTest::newRow("right click on another row") << "right click other" << 1;
        QTest::newRow("middle click on another row") << "middle click other" << 1;
        QTest::newRow("right double-click on another row") << "right double-click other" << 1;
        QTest::newRow("Down arrow") << "down" << 2;
        QTest::newRow("Up arrow") << "up" << 0;
        QTest::newRow("new filter text") << "filter" << -1;
    }

    void keepsTheSelectionOfAList()
    {
        QFETCH(QString, action);
        QFETCH(int, selected);
        test::ShownWindow shown;
        QVERIFY(shown.open("##Aesop\r\n##Plato\r\n##Seneca\r\n", "##S\r\n"));
        RecordedOutcome &record = shown.record;
        QVERIFY(QTest::qWaitForWindowExposed(shown.window.get()));
        const Controls &c = shown.controls();
        ListBox *list = c.AuthorList;
        QCOMPARE(list->selectionIndex(), -1); // none before the first selection
        test::clickRow(list, 1);
        QCOMPARE(list->selectionIndex(), 1);
        if (action == "ctrl-click selected")
            test::clickRow(list, 1, Qt::ControlModifier);
        else if (action == "ctrl-space")
            QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        else if (action == "click blank")
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 300));
        else if (action == "ctrl-click other")
            test::clickRow(list, 0, Qt::ControlModifier);
        else if (action == "right click other")
            QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                              list->visualRect(list->model()->index(2, 0)).center());
        else if (action == "middle click other")
            QTest::mouseClick(list->viewport(), Qt::MiddleButton, {},
                              list->visualRect(list->model()->index(0, 0)).center());
        else if (action == "right double-click other")
            QTest::mouseDClick(list->viewport(), Qt::RightButton, {},
                               list->visualRect(list->model()->index(2, 0)).center());
        else if (action == "down")
            QTest::keyClick(list, Qt::Key_Down);
        else if (action == "up")
            QTest::keyClick(list, Qt::Key_Up);
        else if (action == "filter")
            QTest::keyClicks(c.txtAuthor, " ");
        QCOMPARE(list->selectionIndex(), selected);
        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(selected < 0 ? 1 : 0));
    }

    // A file that fails at the time of the click is reported by name; the
    // quotations area is left empty (a click empties it before it reads),
    // and the next click after the file is back works again.
    void reportsAFileThatFailsAtTheClick_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("removed") << "removed"
                                 << "No such file or directory";
        QTest::newRow("replaced by a folder") << "folder"
                                              << "not a regular file";
        QTest::newRow("read error") << "read error"
                                    << "Input/output error";
    }

    void reportsAFileThatFailsAtTheClick()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        test::SelectedAuthor selected("##Plato\r\nFirst.\r\n");
        QVERIFY(selected.load());
        const QString path = selected.folder.authors();
        QVERIFY(QFile::remove(path));
        if (failure == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (failure == "read error") {
            if (test::unreadableRegularFile().isEmpty())
                QSKIP("no regular file here fails its reads");
            QVERIFY(QFile::link(test::unreadableRegularFile(), path));
        }
        selected.clickShowAndSearch(QStringLiteral("First"));
        selected.verifyBothReported(reason);

        if (failure == "folder")
            QVERIFY(QDir().rmdir(path));
        else
            QFile::remove(path);
        selected.restoreAuthors();
        QTest::mouseClick(selected.controls().cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(selected.controls().txtQuotes->toPlainText(), QStringLiteral("\r\nFirst.\r\n"));
        QCOMPARE(selected.record.messages.size(), std::size_t(2));
    }

    void searches_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("message");
        QTest::newRow("found") << " wonder "
                               << "\r\nWisdom begins in wonder.\r\n"
                               << kDone;
        QTest::newRow("two lines") << "wisdom"
                                   << "\r\n  Indented wisdom line\r\n\r\nwisdom, wisdom and more wisdom\r\n"
                                   << kDone;
        QTest::newRow("nothing found empties the area") << "zebra"
                                                        << "" << kNothing;
        QTest::newRow("subjects are not searched") << "Courage"
                                                   << "" << kNothing;
        QTest::newRow("too short keeps the area") << " ab "
                                                  << "before" << kTooShort;
        QTest::newRow("empty keeps the area") << ""
                                              << "before" << kTooShort;
        QTest::newRow("a letter and an emoji are too short") << QString::fromUtf8("a😀") << "before" << kTooShort;
    }

    void searches()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(QString, message);
        test::ShownWindow shown;
        QVERIFY(shown.open(test::kSearchAuthors, "##Courage\r\nCourage is grace.\r\n"));
        const RecordedOutcome &record = shown.record;
        const std::unique_ptr<frmMain> &window = shown.window;
        const Controls &c = window->controls();
        c.txtQuotes->setPlainText(QStringLiteral("before"));
        // Keys can type only Latin-1; other text comes in as an input method would bring it.
        if (typed == QString::fromLatin1(typed.toLatin1()))
            QTest::keyClicks(c.txtSearch, typed);
        else
            c.txtSearch->insert(typed);
        QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText(), expected);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, message);
        QCOMPARE(record.messages[0].icon, MessageIcon::Information);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
    }

    // A key pressed with Alt, Ctrl or Meta types nothing into a text box;
    // AltGr, which some keyboards send as Ctrl and Alt, types its
    // character. The filter box's list stays as the text leaves it.
    void commandKeysTypeNothing_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text"); // what the key event carries
        QTest::addColumn<QString>("typed");
        for (const char *box : {"txtAuthor", "txtSubject", "txtSearch"}) {
            QTest::addRow("%s, c", box) << box << int(Qt::NoModifier) << "c"
                                        << "c";
            QTest::addRow("%s, Alt+C", box) << box << int(Qt::AltModifier) << "c"
                                            << "";
            QTest::addRow("%s, Alt+Shift+C", box) << box << int(Qt::AltModifier | Qt::ShiftModifier) << "C"
                                                  << "";
            QTest::addRow("%s, Meta+C", box) << box << int(Qt::MetaModifier) << "c"
                                             << "";
            QTest::addRow("%s, Ctrl+C", box) << box << int(Qt::ControlModifier) << "\x03"
                                             << "";
            QTest::addRow("%s, AltGr as Ctrl+Alt", box) << box << int(Qt::ControlModifier | Qt::AltModifier) << "é"
                                                        << "é";
        }
    }

    void commandKeysTypeNothing()
    {
        QFETCH(QString, box);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QString, typed);
        test::ShownWindow shown;
        QVERIFY(shown.open("##Cicero\r\n##Plato\r\n##Confucius\r\n", "##Courage\r\n##Calm\r\n##Hope\r\n"));
        const Controls &c = shown.controls();
        QLineEdit *edit = box == "txtSearch" ? c.txtSearch : box == "txtAuthor" ? c.txtAuthor : c.txtSubject;
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_C, text, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(edit->text(), typed);
        const int rows = typed == "c" ? 2 : typed.isEmpty() ? 3 : 0;
        if (box == "txtAuthor")
            QCOMPARE(c.AuthorList->model()->rowCount(), rows);
        if (box == "txtSubject")
            QCOMPARE(c.SubjectList->model()->rowCount(), rows);
    }

    // Numbers read as in the United States whatever the system's locale:
    // the program's locale is English (United States).
    void numbersReadAsInTheUnitedStates_data()
    {
        QTest::addColumn<QString>("systemLocale");
        for (const char *name : {"de_DE", "fr_FR", "hi_IN", "ar_EG", "en_US"})
            QTest::newRow(name) << name;
    }

    void numbersReadAsInTheUnitedStates()
    {
        QFETCH(QString, systemLocale);
        QLocale::setDefault(QLocale(systemLocale));
        setUpProgram();
        QCOMPARE(QLocale().name(), QStringLiteral("en_US"));
        QCOMPARE(TextBox::cutNotice(), QStringLiteral("The text was cut to 100,000 characters, the most a box holds."));
    }

    // A text box holds up to its limit whatever is pasted into it, and the
    // search uses all of it; a paste beyond the limit is cut to it, and the
    // box says so.
    void textBoxesHoldUpToTheirLimit_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("pasted");
        for (const char *box : {"txtSearch", "txtAuthor", "txtSubject"}) {
            QTest::addRow("%s, Ctrl+V of 40,000", box) << box << "Ctrl+V" << 40'000;
            QTest::addRow("%s, Ctrl+V of the limit", box) << box << "Ctrl+V" << kTextBoxLimit;
            QTest::addRow("%s, Ctrl+V beyond the limit", box) << box << "Ctrl+V" << 250'000;
        }
        QTest::newRow("txtSearch, Shift+Insert beyond the limit") << "txtSearch"
                                                                  << "Shift+Ins" << 150'000;
    }

    void textBoxesHoldUpToTheirLimit()
    {
        QFETCH(QString, box);
        QFETCH(QString, how);
        QFETCH(int, pasted);
        const QByteArray phrase = QByteArray(std::min(pasted, kTextBoxLimit) - 1, 'w') + "x";
        test::ShownWindow shown;
        QVERIFY(shown.open("##A\r\n" + phrase + "\r\n" + QByteArray(40'000, 'w') + "\r\n", "##S\r\n"));
        const Controls &c = shown.controls();
        QLineEdit *edit = box == "txtSearch" ? c.txtSearch : box == "txtAuthor" ? c.txtAuthor : c.txtSubject;
        QToolTip::hideText();
        QApplication::clipboard()->setText(QString::fromLatin1(phrase) + QString(pasted - phrase.size(), u'y'));
        edit->setFocus();
        const QKeyCombination keys = QKeySequence(how)[0];
        QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
        QCOMPARE(edit->text(), QString::fromLatin1(phrase));
        const bool cut = pasted > kTextBoxLimit;
        QCOMPARE(QToolTip::isVisible() && QToolTip::text() == TextBox::cutNotice(), cut);
        if (box == "txtSearch") {
            QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
            QCOMPARE(c.txtQuotes->toPlainText(),
                     QStringLiteral("\r\n") + QString::fromLatin1(phrase) + QStringLiteral("\r\n"));
            QCOMPARE(shown.record.messages.back().text, kDone);
        }
    }

    // Under X, each way of selecting in a text box makes the selection the
    // primary selection, and the middle button pastes it into another.
    void textBoxesShareTheirSelection_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("selected");
        for (const char *box : {"txtAuthor", "txtSearch", "txtSubject"}) {
            QTest::addRow("%s, a drag", box) << box << "drag" << "quintessential";
            QTest::addRow("%s, a double-click", box) << box << "double-click" << "quintessential";
            QTest::addRow("%s, Shift and the arrows", box) << box << "keys" << "quin";
            QTest::addRow("%s, Ctrl+A", box) << box << "ctrl+a" << "quintessential zephyr";
        }
    }

    void textBoxesShareTheirSelection()
    {
        QFETCH(QString, box);
        QFETCH(QString, how);
        QFETCH(QString, selected);
        QClipboard *clipboard = QApplication::clipboard();
        if (!clipboard->supportsSelection())
            QSKIP("no primary selection on this platform; the suite runs on X too");
        clipboard->setText(QStringLiteral("before"), QClipboard::Selection);
        test::ShownWindow shown;
        QVERIFY(shown.open("##A\r\nq\r\n", "##S\r\n"));
        const Controls &c = shown.controls();
        QLineEdit *edit = box == "txtSearch" ? c.txtSearch : box == "txtAuthor" ? c.txtAuthor : c.txtSubject;
        edit->setText(QStringLiteral("quintessential zephyr"));
        edit->setFocus();
        // The first point of the box whose nearest cursor position is this.
        const auto pointAt = [edit](int position) {
            int x = 0;
            while (x < edit->width() && edit->cursorPositionAt(QPoint(x, edit->height() / 2)) < position)
                ++x;
            return QPoint(x, edit->height() / 2);
        };
        edit->setCursorPosition(0);
        const QPoint start = pointAt(0);
        if (how == u"drag") {
            QTest::mousePress(edit, Qt::LeftButton, {}, start);
            QTest::mouseMove(edit, pointAt(14));
            QTest::mouseRelease(edit, Qt::LeftButton, {}, pointAt(14));
        } else if (how == u"double-click") {
            QTest::mouseDClick(edit, Qt::LeftButton, {}, pointAt(4));
        } else if (how == u"keys") {
            edit->setCursorPosition(0);
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
        } else {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        }
        QCOMPARE(edit->selectedText(), selected);
        QCOMPARE(clipboard->text(QClipboard::Selection), selected);
        // A middle-click in another box pastes it there.
        QLineEdit *other = edit == c.txtSearch ? c.txtAuthor : c.txtSearch;
        other->clear();
        QTest::mouseClick(other, Qt::MiddleButton, {}, QPoint(5, other->height() / 2));
        QCOMPARE(other->text(), selected);
    }
};

QTEST_MAIN(ClicksTest)
#include "tst_clicks.moc"
