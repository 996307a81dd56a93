// SPDX-License-Identifier: MIT
// Importing fortune files: entries and their attributions, the author an
// attribution names, the sources a folder stands for, and a collection
// that is written whole or not at all and reads back exactly.
#include "Attribution.h"
#include "FortuneEntries.h"
#include "FileNames.h"
#include "FortuneImport.h"
#include "HeadingLoader.h"
#include "LibraryTestSupport.h"
#include "SectionDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sayvane;
using namespace sayvane::fortunes;
using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

namespace {

// The shown lines of a section, as the window would show them.
QStringList sectionLines(const QString &path, const QString &name)
{
    const QString text = test::sectionQuotesOf(path, name).text;
    QStringList lines = text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    return lines;
}

} // namespace

class FortunesTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsEntriesAndFindsAttributions_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("attributions");
        QTest::addColumn<int>("empty");
        QTest::newRow("% at the end") << u"One.\n%\nTwo.\n%\n"_s << QStringList{"One.", "Two."} << QStringList{"", ""}
                                      << 0;
        QTest::newRow("no % at the end") << u"One.\n%\nTwo."_s << QStringList{"One.", "Two."} << QStringList{"", ""}
                                         << 0;
        QTest::newRow("CR LF") << u"One.\r\n%\r\nTwo.\r\n\t\t-- Seneca\r\n"_s << QStringList{"One.", "Two."}
                               << QStringList{"", "Seneca"} << 0;
        QTest::newRow("an empty entry") << u"One.\n%\n  \n%\nTwo.\n"_s << QStringList{"One.", "Two."}
                                        << QStringList{"", ""} << 1;
        QTest::newRow("% with spaces around it")
            << u"One.\n  %  \nTwo.\n"_s << QStringList{"One.", "Two."} << QStringList{"", ""} << 0;
        QTest::newRow("lines joined, white space tidied")
            << u"A long  line\n\tand its\t next\n\nand a last.\n"_s
            << QStringList{"A long line / and its next / and a last."} << QStringList{""} << 0;
        QTest::newRow("verse keeps its line ends")
            << u"We don't need no indirection\nWe don't need no compilation\n"_s
            << QStringList{"We don't need no indirection / We don't need no compilation"} << QStringList{""} << 0;
        QTest::newRow("indented attribution") << u"A banker is a fellow.\n\t\t-- Mark Twain\n"_s
                                              << QStringList{"A banker is a fellow."} << QStringList{"Mark Twain"} << 0;
        QTest::newRow("em dash") << u"Life is long.\n    — Seneca\n"_s << QStringList{"Life is long."}
                                 << QStringList{"Seneca"} << 0;
        QTest::newRow("attribution at the margin")
            << u"Life is long.\n-- Seneca\n"_s << QStringList{"Life is long."} << QStringList{"Seneca"} << 0;
        QTest::newRow("attribution over two lines")
            << u"Q.\n\t\t-- Addison Mizner, \"The Entirely\n\t\t   Unexpected Man\"\n"_s << QStringList{"Q."}
            << QStringList{"Addison Mizner, \"The Entirely Unexpected Man\""} << 0;
        QTest::newRow("a rule of dashes is text")
            << u"Q.\n\t-----\n"_s << QStringList{"Q. / -----"} << QStringList{""} << 0;
        QTest::newRow("dashes inside the text stay")
            << u"Q.\n-- Seneca\nsaid he.\n"_s << QStringList{"Q. / -- Seneca / said he."} << QStringList{""} << 0;
        QTest::newRow("an attribution alone is text")
            << u"-- Seneca\n"_s << QStringList{"-- Seneca"} << QStringList{""} << 0;
    }

    void splitsEntriesAndFindsAttributions()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, attributions);
        QFETCH(int, empty);
        const FortuneFile file = parseFortunes(source);
        QStringList gotTexts, gotAttributions;
        for (const FortuneEntry &entry : file.entries) {
            gotTexts.append(entry.text);
            gotAttributions.append(entry.attribution);
        }
        QCOMPARE(gotTexts, texts);
        QCOMPARE(gotAttributions, attributions);
        QCOMPARE(file.emptyEntries, empty);
    }

    void namesTheAuthor_data()
    {
        QTest::addColumn<QString>("attribution");
        QTest::addColumn<QString>("author");
        QTest::newRow("a name") << "Mark Twain"
                                << "Mark Twain";
        QTest::newRow("a work after the name") << "Mark Twain, \"Pudd'nhead Wilson's Calendar\""
                                               << "Mark Twain";
        QTest::newRow("a comma inside the name") << "Martin Luther King, Jr."
                                                 << "Martin Luther King, Jr.";
        QTest::newRow("a remark after a comma") << "Michael Winner, British film director"
                                                << "Michael Winner";
        QTest::newRow("a date") << "Philip Hale, Boston music critic, 1837"
                                << "Philip Hale";
        QTest::newRow("a year in parentheses") << "Tea with a Kick (1924)"
                                               << "Tea with a Kick";
        QTest::newRow("a real name in parentheses") << "Kilgore Trout (Philip J. Farmer), \"Venus on the Half Shell\""
                                                    << "Kilgore Trout";
        QTest::newRow("a book in brackets") << "Bilbo Baggins [J.R.R. Tolkien, \"The Hobbit\"]"
                                            << "Bilbo Baggins";
        QTest::newRow("quotes around name and work") << "\"Mark Twain, Pudd'nhead Wilson's Calendar\""
                                                     << "Mark Twain";
        QTest::newRow("a title alone names no one") << "\"The Treasure of the Sierra Madre\""
                                                    << "";
        QTest::newRow("by alone names no one") << "by"
                                               << "";
        QTest::newRow("a suffix alone names no one") << ", Jr."
                                                     << "";
        QTest::newRow("Jr. alone names no one") << "Jr."
                                                << "";
        QTest::newRow("by") << "by Charles Dickens"
                            << "Charles Dickens";
        QTest::newRow("a full stop") << "Marshall McLuhan."
                                     << "Marshall McLuhan";
        QTest::newRow("Esq. keeps its full stop") << "John Smith, Esq."
                                                  << "John Smith, Esq.";
        QTest::newRow("an initial stays") << "G. K. Chesterton"
                                          << "G. K. Chesterton";
        QTest::newRow("nothing") << ""
                                 << "";
    }

    void namesTheAuthor()
    {
        QFETCH(QString, attribution);
        QFETCH(QString, author);
        QCOMPARE(authorOf(attribution), author);
    }

    void readsUtf8OrLatin1()
    {
        QCOMPARE(decodeFortuneSource("caf\xC3\xA9"), u"café"_s);
        QCOMPARE(decodeFortuneSource("caf\xE9 \xBD"), u"café ½"_s);
        QCOMPARE(decodeFortuneSource("\xD0\x9B\xD0\xB5\xD0\xB2"), u"Лев"_s);
    }

    // Every entry once under its author and once under its file's name;
    // each author and subject once, in the order of their names; entries
    // without an attribution under "Unattributed". Written as UTF-8 with
    // LF, the collection reads back every character.
    void writesACollectionThatReadsBack()
    {
        QTemporaryDir dir;
        const QString sources = dir.filePath(u"sources"_s);
        QDir().mkpath(sources);
        writeFile(sources + u"/love"_s, "Love is blind.\n\t\t-- Chaucer\n%\nCaf\xC3\xA9 au lait.\n%\n");
        writeFile(sources + u"/science"_s, "Gravity wins.\n\t\t-- Chaucer, \"Tales\"\n%\n"
                                           "## Not a heading\n\t\t-- \xD0\x9B\xD0\xB5\xD0\xB2 "
                                           "\xD0\xA2\xD0\xBE\xD0\xBB\xD1\x81\xD1\x82\xD0\xBE\xD0\xB9\n");
        writeFile(sources + u"/old"_s, "Caf\xE9 cr\xE8me.\r\n%\r\n");
        const QString folder = dir.filePath(u"collection"_s);
        const ImportReport report = importFortunes(folder, {sources}, false);
        QVERIFY2(!report.failure, qPrintable(report.failure.value_or(QString())));
        QCOMPARE(report.quotations, 5);
        QCOMPARE(report.authors, 3);
        QCOMPARE(report.subjects, 3);
        QCOMPARE(report.unattributed, 2);
        const QString authors = folder + u"/authors.txt"_s;
        const QString subjects = folder + u"/subjects.txt"_s;
        QCOMPARE(test::namesOf(loadHeadingNames(authors).names),
                 (QStringList{"Chaucer", "Unattributed", "Лев Толстой"}));
        QCOMPARE(test::namesOf(loadHeadingNames(subjects).names), (QStringList{"love", "old", "science"}));
        QCOMPARE(sectionLines(authors, u"Chaucer"_s),
                 (QStringList{"Love is blind. — Chaucer", "Gravity wins. — Chaucer, \"Tales\""}));
        QCOMPARE(sectionLines(authors, u"Unattributed"_s), (QStringList{"Café au lait.", "Café crème."}));
        QCOMPARE(sectionLines(authors, u"Лев Толстой"_s),
                 (QStringList{QChar(0x200B) + u"## Not a heading — Лев Толстой"_s}));
        QCOMPARE(sectionLines(subjects, u"old"_s), (QStringList{"Café crème."}));
        QVERIFY(!readFile(authors).contains('\r'));
    }

    // The two files' bytes for sources given as "subject|text"; with the
    // report's counts of duplicates and entries too long.
    void shapesTheCollection_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<int>("maxLineBytes");
        QTest::addColumn<QByteArray>("authors");
        QTest::addColumn<QByteArray>("subjects");
        QTest::addColumn<int>("duplicates");
        QTest::addColumn<int>("tooLong");
        QTest::newRow("verse keeps its lines")
            << QStringList{u"songs|We don't need no indirection\nWe don't need no compilation\n\t-- Pink Floyd\n"_s}
            << 1000 << QByteArray("##Pink Floyd\nWe don't need no indirection / We don't need no compilation — "
                                  "Pink Floyd\n")
            << QByteArray("##songs\nWe don't need no indirection / We don't need no compilation — Pink Floyd\n")
            << 0 << 0;
        QTest::newRow("one quotation in two files: once under its author, under both subjects")
            << QStringList{u"love|Love is blind.\n\t-- Chaucer\n"_s, u"wisdom|Love is blind.\n\t-- Chaucer\n"_s}
            << 1000 << QByteArray("##Chaucer\nLove is blind. — Chaucer\n")
            << QByteArray("##love\nLove is blind. — Chaucer\n##wisdom\nLove is blind. — Chaucer\n") << 1 << 0;
        QTest::newRow("authors differing in case are one, the most frequent spelling heads them")
            << QStringList{u"a|One.\n-- unknown\n%\nTwo.\n-- Unknown\n%\nThree.\n-- Unknown\n"_s} << 1000
            << QByteArray("##Unknown\nOne. — unknown\nTwo. — Unknown\nThree. — Unknown\n")
            << QByteArray("##a\nOne. — unknown\nTwo. — Unknown\nThree. — Unknown\n") << 0 << 0;
        QTest::newRow("attributions naming no one go under Unattributed, kept in the text")
            << QStringList{u"a|One.\n-- by\n%\nTwo.\n-- , Jr.\n%\nThree.\n-- \"Title only\"\n"_s} << 1000
            << QByteArray("##Unattributed\nOne. — by\nTwo. — , Jr.\nThree. — \"Title only\"\n")
            << QByteArray("##a\nOne. — by\nTwo. — , Jr.\nThree. — \"Title only\"\n") << 0 << 0;
        // "Caf\u00e9 au lait." is 14 bytes in UTF-8 but 13 characters.
        QTest::newRow("a line over the limit in bytes is skipped")
            << QStringList{u"a|Café au lait.\n%\nTea, please.\n"_s} << 13 << QByteArray("##Unattributed\nTea, please.\n")
            << QByteArray("##a\nTea, please.\n") << 0 << 1;
        QTest::newRow("a line at the limit is kept")
            << QStringList{u"a|Café au lait.\n"_s} << 14 << QByteArray("##Unattributed\nCafé au lait.\n")
            << QByteArray("##a\nCafé au lait.\n") << 0 << 0;
    }

    void shapesTheCollection()
    {
        QFETCH(QStringList, sources);
        QFETCH(int, maxLineBytes);
        QFETCH(QByteArray, authors);
        QFETCH(QByteArray, subjects);
        QFETCH(int, duplicates);
        QFETCH(int, tooLong);
        QList<SourceFile> files;
        for (const QString &source : sources)
            files.append({source.section(u'|', 0, 0), source.section(u'|', 0, 0), source.section(u'|', 1).toUtf8()});
        ImportReport report;
        const CollectionText text = collectionOf(files, report, std::size_t(maxLineBytes));
        QCOMPARE(QString::fromUtf8(text.authors), QString::fromUtf8(authors));
        QCOMPARE(QString::fromUtf8(text.subjects), QString::fromUtf8(subjects));
        QCOMPARE(report.duplicates, duplicates);
        QCOMPARE(report.tooLong, tooLong);
    }

    // A subject is its file's name read as a line is read, its control
    // characters spaces: a CR or LF in a name can neither end the heading
    // nor turn the file into another kind, and a Latin-1 name reads as
    // what it spells, the same subject as its UTF-8 spelling.
    void namesSubjectsAsTheReaderReadsThem()
    {
#ifdef SAYVANE_PORTABLE_FILES
        QSKIP("Qt's own file calls take only names that are text, which a Latin-1 name is not");
#endif
        QTemporaryDir dir;
        const QByteArray sources = QFile::encodeName(dir.filePath(u"sources"_s));
        QDir().mkpath(dir.filePath(u"sources"_s));
        const QList<QByteArray> names{"a\rb", "l\nf", "caf\xE9", "caf\xC3\xA9", "tab\there"};
        for (qsizetype i = 0; i < names.size(); ++i) {
            const int descriptor = ::open((sources + '/' + names[i]).constData(), O_WRONLY | O_CREAT, 0644);
            const QByteArray entry = "Entry " + QByteArray::number(i) + ".\n";
            QVERIFY(descriptor >= 0 && ::write(descriptor, entry.constData(), std::size_t(entry.size())) > 0);
            ::close(descriptor);
        }
        const QString folder = dir.filePath(u"c"_s);
        QVERIFY(!importFortunes(folder, {fileNameFromBytes(sources)}, false).failure);
        const QString subjects = folder + u"/subjects.txt"_s;
        QCOMPARE(test::namesOf(loadHeadingNames(subjects).names), (QStringList{"a b", "café", "l f", "tab here"}));
        QCOMPARE(sectionLines(subjects, u"café"_s), (QStringList{"Entry 3.", "Entry 2."}));
        QCOMPARE(sectionLines(subjects, u"tab here"_s), QStringList{"Entry 4."});
        for (qsizetype i = 0; i < names.size(); ++i)
            ::unlink((sources + '/' + names[i]).constData());
    }

    // A folder's index files, links to files already read, files that are
    // not text and FIFOs are passed over; a FIFO named on its own fails.
    void takesEachTextFileOfAFolderOnce()
    {
        QTemporaryDir dir;
        const QString sources = dir.filePath(u"sources"_s);
        QDir().mkpath(sources);
        writeFile(sources + u"/love"_s, "Love is blind.\n");
        writeFile(sources + u"/love.dat"_s, QByteArray("\0\0\0\x02", 4));
        QVERIFY(QFile::link(u"love"_s, sources + u"/love.u8"_s));
        writeFile(sources + u"/picture"_s, QByteArray("GIF\0\x01", 5));
        QCOMPARE(::mkfifo(QFile::encodeName(sources + u"/pipe"_s).constData(), 0600), 0);
        const ImportReport report = importFortunes(dir.filePath(u"c"_s), {sources, sources + u"/love"_s}, false);
        QVERIFY(!report.failure);
        QCOMPARE(report.quotations, 1);
        QStringList passed;
        for (const PassedOver &file : report.passedOver)
            passed.append(QFileInfo(file.path).fileName() + u':' + QString::number(int(file.why)));
        QCOMPARE(passed, (QStringList{"love.dat:0", "love.u8:1", "picture:2", "pipe:3", "love:1"}));

        const ImportReport fifo = importFortunes(dir.filePath(u"d"_s), {sources + u"/pipe"_s}, false);
        QCOMPARE(fifo.failure, std::optional<QString>(sources + u"/pipe: not a regular file"_s));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"d"_s)));
        const ImportReport missing = importFortunes(dir.filePath(u"d"_s), {sources + u"/none"_s}, false);
        QCOMPARE(missing.failure, std::optional<QString>(sources + u"/none: No such file or directory"_s));
    }

    // An existing collection is replaced only with --force; a folder that
    // cannot be written, or a write that fails halfway, leaves everything
    // as it was, without a part file.
    void writesWholeOrNotAtAll_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("failure"); // %1: the collection folder; empty: succeeds
        QTest::newRow("existing, no --force") << "existing" << false << "%1/authors.txt exists; --force replaces it";
        QTest::newRow("existing, --force") << "existing" << true << "";
        QTest::newRow("a file in place of the folder") << "file" << true << "%1: Not a directory";
        QTest::newRow("a write that fails halfway") << "size limit" << true << "%1/authors.txt: File too large";
    }

    void writesWholeOrNotAtAll()
    {
        QFETCH(QString, kind);
        QFETCH(bool, replace);
        QFETCH(QString, failure);
        QTemporaryDir dir;
        const QString source = dir.filePath(u"love"_s);
        QByteArray entries;
        for (int i = 0; i < 500; ++i)
            entries += "Love is blind, " + QByteArray::number(i) + ".\n%\n";
        writeFile(source, entries);
        const QString folder = dir.filePath(u"collection"_s);
        if (kind == "file") {
            writeFile(folder, "a file");
        } else {
            QDir().mkpath(folder);
            writeFile(folder + u"/authors.txt"_s, "##Old\n");
            writeFile(folder + u"/subjects.txt"_s, "##Old\n");
        }
        std::optional<QString> got;
        if (kind == "size limit") {
            // In a process of its own whose files may hold 1,000 bytes.
            const pid_t child = fork();
            if (child == 0) {
                const rlimit limit{1000, 1000};
                setrlimit(RLIMIT_FSIZE, &limit);
                const ImportReport report = importFortunes(folder, {source}, replace);
                _exit(report.failure == folder + u"/authors.txt: File too large"_s ? 0 : 1);
            }
            int status = -1;
            waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            got = failure.arg(folder);
        } else {
            got = importFortunes(folder, {source}, replace).failure;
        }
        QCOMPARE(got.value_or(QString()), failure.isEmpty() ? QString() : failure.arg(folder));
        if (kind == "file")
            return;
        QByteArray imported = "##Unattributed\n";
        for (int i = 0; i < 500; ++i)
            imported += "Love is blind, " + QByteArray::number(i) + ".\n";
        const QByteArray expectedAuthors = failure.isEmpty() ? imported : QByteArray("##Old\n");
        QCOMPARE(readFile(folder + u"/authors.txt"_s), expectedAuthors);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), (QStringList{"authors.txt", "subjects.txt"}));
    }

    // Ctrl+C while the files are written: the program ends as it would,
    // and the folder holds what it held, without a part file.
    void anInterruptLeavesTheFolderAsItWas()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(u"much"_s);
        QByteArray entries;
        for (int i = 0; i < 400'000; ++i)
            entries += "A quotation of some length, to take a while to write: " + QByteArray::number(i) + "\n%\n";
        writeFile(source, entries);
        const QString folder = dir.filePath(u"collection"_s);
        QDir().mkpath(folder);
        writeFile(folder + u"/authors.txt"_s, "##Old\n");
        writeFile(folder + u"/subjects.txt"_s, "##Old\n");
        const pid_t child = fork();
        if (child == 0) {
            importFortunes(folder, {source}, true);
            _exit(0);
        }
        // The part file appears once the sources are read and the writing
        // has begun.
        const QString part = folder + u"/.sayvane.authors.txt."_s + QString::number(child) + u".part"_s;
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(part) && waited.elapsed() < 20'000)
            QThread::usleep(200);
        QVERIFY2(QFileInfo::exists(part), "the writing never began");
        kill(child, SIGINT);
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
        QCOMPARE(readFile(folder + u"/authors.txt"_s), QByteArray("##Old\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), (QStringList{"authors.txt", "subjects.txt"}));
    }
};

QTEST_GUILESS_MAIN(FortunesTest)
#include "tst_fortunes.moc"
