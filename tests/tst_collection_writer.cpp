// SPDX-License-Identifier: MIT
// The collection writer: both files or neither, one writer at a time, the
// mode and a link kept, and nothing of a writer left beside the files.
// (The faults that need a signal or a failure at one exact system call,
// and the kill between the renames, are in collection_writes.sh.)
#include "CollectionWriter.h"
#include "LibraryTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sayvane;
using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

namespace {

FileContents bytesOf(const QByteArray &bytes)
{
    return [bytes](PartSink &sink) -> std::optional<QString> {
        sink.write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        return std::nullopt;
    };
}

// Everything in the folder, hidden files too.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t modeOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Runs the write in a child process as the user nobody, and returns its
// failure, or "" when it succeeded.
QString writeAsNobody(const QString &folder, const CollectionWrite &write)
{
    int channel[2];
    if (::pipe(channel) != 0)
        qFatal("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            _exit(2);
        const QByteArray said = writeCollection(folder, write).value_or(WriteFailure()).message.toUtf8();
        [[maybe_unused]] const ssize_t written = ::write(channel[1], said.constData(), std::size_t(said.size()));
        _exit(0);
    }
    ::close(channel[1]);
    QByteArray said;
    char block[512];
    for (ssize_t count; (count = ::read(channel[0], block, sizeof block)) > 0;)
        said.append(block, count);
    ::close(channel[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? QString::fromUtf8(said) : u"<child failed>"_s;
}

} // namespace

class CollectionWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ::umask(022); }

    // Each row sets up the folder, writes "##New..." into both files, and
    // checks that the folder then holds the whole new or the whole old
    // collection, and no file of the writer's own.
    void replacesBothOrNeither_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("failure"); // %1: the folder; empty: succeeds
        QTest::addColumn<QByteArray>("authors");
        QTest::addColumn<QByteArray>("subjects");
        QTest::newRow("a folder to be made") << "none" << false << "" << QByteArray("##NewA\n")
                                             << QByteArray("##NewS\n");
        QTest::newRow("both replaced") << "old" << true << "" << QByteArray("##NewA\n") << QByteArray("##NewS\n");
        QTest::newRow("no replacing an existing collection")
            << "old" << false << "%1/authors.txt exists" << QByteArray("##OldA\r\n") << QByteArray("##OldS\r\n");
        QTest::newRow("subjects.txt alone exists, no replacing")
            << "subjects only" << false << "%1/subjects.txt exists" << QByteArray("<none>")
            << QByteArray("##OldS\r\n");
        QTest::newRow("a folder in place of subjects.txt")
            << "subjects a folder" << true << "%1/subjects.txt: not a regular file" << QByteArray("##OldA\r\n")
            << QByteArray("<none>");
        QTest::newRow("the new subjects cannot be made")
            << "subjects fail" << true << "%1/subjects.txt: the old file cannot be read" << QByteArray("##OldA\r\n")
            << QByteArray("##OldS\r\n");
        // Another program makes the file while the new one is written: the
        // rename itself refuses to replace it, and a first rename is undone.
        QTest::newRow("authors.txt made meanwhile, no replacing")
            << "authors made meanwhile" << false << "%1/authors.txt exists" << QByteArray("THEIRS\n")
            << QByteArray("<none>");
        QTest::newRow("subjects.txt made meanwhile, no replacing")
            << "subjects made meanwhile" << false << "%1/subjects.txt exists" << QByteArray("<none>")
            << QByteArray("THEIRS\n");
        QTest::newRow("authors alone") << "authors alone" << true << "" << QByteArray("##NewA\n")
                                       << QByteArray("##OldS\r\n");
        QTest::newRow("another user's subjects.txt in a sticky folder, as nobody")
            << "sticky" << true
            << "%1/subjects.txt: it belongs to another user, in a folder where only a file's owner may replace it "
               "(the sticky bit)"
            << QByteArray("MINE\n") << QByteArray("ROOT\n");
    }

    void replacesBothOrNeither()
    {
        QFETCH(QString, setUp);
        QFETCH(bool, replace);
        QFETCH(QString, failure);
        QFETCH(QByteArray, authors);
        QFETCH(QByteArray, subjects);
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"collection/deeper"_s);
        if (setUp != u"none" && !setUp.endsWith(u"made meanwhile")) {
            QDir().mkpath(folder);
            if (setUp != u"subjects only")
                writeFile(folder + u"/authors.txt"_s, "##OldA\r\n");
            if (setUp == u"subjects a folder")
                QDir().mkpath(folder + u"/subjects.txt"_s);
            else
                writeFile(folder + u"/subjects.txt"_s, "##OldS\r\n");
        }
        CollectionWrite write{bytesOf("##NewA\n"), bytesOf("##NewS\n"), replace};
        if (setUp == u"subjects fail")
            write.subjects = [](PartSink &) { return std::optional<QString>(u"the old file cannot be read"_s); };
        if (setUp == u"authors alone")
            write.subjects = {};
        if (setUp.endsWith(u"made meanwhile")) {
            const QString made = folder + (setUp.startsWith(u"authors") ? u"/authors.txt"_s : u"/subjects.txt"_s);
            write.subjects = [made](PartSink &sink) {
                writeFile(made, "THEIRS\n");
                sink.write("##NewS\n");
                return std::optional<QString>();
            };
        }
        QString got;
        if (setUp == u"sticky") {
            // A shared folder: subjects.txt is root's, authors.txt nobody's.
            ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
            ::chmod(QFile::encodeName(dir.filePath(u"collection"_s)).constData(), 0755);
            ::chmod(QFile::encodeName(folder).constData(), 01777);
            writeFile(folder + u"/authors.txt"_s, "MINE\n");
            writeFile(folder + u"/subjects.txt"_s, "ROOT\n");
            QCOMPARE(::chown(QFile::encodeName(folder + u"/authors.txt"_s).constData(), 65534, 65534), 0);
            got = writeAsNobody(folder, write);
        } else {
            got = writeCollection(folder, write).value_or(WriteFailure()).message;
        }
        QCOMPARE(got, failure.isEmpty() ? QString() : failure.arg(folder));
        QCOMPARE(readFile(folder + u"/authors.txt"_s), authors);
        QCOMPARE(readFile(folder + u"/subjects.txt"_s), subjects);
        QStringList expected{u"authors.txt"_s, u"subjects.txt"_s};
        if (subjects == "<none>" && setUp != u"subjects a folder")
            expected.removeLast();
        if (authors == "<none>")
            expected.removeFirst();
        QCOMPARE(entriesOf(folder), expected);
    }

    // A replaced file keeps its mode; a new one gets the usual 0666 less
    // the umask. A data file that is a link stays a link, and the file it
    // leads to gets the new contents.
    void keepsModesAndLinks()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"c"_s);
        QDir().mkpath(folder);
        QDir().mkpath(dir.filePath(u"elsewhere"_s));
        writeFile(folder + u"/authors.txt"_s, "##OldA\n");
        ::chmod(QFile::encodeName(folder + u"/authors.txt"_s).constData(), 0600);
        writeFile(dir.filePath(u"elsewhere/real subjects"_s), "##OldS\n");
        ::chmod(QFile::encodeName(dir.filePath(u"elsewhere/real subjects"_s)).constData(), 0640);
        QVERIFY(QFile::link(u"../elsewhere/real subjects"_s, folder + u"/subjects.txt"_s));
        QCOMPARE(writeCollection(folder, {bytesOf("##NewA\n"), bytesOf("##NewS\n"), true}).has_value(), false);
        QCOMPARE(modeOf(folder + u"/authors.txt"_s), mode_t(0600));
        QCOMPARE(QFileInfo(folder + u"/subjects.txt"_s).symLinkTarget(), dir.filePath(u"elsewhere/real subjects"_s));
        QCOMPARE(readFile(dir.filePath(u"elsewhere/real subjects"_s)), QByteArray("##NewS\n"));
        QCOMPARE(modeOf(dir.filePath(u"elsewhere/real subjects"_s)), mode_t(0640));
        QCOMPARE(entriesOf(dir.filePath(u"elsewhere"_s)), QStringList{u"real subjects"_s});

        const QString fresh = dir.filePath(u"fresh"_s);
        QCOMPARE(writeCollection(fresh, {bytesOf("##A\n"), bytesOf("##S\n"), false}).has_value(), false);
        QCOMPARE(modeOf(fresh + u"/authors.txt"_s), mode_t(0644));
        QCOMPARE(modeOf(fresh + u"/subjects.txt"_s), mode_t(0644));
    }

    // The part files and journal a dead writer left are removed by the next
    // write into the folder, even one that writes nothing; files of other
    // names stay.
    void removesWhatADeadWriterLeft()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        writeFile(folder + u"/authors.txt"_s, "##OldA\n");
        writeFile(folder + u"/subjects.txt"_s, "##OldS\n");
        for (const QString &name : {u".sayvane.authors.txt.4242.part"_s, u".sayvane.subjects.txt.4242.part"_s,
                                    u".sayvane.4243.journal.part"_s, u".sayvane.notes"_s, u".authors.txt.part-9"_s})
            writeFile(folder + u'/' + name, "left over");
        const std::optional<WriteFailure> failed = writeCollection(folder, {bytesOf("##A\n"), bytesOf("##S\n"), false});
        QVERIFY(failed && failed->kind == WriteFailure::Kind::Exists);
        QCOMPARE(entriesOf(folder),
                 (QStringList{u".authors.txt.part-9"_s, u".sayvane.notes"_s, u"authors.txt"_s, u"subjects.txt"_s}));
    }

    // Writers started at once into one empty folder: without replacing,
    // exactly one succeeds and each other one is told the files exist;
    // with replacing, all succeed. Either way both files are one writer's.
    void oneWriterAtATime_data()
    {
        QTest::addColumn<int>("writers");
        QTest::addColumn<bool>("replace");
        QTest::newRow("two, no replacing") << 2 << false;
        QTest::newRow("four, no replacing") << 4 << false;
        QTest::newRow("four, replacing") << 4 << true;
    }

    void oneWriterAtATime()
    {
        QFETCH(int, writers);
        QFETCH(bool, replace);
        for (int attempt = 0; attempt < 25; ++attempt) {
            QTemporaryDir dir;
            const QString folder = dir.filePath(u"c"_s);
            int start[2];
            QCOMPARE(::pipe(start), 0);
            QList<pid_t> children;
            for (int writer = 0; writer < writers; ++writer) {
                const pid_t child = ::fork();
                if (child == 0) {
                    ::close(start[1]);
                    char go;
                    [[maybe_unused]] const ssize_t waited = ::read(start[0], &go, 1); // until the parent closes it
                    // Large enough that the writes overlap.
                    const QByteArray mark = "##Writer " + QByteArray::number(writer) + '\n';
                    const QByteArray body = mark + QByteArray("A quotation.\n").repeated(20'000);
                    const std::optional<WriteFailure> failed =
                        writeCollection(folder, {bytesOf(body), bytesOf(body), replace});
                    _exit(!failed ? 0 : failed->kind == WriteFailure::Kind::Exists ? 3 : 1);
                }
                children.append(child);
            }
            ::close(start[0]);
            ::close(start[1]);
            QList<int> statuses;
            for (const pid_t child : children) {
                int status = -1;
                ::waitpid(child, &status, 0);
                statuses.append(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
            }
            std::sort(statuses.begin(), statuses.end());
            QList<int> expected(writers, replace ? 0 : 3);
            expected[0] = 0;
            QCOMPARE(statuses, expected);
            const QByteArray authors = readFile(folder + u"/authors.txt"_s);
            QVERIFY(authors.startsWith("##Writer "));
            QCOMPARE(readFile(folder + u"/subjects.txt"_s), authors);
            QCOMPARE(entriesOf(folder), (QStringList{u"authors.txt"_s, u"subjects.txt"_s}));
        }
    }
};

QTEST_GUILESS_MAIN(CollectionWriterTest)
#include "tst_collection_writer.moc"
