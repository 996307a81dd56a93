// Showing the quotations of one author or subject.
#include "PhraseSearch.h"
#include "SectionDisplay.h"
#include "TestSupport.h"
#include "frmMain.h"

#include <QListView>
#include "QuotesView.h"
#include <QPushButton>
#include <QTest>

using namespace sayvane;
using test::ProgramFolder;
using test::SeamRecord;

namespace {

const QByteArray kWorkedExample = test::crlfLines(
    {"A short note before any heading", "##Courage", "Courage quotation one.", "", "## Patience",
     "Patience quotation one.", "  ##Hope", "Hope quotation one.", "##Courage", "Courage quotation two.", "\t##Joy"});

// The text that appending the lines one by one would give.
QString appended(std::initializer_list<const char *> lines)
{
    QString text;
    for (const char *line : lines)
        text += QStringLiteral("\r\n") + QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

} // namespace

class SectionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramStyle(); }

    void showsTheQuoteLinesOfTheSection_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("worked example, Courage")
            << kWorkedExample << "Courage" << appended({"Courage quotation one.", ""});
        QTest::newRow("worked example, two leading spaces")
            << kWorkedExample << "##Hope" << appended({"Hope quotation one."});
        QTest::newRow("worked example, space in name")
            << kWorkedExample << " Patience" << appended({"Patience quotation one."});
        QTest::newRow("two quote lines") << test::crlfLines({"##A", "first", "second"}) << "A"
                                         << QStringLiteral("\r\nfirst\r\n\r\nsecond\r\n");
        QTest::newRow("adjacent sections of one name run on")
            << test::crlfLines({"##A", "a1", "##A", "a2", "##B", "b1", "##A", "a3"}) << "A" << appended({"a1", "a2"});
        QTest::newRow("last section runs to the end")
            << test::crlfLines({"##A", "a1", "##B", "b1", "b2"}) << "B" << appended({"b1", "b2"});
        QTest::newRow("empty line and spaces shown as they are")
            << test::crlfLines({"##A", "one", "", "   ", "two"}) << "A" << appended({"one", "", "   ", "two"});
        QTest::newRow("indentation kept")
            << test::crlfLines({"##A", "\t  indented  "}) << "A" << appended({"\t  indented  "});
        QTest::newRow("the empty name") << test::crlfLines({"##A", "a1", "##", "e1", "##B"}) << "" << appended({"e1"});
        QTest::newRow("names differ in case")
            << test::crlfLines({"##hope", "lower", "##Hope", "upper"}) << "Hope" << appended({"upper"});
        QTest::newRow("trailing spaces must match")
            << test::crlfLines({"##Hope", "plain", "##Hope  ", "spaced"}) << "Hope  " << appended({"spaced"});
        QTest::newRow("lines before the first heading never shown")
            << test::crlfLines({"loose", "##A"}) << "A" << QString();
        QTest::newRow("section without quote lines") << test::crlfLines({"##A", "##B", "b1"}) << "A" << QString();
        QTest::newRow("name no longer in the file") << test::crlfLines({"##A", "a1"}) << "Gone" << QString();
        QTest::newRow("accented name") << QByteArray("##Moli\xE8re\r\nLe temps \x96 l'argent\r\n")
                                       << QString::fromUtf8("Molière")
                                       << QString::fromUtf8("\r\nLe temps – l'argent\r\n");
        QTest::newRow("name beyond Windows-1252")
            << test::crlfLines({"##A", "a1"}) << QString::fromUtf8("中") << QString();
    }

    void showsTheQuoteLinesOfTheSection()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, text);
        ProgramFolder folder;
        folder.write(QStringLiteral("subjects.txt"), file);
        for (std::size_t blockSize : {std::size_t(1), std::size_t(5), DataFileReader::kDefaultBlockSize}) {
            const ShownQuotes shown = ShowSection(folder.dataFile(QStringLiteral("subjects.txt")), name, blockSize);
            QVERIFY(!shown.failure);
            QCOMPARE(shown.text, text);
            QCOMPARE(shown.found, !text.isEmpty());
        }
    }

    // Both entries of a repeated name show the first section of that name.
    void eitherEntryOfARepeatedNameShowsTheFirstSection()
    {
        ProgramFolder folder;
        folder.writeBoth("##A\r\n", kWorkedExample);
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        for (int row : {0, 3}) {
            window.txtQuotes->clear();
            window.SubjectList->setCurrentIndex(window.SubjectList->model()->index(row, 0));
            QTest::mouseClick(window.cmdShowSubject, Qt::LeftButton);
            QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("\r\nCourage quotation one.\r\n\r\n\r\n"));
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
        ProgramFolder folder;
        folder.writeBoth("##A\r\na1\r\n", "##S\r\ns1\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.txtQuotes->setPlainText(QStringLiteral("kept"));
        QTest::mouseClick(authors ? window.cmdShowAuthor : window.cmdShowSubject, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, message);
        QCOMPARE(record.messages[0].icon, MessageIcon::Information);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
        QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("kept"));
    }

    void showsTheSelectedAuthorThroughTheWindow()
    {
        ProgramFolder folder;
        folder.writeBoth("##Plato\r\nFirst.\r\nSecond.\r\n##Seneca\r\nThird.\r\n", "##S\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.show();
        QListView *list = window.AuthorList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
        QTest::mouseClick(window.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("\r\nThird.\r\n"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        QTest::mouseClick(window.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("\r\nFirst.\r\n\r\nSecond.\r\n"));
        QVERIFY(record.messages.empty());
    }

    // A file that fails at the time of the click is reported by name; the
    // quotations stay as they were, and the next click after the file is
    // back works again.
    void reportsAFileThatFailsAtTheClick_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("removed") << "removed";
        QTest::newRow("replaced by a folder") << "folder";
        QTest::newRow("read error") << "read error";
    }

    void reportsAFileThatFailsAtTheClick()
    {
        QFETCH(QString, failure);
        ProgramFolder folder;
        const QByteArray authors = "##Plato\r\nFirst.\r\n";
        folder.writeBoth(authors, "##S\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.AuthorList->setCurrentIndex(window.AuthorList->model()->index(0, 0));
        window.txtQuotes->setPlainText(QStringLiteral("kept"));

        const QString path = folder.dataFile(QStringLiteral("authors.txt"));
        QVERIFY(QFile::remove(path));
        if (failure == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (failure == "read error")
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
        QTest::mouseClick(window.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QVERIFY(record.messages[0].text.startsWith(QStringLiteral("Sorry ! The file could not be read:\r\n") + path +
                                                   QStringLiteral("\r\n")));
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(record.endings, 0);

        if (failure == "folder")
            QVERIFY(QDir().rmdir(path));
        else
            QFile::remove(path);
        folder.write(QStringLiteral("authors.txt"), authors);
        QTest::mouseClick(window.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("\r\nFirst.\r\n"));
        QCOMPARE(record.messages.size(), std::size_t(1));
    }

    // Taking away the read permission is reported with the system's reason
    // by both readers that run on a click.
    void reportsAFileWithoutReadPermission()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), "##Plato\r\nWisdom begins in wonder.\r\n");
        const QString path = folder.dataFile(QStringLiteral("authors.txt"));
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
        QFile::setPermissions(folder.path() + QStringLiteral("/Data"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
        QFile::setPermissions(path, QFile::WriteOwner);
        const int result = test::runUnprivileged([&path] {
            const ShownQuotes section = ShowSection(path, u"Plato");
            const ShownQuotes search = SearchQuotes(path, u"wonder");
            const bool reported = section.failure && search.failure && section.failure->path == path &&
                                  section.failure->reason.contains(QStringLiteral("ermission")) &&
                                  search.failure->reason.contains(QStringLiteral("ermission"));
            return reported && section.text.isEmpty() && search.text.isEmpty() ? 0 : 1;
        });
        QCOMPARE(result, 0);
    }
};

QTEST_MAIN(SectionsTest)
#include "tst_sections.moc"
