// Narrowing the name lists by a typed prefix, without regard to case.
#include "NameFilter.h"
#include "TestSupport.h"
#include "frmMain.h"

#include <QListView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace sayvane;
using test::ProgramFolder;
using test::rowsOf;
using test::SeamRecord;

namespace {

const QStringList kNames{"Einstein",
                         "EINSTEIN",
                         "ein",
                         " Eins",
                         "",
                         "Emerson",
                         "Ein stein",
                         "Einstein",
                         "Xein",
                         "Ei",
                         QString::fromUtf8("Émile Zola"),
                         "Ein  stein"};

QStringList filtered(const QStringList &names, const QString &filter)
{
    QStringList shown;
    for (int position : FilterNames(names, filter))
        shown.append(names[position]);
    return shown;
}

} // namespace

class FilterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramStyle(); }

    void keepsTheNamesThatBeginWithTheFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty filter lists all") << "" << kNames;
        QTest::newRow("spaces only list all") << "   " << kNames;
        QTest::newRow("case ignored, own case shown")
            << "eIn" << QStringList{"Einstein", "EINSTEIN", "ein", "Ein stein", "Einstein", "Ein  stein"};
        QTest::newRow("spaces around are trimmed")
            << " ein " << QStringList{"Einstein", "EINSTEIN", "ein", "Ein stein", "Einstein", "Ein  stein"};
        QTest::newRow("inner space counts") << "ein s" << QStringList{"Ein stein"};
        QTest::newRow("two inner spaces") << "ein  s" << QStringList{"Ein  stein"};
        QTest::newRow("match inside a name is not listed") << "stein" << QStringList{};
        QTest::newRow("filter longer than a name") << "eins" << QStringList{"Einstein", "EINSTEIN", "Einstein"};
        QTest::newRow("name that is a prefix of the filter") << "eix" << QStringList{};
        QTest::newRow("accented letters ignore case")
            << QString::fromUtf8("éMI") << QStringList{QString::fromUtf8("Émile Zola")};
        QTest::newRow("tab is not trimmed") << "\tein" << QStringList{};
        QTest::newRow("duplicates each listed") << "einstein" << QStringList{"Einstein", "EINSTEIN", "Einstein"};
    }

    void keepsTheNamesThatBeginWithTheFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, shown);
        QCOMPARE(filtered(kNames, filter), shown);
    }

    void emptyNameArrayListsNothing()
    {
        QVERIFY(FilterNames({}, u"").isEmpty());
        QVERIFY(FilterNames({}, u"abc").isEmpty());
    }

    // Through the window: typing narrows the list, deleting widens it, the
    // other list keeps its rows and selection, and no row stays selected.
    void typingNarrowsTheListInTheWindow()
    {
        ProgramFolder folder;
        folder.writeBoth("##Plato\r\n##Pascal\r\n##plutarch\r\n##Seneca\r\n", "##Courage\r\n##Patience\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.show();
        window.SubjectList->setCurrentIndex(window.SubjectList->model()->index(1, 0));
        window.AuthorList->setCurrentIndex(window.AuthorList->model()->index(0, 0));

        QTest::keyClicks(window.txtAuthor, "PL");
        QCOMPARE(rowsOf(window.AuthorList), (QStringList{"Plato", "plutarch"}));
        QTest::keyClick(window.txtAuthor, Qt::Key_Backspace);
        QCOMPARE(rowsOf(window.AuthorList), (QStringList{"Plato", "Pascal", "plutarch"}));
        QTest::keyClick(window.txtAuthor, Qt::Key_Backspace);
        QCOMPARE(rowsOf(window.AuthorList), window.AuthorNames);
        QCOMPARE(window.txtAuthor->text(), QString());

        QCOMPARE(rowsOf(window.SubjectList), (QStringList{"Courage", "Patience"}));
        QCOMPARE(window.SubjectList->selectionModel()->selectedRows().value(0).row(), 1);

        QTest::mouseClick(window.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, QStringLiteral("Please select an Author first !"));

        QTest::keyClicks(window.txtSubject, " pat ");
        QCOMPARE(rowsOf(window.SubjectList), QStringList{"Patience"});
        QCOMPARE(window.txtSubject->text(), QStringLiteral(" pat "));
        QVERIFY(window.SubjectList->selectionModel()->selectedRows().isEmpty());
    }

    void emptyArrayKeepsTheListEmptyInTheWindow()
    {
        ProgramFolder folder;
        folder.writeBoth("no headings here\r\n", "##Courage\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        QTest::keyClicks(window.txtAuthor, "a");
        QCOMPARE(window.AuthorList->model()->rowCount(), 0);
        window.txtAuthor->clear();
        QCOMPARE(window.AuthorList->model()->rowCount(), 0);
        QVERIFY(record.messages.empty());
    }
};

QTEST_MAIN(FilterTest)
#include "tst_filter.moc"
