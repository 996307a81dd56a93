// SPDX-License-Identifier: MIT
// Start-up: the window finds its two files, fills both lists and name
// arrays in file order, or shows one message and ends.
#include "DataFiles.h"
#include "WindowTestSupport.h"
#include "frmMain.h"

#include <QAbstractItemModel>
#include <QListView>
#include <QTemporaryDir>
#include <QDir>
#include <QFile>
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
// headings) or one of HostileFile's kinds.
bool placeDataFiles(ProgramFolder &folder, const QString &authorsKind, const QString &subjectsKind)
{
    for (const auto &[name, kind] : {std::pair{QStringLiteral("authors.txt"), authorsKind},
                                     std::pair{QStringLiteral("subjects.txt"), subjectsKind}}) {
        if (kind == "file") {
            folder.write(name, test::crlfLines({"##Plato", "q", "##Hope", "##S\xF8ren"}));
        } else {
            test::HostileFile(folder.dataFile(name), kind);
        }
    }
    return true;
}

// The path of the list's data file as the window holds it: what a click on
// the list's Show button names when the file is gone. The file is moved
// aside for the click and put back.
QString pathNamedOnClick(test::ShownWindow &shown, ListBox *list, const QString &file)
{
    const QString aside = file + QStringLiteral(".aside");
    if (!QFile::rename(file, aside))
        return QStringLiteral("(cannot move %1)").arg(file);
    const std::size_t before = shown.record.messages.size();
    test::clickRow(list, 0);
    const Controls &c = shown.controls();
    QTest::mouseClick(list == c.AuthorList ? c.cmdShowAuthor : c.cmdShowSubject, Qt::LeftButton);
    QFile::rename(aside, file);
    if (shown.record.messages.size() != before + 1)
        return QStringLiteral("(no message)");
    return shown.record.messages.back().text.split(QStringLiteral("\r\n")).value(1);
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

        const QStringList authors{"Plato", QString::fromUtf8("Søren Kierkegaard"), "Plato", "", "Hope  "};
        QCOMPARE(rowsOf(window.controls().AuthorList), authors);
        QCOMPARE(rowsOf(window.controls().SubjectList), (QStringList{"Courage", " Patience", "##Hope"}));
        QVERIFY(record.messages.empty());
        QCOMPARE(record.endings, 0);
        QCOMPARE(pathNamedOnClick(shown, window.controls().AuthorList, folder.authors()),
                 folder.path() + QStringLiteral("/Data/authors.txt"));
        QCOMPARE(pathNamedOnClick(shown, window.controls().SubjectList, folder.dataFile("subjects.txt")),
                 folder.path() + QStringLiteral("/Data/subjects.txt"));
    }

    void emptyAuthorsFileBesideFilledSubjects()
    {
        ProgramFolder folder;
        folder.writeBoth(QByteArray(), test::crlfLines({"##Courage"}));
        test::ShownWindow shown;
        QVERIFY(shown.openOn(folder.collection()));
        const RecordedOutcome &record = shown.record;
        frmMain &window = *shown.window;
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
        QTest::newRow("subjects is a FIFO") << "file"
                                            << "fifo";
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

        QVERIFY(!shown.window);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, kMissingFiles);
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
        QCOMPARE(record.endings, 1);
        QCOMPARE(record.exitStatus, kExitStartFailed);
    }

    // A folder the user named is named in its box, with each missing file
    // and how a collection is made there; error icon, title "Sayvane".
    void namesTheFolderItWasGiven_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("an empty folder") << "empty"
                                         << QStringList{"authors.txt is missing (No such file or directory).",
                                                        "subjects.txt is missing (No such file or directory)."};
        QTest::newRow("authors.txt alone") << "authors"
                                           << QStringList{"subjects.txt is missing (No such file or directory)."};
        QTest::newRow("subjects.txt alone") << "subjects"
                                            << QStringList{"authors.txt is missing (No such file or directory)."};
        QTest::newRow("a file in place of the folder")
            << "file"
            << QStringList{"authors.txt is missing (Not a directory).", "subjects.txt is missing (Not a directory)."};
    }

    void namesTheFolderItWasGiven()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, missing);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Downloads"));
        if (kind == u"file") {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(folder));
        }
        for (const char *name : {"authors", "subjects"}) {
            if (kind == QLatin1String(name)) {
                QFile file(folder + u'/' + QLatin1String(name) + QStringLiteral(".txt"));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
        test::ShownWindow shown;
        QVERIFY(!shown.openOn(folder, CollectionOrigin::Named));
        const RecordedOutcome &record = shown.record;
        QCOMPARE(record.messages.size(), std::size_t(1));
        const QStringList expected =
            QStringList{QStringLiteral("The folder %1 holds no quotation collection:").arg(folder)} + missing +
            QStringList{QString(), QStringLiteral("A collection is two files, authors.txt and subjects.txt. To start "
                                                  "one in"),
                        QStringLiteral("this folder, add a quotation with"),
                        QStringLiteral("    sayvane --add TEXT --author NAME --subject NAME FOLDER"),
                        QStringLiteral("or import fortune files with"),
                        QStringLiteral("    sayvane --import-fortunes FOLDER /usr/share/games/fortunes")};
        QCOMPARE(record.messages[0].text.split(QStringLiteral("\r\n")), expected);
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
        QCOMPARE(record.exitStatus, kExitStartFailed);
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

        QVERIFY(!shown.window);
        QCOMPARE(record.messages.size(), std::size_t(1));
        const QStringList lines = record.messages[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Sorry ! The file could not be read:"));
        QCOMPARE(lines[1], folder.dataFile(QStringLiteral("authors.txt")));
        QCOMPARE(lines[2], QStringLiteral("Input/output error"));
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(record.endings, 1);
        QCOMPARE(record.exitStatus, kExitStartFailed);
    }

    // The trailing separator of a root folder is not corrected.
    void appendsThePlaceToTheFolderAsItIs()
    {
        ProgramFolder folder;
        folder.writeBoth("##A\r\n", "##S\r\n");
        test::ShownWindow shown;
        QVERIFY(shown.openOn(collectionBesideProgram(folder.path() + QStringLiteral("/"))));
        QCOMPARE(rowsOf(shown.controls().AuthorList), QStringList{"A"});
        QCOMPARE(pathNamedOnClick(shown, shown.controls().AuthorList, folder.authors()),
                 folder.path() + QStringLiteral("//Data/authors.txt"));
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
        if (!loaded)
            QDir::setCurrent(before);
        QVERIFY(loaded);
        frmMain &window = *shown.window;
        QVERIFY(QDir::setCurrent(QDir::rootPath()));
        test::clickRow(window.controls().AuthorList, 0);
        QTest::mouseClick(window.controls().cmdShowAuthor, Qt::LeftButton);
        QVERIFY(QDir::setCurrent(before));

        QCOMPARE(window.controls().txtQuotes->toPlainText(), QStringLiteral("\r\nWisdom begins in wonder.\r\n"));
        QVERIFY(record.messages.empty());
        QCOMPARE(pathNamedOnClick(shown, window.controls().AuthorList, folder.authors()),
                 folder.path() + u'/' + authorsFile);
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
    }
};

QTEST_MAIN(LoadingTest)
#include "tst_loading.moc"
