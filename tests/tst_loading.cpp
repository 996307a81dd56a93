// SPDX-License-Identifier: MIT
// Start-up: the window finds its two files, fills both lists and name
// arrays in file order, or shows one message and ends.
#include "DataFiles.h"
#include "WindowTestSupport.h"
#include "frmMain.h"

#include <QAbstractItemModel>
#include <QListView>
#include <QTest>

#include <sys/stat.h>

using namespace sayvane;
using test::ProgramFolder;
using test::RecordedOutcome;
using test::rowsOf;

namespace {

const QString kMissingFiles =
    QStringLiteral("Sorry ! Some of the files are missing...\r\nPlease re-download the software.");

// Fills the folder's two data files, each of a kind: "file" (a few
// headings), "unreadable" (a link to a file whose reads fail), or one of
// HostileFile's kinds. False where this machine has no unreadable file.
bool placeDataFiles(ProgramFolder &folder, const QString &authorsKind, const QString &subjectsKind)
{
    for (const auto &[name, kind] : {std::pair{QStringLiteral("authors.txt"), authorsKind},
                                     std::pair{QStringLiteral("subjects.txt"), subjectsKind}}) {
        if (kind == "file") {
            folder.write(name, test::crlfLines({"##Plato", "q", "##Hope", "##S\xF8ren"}));
        } else if (kind == "unreadable") {
            const QString unreadable = test::unreadableRegularFile();
            if (unreadable.isEmpty() || !QFile::link(unreadable, folder.dataFile(name)))
                return false;
        } else {
            test::HostileFile(folder.dataFile(name), kind);
        }
    }
    return true;
}

} // namespace

class LoadingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpProgram(); }

    void loadsBothFilesInFileOrder()
    {
        ProgramFolder folder;
        folder.writeBoth(
            test::crlfLines({"before", "##Plato", "q", "##S\xF8ren Kierkegaard", "##Plato", "##", "##Hope  "}),
            test::crlfLines({"##Courage", "q", "## Patience", "  ##Hope", "\t##Joy"}));
        test::ShownWindow shown;
        QVERIFY(shown.openOn(folder.collection()));
        const RecordedOutcome &record = shown.record;
        frmMain &window = *shown.window;

        QCOMPARE(frmMainTestPeer(window).AuthorsFile(), folder.path() + QStringLiteral("/Data/authors.txt"));
        QCOMPARE(frmMainTestPeer(window).SubjectsFile(), folder.path() + QStringLiteral("/Data/subjects.txt"));
        const QStringList authors{"Plato", QString::fromUtf8("Søren Kierkegaard"), "Plato", "", "Hope  "};
        QCOMPARE(frmMainTestPeer(window).AuthorNames(), authors);
        QCOMPARE(rowsOf(window.controls().AuthorList), authors);
        QCOMPARE(frmMainTestPeer(window).SubjectNames(), (QStringList{"Courage", " Patience", "##Hope"}));
        QCOMPARE(rowsOf(window.controls().SubjectList), frmMainTestPeer(window).SubjectNames());
        QVERIFY(record.messages.empty());
        QCOMPARE(record.endings, 0);
    }

    void emptyAuthorsFileBesideFilledSubjects()
    {
        ProgramFolder folder;
        folder.writeBoth(QByteArray(), test::crlfLines({"##Courage"}));
        test::ShownWindow shown;
        QVERIFY(shown.openOn(folder.collection()));
        const RecordedOutcome &record = shown.record;
        frmMain &window = *shown.window;
        QVERIFY(frmMainTestPeer(window).AuthorNames().isEmpty());
        QCOMPARE(window.controls().AuthorList->model()->rowCount(), 0);
        QCOMPARE(rowsOf(window.controls().SubjectList), QStringList{"Courage"});
        QVERIFY(record.messages.empty());
    }

    void endsWhenAFileIsMissing_data()
    {
        QTest::addColumn<QString>("authorsKind");
        QTest::addColumn<QString>("subjectsKind");
        QTest::newRow("subjects missing") << "file"
                                          << "missing";
        QTest::newRow("authors missing") << "missing"
                                         << "file";
        QTest::newRow("both missing") << "missing"
                                      << "missing";
        QTest::newRow("authors is a folder") << "folder"
                                             << "file";
        QTest::newRow("authors is a FIFO") << "fifo"
                                           << "file";
        QTest::newRow("authors is a dangling link") << "dangling"
                                                    << "file";
        QTest::newRow("authors links to a device") << "device"
                                                   << "file";
        QTest::newRow("subjects is a folder") << "file"
                                              << "folder";
    }

    // One message, exactly once, and the program ends without its window;
    // a FIFO or a device would otherwise block the start or never end.
    void endsWhenAFileIsMissing()
    {
        QFETCH(QString, authorsKind);
        QFETCH(QString, subjectsKind);
        ProgramFolder folder;
        QVERIFY(placeDataFiles(folder, authorsKind, subjectsKind));
        test::ShownWindow shown;
        QVERIFY(!shown.openOn(folder.collection()));
        const RecordedOutcome &record = shown.record;
        frmMain &window = *shown.window;

        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, kMissingFiles);
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
        QCOMPARE(record.endings, 1);
        QCOMPARE(record.exitStatus, kExitStartFailed);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.controls().AuthorList->model()->rowCount(), 0);
        QCOMPARE(window.controls().SubjectList->model()->rowCount(), 0);
    }

    void startsAlikeWithNamesLoadedEarly_data()
    {
        QTest::addColumn<QString>("authorsKind");
        QTest::addColumn<QString>("subjectsKind");
        QTest::newRow("both files") << "file"
                                    << "file";
        QTest::newRow("subjects missing") << "file"
                                          << "missing";
        QTest::newRow("authors missing") << "missing"
                                         << "file";
        QTest::newRow("authors is a folder") << "folder"
                                             << "file";
        QTest::newRow("subjects is a FIFO") << "file"
                                            << "fifo";
        QTest::newRow("authors unreadable") << "unreadable"
                                            << "file";
    }

    // The program loads the names on a thread of their own while its window
    // is made; the outcome is the same as loading them in turn: the same
    // lists, the same message, the same ending.
    void startsAlikeWithNamesLoadedEarly()
    {
        QFETCH(QString, authorsKind);
        QFETCH(QString, subjectsKind);
        ProgramFolder folder;
        if (!placeDataFiles(folder, authorsKind, subjectsKind))
            QSKIP("no regular file here fails its reads");
        test::ShownWindow inTurn, early;
        const bool loadedInTurn = inTurn.openOn(folder.collection());
        QCOMPARE(early.openOn(folder.collection(), true), loadedInTurn);
        QCOMPARE(early.record.messages.size(), inTurn.record.messages.size());
        for (std::size_t i = 0; i < inTurn.record.messages.size(); ++i)
            QCOMPARE(early.record.messages[i].text, inTurn.record.messages[i].text);
        QCOMPARE(early.record.endings, inTurn.record.endings);
        QCOMPARE(early.record.exitStatus, inTurn.record.exitStatus);
        QCOMPARE(rowsOf(early.controls().AuthorList), rowsOf(inTurn.controls().AuthorList));
        QCOMPARE(rowsOf(early.controls().SubjectList), rowsOf(inTurn.controls().SubjectList));
        QCOMPARE(frmMainTestPeer(*early.window).AuthorNames(), frmMainTestPeer(*inTurn.window).AuthorNames());
        if (authorsKind == "file" && subjectsKind == "file")
            QCOMPARE(rowsOf(early.controls().AuthorList),
                     (QStringList{"Plato", "Hope", QString::fromUtf8("S\u00F8ren")}));
    }

    // A file that exists but fails to read is named, with the reason, and
    // the program ends rather than show a half-filled window.
    void endsWhenAFileCannotBeRead()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("subjects.txt"), "##Courage\r\n");
        const QString unreadable = test::unreadableRegularFile();
        if (unreadable.isEmpty())
            QSKIP("no regular file here fails its reads");
        QVERIFY(QFile::link(unreadable, folder.authors()));
        test::ShownWindow shown;
        QVERIFY(!shown.openOn(folder.collection()));
        const RecordedOutcome &record = shown.record;
        frmMain &window = *shown.window;

        QCOMPARE(record.messages.size(), std::size_t(1));
        const QStringList lines = record.messages[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Sorry ! The file could not be read:"));
        QCOMPARE(lines[1], folder.dataFile(QStringLiteral("authors.txt")));
        QCOMPARE(lines[2], QStringLiteral("Input/output error"));
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(record.endings, 1);
        QCOMPARE(record.exitStatus, kExitStartFailed);
        QVERIFY(!window.isVisible());
    }

    // The trailing separator of a root folder is not corrected.
    void appendsThePlaceToTheFolderAsItIs()
    {
        ProgramFolder folder;
        folder.writeBoth("##A\r\n", "##S\r\n");
        test::ShownWindow shown;
        QVERIFY(shown.openOn(collectionBesideProgram(folder.path() + QStringLiteral("/"))));
        frmMain &window = *shown.window;
        QCOMPARE(frmMainTestPeer(window).AuthorsFile(), folder.path() + QStringLiteral("//Data/authors.txt"));
        QCOMPARE(frmMainTestPeer(window).AuthorNames(), QStringList{"A"});
    }

    // A folder named on the command line is fixed as an absolute path at
    // start, so a later click reads the same file whatever the working
    // folder has become. Only "." parts and trailing slashes are taken out;
    // a ".." is left for the system to resolve.
    void namedFolderHoldsAfterTheWorkingFolderChanges_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("authorsFile"); // within the program folder
        QTest::newRow("relative") << "Data"
                                  << "Data/authors.txt";
        QTest::newRow("relative, trailing slash") << "Data/"
                                                  << "Data/authors.txt";
        QTest::newRow("dots") << "./Data/."
                              << "Data/authors.txt";
        QTest::newRow("through a dot-dot") << "Data/../Data"
                                           << "Data/../Data/authors.txt";
    }

    void namedFolderHoldsAfterTheWorkingFolderChanges()
    {
        QFETCH(QString, named);
        QFETCH(QString, authorsFile);
        ProgramFolder folder;
        folder.writeBoth("##Plato\r\nWisdom begins in wonder.\r\n", "##S\r\n");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        test::ShownWindow shown;
        const bool loaded = shown.openOn(namedCollectionFolder(named));
        const RecordedOutcome &record = shown.record;
        frmMain &window = *shown.window;
        QVERIFY(QDir::setCurrent(QDir::rootPath()));
        test::clickRow(window.controls().AuthorList, 0);
        QTest::mouseClick(window.controls().cmdShowAuthor, Qt::LeftButton);
        QVERIFY(QDir::setCurrent(before));

        QVERIFY(loaded);
        QCOMPARE(frmMainTestPeer(window).AuthorsFile(), folder.path() + u'/' + authorsFile);
        QCOMPARE(window.controls().txtQuotes->toPlainText(), QStringLiteral("\r\nWisdom begins in wonder.\r\n"));
        QVERIFY(record.messages.empty());
    }

    void listsStayAsLoadedWhenTheFileChanges()
    {
        ProgramFolder folder;
        folder.writeBoth("##A\r\n##B\r\n", "##S\r\n");
        test::ShownWindow shown;
        QVERIFY(shown.openOn(folder.collection()));
        frmMain &window = *shown.window;
        folder.write(QStringLiteral("authors.txt"), "##C\r\n");
        QCOMPARE(rowsOf(window.controls().AuthorList), (QStringList{"A", "B"}));
        QCOMPARE(frmMainTestPeer(window).AuthorNames(), (QStringList{"A", "B"}));
    }
};

QTEST_MAIN(LoadingTest)
#include "tst_loading.moc"
