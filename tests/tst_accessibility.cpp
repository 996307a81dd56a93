// What a screen reader finds in the window: every control by its name and
// role, the text of the quotations area, the items of both lists, and
// buttons it can press.
#include "QuotesView.h"
#include "WindowTestSupport.h"
#include "frmMain.h"

#include <QAccessible>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace sayvane;
using test::ProgramFolder;
using test::SeamRecord;

class AccessibilityTest : public QObject
{
    Q_OBJECT

    ProgramFolder m_folder;
    SeamRecord m_record;
    std::unique_ptr<frmMain> m_window;

    QAccessibleInterface *accessible(const char *name) const
    {
        return QAccessible::queryAccessibleInterface(m_window->findChild<QWidget *>(name));
    }

private slots:
    void initTestCase()
    {
        applyProgramStyle();
        m_folder.writeBoth("##Plato\r\nWisdom begins in wonder.\r\n##Seneca\r\n", "##Courage\r\n##Hope\r\n##Time\r\n");
        m_window = std::make_unique<frmMain>(m_folder.path(), std::make_unique<test::RecordingSeam>(m_record));
        QVERIFY(m_window->Form_Load());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void everyControlHasANameAndARole_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        const auto row = [](const char *control, const char *name, QAccessible::Role role) {
            QTest::newRow(control) << control << name << int(role);
        };
        row("AuthorList", "Authors", QAccessible::List);
        row("SubjectList", "Subjects", QAccessible::List);
        row("txtQuotes", "Quotations", QAccessible::EditableText);
        row("txtSearch", "Search phrase", QAccessible::EditableText);
        row("txtAuthor", "Filter authors", QAccessible::EditableText);
        row("txtSubject", "Filter subjects", QAccessible::EditableText);
        row("cmdShowAuthor", "Show Quotes of Author", QAccessible::Button);
        row("cmdShowSubject", "Show Related Quotes", QAccessible::Button);
        row("cmdSearch", "Search", QAccessible::Button);
        row("cmdAbout", "About", QAccessible::Button);
        row("cmdExit", "Exit", QAccessible::Button);
        row("Label1", "Authors", QAccessible::StaticText);
        row("Label3", "Search a quote :", QAccessible::StaticText);
        row("lblExit", "Close", QAccessible::StaticText);
        row("lblMin", "Minimise", QAccessible::StaticText);
    }

    void everyControlHasANameAndARole()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        QAccessibleInterface *interface = accessible(qPrintable(control));
        QVERIFY(interface && interface->isValid());
        QCOMPARE(interface->text(QAccessible::Name), name);
        QCOMPARE(int(interface->role()), role);
    }

    void readsTheItemsOfBothLists()
    {
        for (const auto &[list, items] : {std::pair{"AuthorList", QStringList{"Plato", "Seneca"}},
                                          std::pair{"SubjectList", QStringList{"Courage", "Hope", "Time"}}}) {
            QAccessibleInterface *interface = accessible(list);
            QStringList read;
            for (int i = 0; i < interface->childCount(); ++i)
                read.append(interface->child(i)->text(QAccessible::Name));
            QCOMPARE(read, items);
        }
    }

    void readsTheQuotations()
    {
        m_window->controls().txtQuotes->setPlainText(QStringLiteral("\r\nWisdom begins in wonder.\r\n"));
        QAccessibleInterface *interface = accessible("txtQuotes");
        QVERIFY(interface->state().readOnly && interface->state().multiLine);
        QAccessibleTextInterface *text = interface->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 28);
        QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("\r\nWisdom begins in wonder.\r\n"));
        QCOMPARE(interface->text(QAccessible::Value), QStringLiteral("\r\nWisdom begins in wonder.\r\n"));
        text->setSelection(0, 2, 8);
        QCOMPARE(m_window->controls().txtQuotes->selectedText(), QStringLiteral("Wisdom"));
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(std::pair(start, end), std::pair(2, 8));
    }

    void pressesButtons()
    {
        m_record.messages.clear();
        QAccessibleActionInterface *action = accessible("cmdAbout")->actionInterface();
        QVERIFY(action && action->actionNames().contains(QAccessibleActionInterface::pressAction()));
        action->doAction(QAccessibleActionInterface::pressAction());
        // The press is animated, so the click follows a moment later.
        QTRY_COMPARE(m_record.messages.size(), std::size_t(1));
        QCOMPARE(m_record.messages[0].title, QStringLiteral("About"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
