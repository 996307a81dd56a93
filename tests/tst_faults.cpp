// Files no one should write, and files that change under the program: it
// never crashes or hangs, reports what the user must know, and shows the
// right lines.
#include "DataFileReader.h"
#include "HeadingLoader.h"
#include "NameFilter.h"
#include "PhraseSearch.h"
#include "SectionDisplay.h"
#include "TestSupport.h"
#include "frmMain.h"

#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QTest>

using namespace sayvane;
using test::ProgramFolder;
using test::SeamRecord;

namespace {

QString authorsOf(const ProgramFolder &folder)
{
    return folder.dataFile(QStringLiteral("authors.txt"));
}

// Writes the pieces at their offsets; the gaps stay holes of the file.
void writeSparse(const QString &path, const QList<std::pair<qint64, QByteArray>> &pieces)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const auto &[offset, bytes] : pieces) {
        QVERIFY(file.seek(offset));
        QCOMPARE(file.write(bytes), bytes.size());
    }
}

} // namespace

class FaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramStyle(); }

    // Lines of NUL bytes 64 MiB long lead past the 4 GiB mark, where the
    // last section stands.
    void readsPastFourGibibytes()
    {
        ProgramFolder folder;
        const qint64 step = qint64(64) << 20;
        QList<std::pair<qint64, QByteArray>> pieces{{0, "##First\r\nfirst quote\r\n"}};
        for (qint64 offset = step; offset < (qint64(4) << 30); offset += step)
            pieces.append({offset, "\r\n"});
        const qint64 far = (qint64(4) << 30) + (qint64(1) << 20);
        pieces.append({far, "\r\n##Far Author\r\nFar quotation beyond the mark.\r\n"});
        writeSparse(authorsOf(folder), pieces);
        QVERIFY(QFileInfo(authorsOf(folder)).size() > (qint64(4) << 30));

        const HeadingNames loaded = LoadHeadingNames(authorsOf(folder));
        QVERIFY(!loaded.failure);
        QCOMPARE(loaded.names, (QStringList{"First", "Far Author"}));
        QCOMPARE(ShowSection(authorsOf(folder), u"Far Author").text,
                 QStringLiteral("\r\nFar quotation beyond the mark.\r\n"));
        QCOMPARE(SearchQuotes(authorsOf(folder), u"beyond the mark").text,
                 QStringLiteral("\r\nFar quotation beyond the mark.\r\n"));
    }

    void readsALineOf200Megabytes()
    {
        ProgramFolder folder;
        QByteArray bytes("##Long\r\n");
        bytes.append(QByteArray(200'000'000, 'w')).append(" needle\r\n##After\r\nafter quote\r\n");
        folder.write(QStringLiteral("authors.txt"), bytes);
        bytes.clear();
        QCOMPARE(LoadHeadingNames(authorsOf(folder)).names, (QStringList{"Long", "After"}));
        QCOMPARE(ShowSection(authorsOf(folder), u"After").text, QStringLiteral("\r\nafter quote\r\n"));
        const ShownQuotes found = SearchQuotes(authorsOf(folder), u"w needle");
        QCOMPARE(found.text.size(), 200'000'000 + 7 + 4);
        QVERIFY(found.text.endsWith(QStringLiteral("w needle\r\n")));
    }

    void readsTenMillionLoneCarriageReturns()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), QByteArray(10'000'000, '\r') + "##After\r\nafter quote\r\n");
        QCOMPARE(LoadHeadingNames(authorsOf(folder)).names, QStringList{"After"});
        QCOMPARE(ShowSection(authorsOf(folder), u"After").text, QStringLiteral("\r\nafter quote\r\n"));
        QCOMPARE(SearchQuotes(authorsOf(folder), u"after").text, QStringLiteral("\r\nafter quote\r\n"));
        QCOMPARE(SearchQuotes(authorsOf(folder), u"nowhere").found, false);
    }

    // Binary junk gives the same names, sections and matches whatever the
    // block size, and decodes every byte.
    void readsBinaryJunkConsistently_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL bytes") << QByteArray(1'000'000, '\0');
        QByteArray random(1'000'000, Qt::Uninitialized);
        QRandomGenerator generator(20261207);
        for (char &byte : random)
            byte = char(generator.bounded(256));
        // Some headings among the junk.
        for (int at = 1000; at < random.size() - 20; at += 50'000)
            random.replace(at, 12, "\r\n##Junk\x01\x81\r\n");
        QTest::newRow("random bytes") << random;
    }

    void readsBinaryJunkConsistently()
    {
        QFETCH(QByteArray, bytes);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), bytes);
        const HeadingNames loaded = LoadHeadingNames(authorsOf(folder));
        QVERIFY(!loaded.failure);
        QCOMPARE(LoadHeadingNames(authorsOf(folder), 7).names, loaded.names);
        const QString name = loaded.names.value(0);
        QCOMPARE(ShowSection(authorsOf(folder), name, 7).text, ShowSection(authorsOf(folder), name).text);
        const QString phrase = QString::fromLatin1("\x01\x02\x03");
        QCOMPARE(SearchQuotes(authorsOf(folder), phrase, 7).text, SearchQuotes(authorsOf(folder), phrase).text);
    }

    // Each click reads the file as it is now.
    void followsTheFileBetweenClicks_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("shown");
        QTest::newRow("truncated") << "truncate"
                                   << "\r\none\r\n";
        QTest::newRow("grown") << "grow"
                               << "\r\none\r\n\r\ntwo\r\n\r\nthree\r\n";
        QTest::newRow("replaced") << "replace"
                                  << "\r\nnew\r\n";
        QTest::newRow("emptied") << "empty"
                                 << "";
    }

    void followsTheFileBetweenClicks()
    {
        QFETCH(QString, change);
        QFETCH(QString, shown);
        ProgramFolder folder;
        const QString path = authorsOf(folder);
        folder.write(QStringLiteral("authors.txt"), "##A\r\none\r\ntwo\r\n");
        QCOMPARE(ShowSection(path, u"A").text, QStringLiteral("\r\none\r\n\r\ntwo\r\n"));
        if (change == "truncate")
            QVERIFY(QFile::resize(path, 10));
        else if (change == "grow")
            folder.write(QStringLiteral("authors.txt"), "##A\r\none\r\ntwo\r\nthree\r\n");
        else if (change == "replace") {
            QFile replacement(path + QStringLiteral(".new"));
            QVERIFY(replacement.open(QIODevice::WriteOnly));
            replacement.write("##A\r\nnew\r\n");
            replacement.close();
            QVERIFY(std::rename(QFile::encodeName(replacement.fileName()), QFile::encodeName(path)) == 0);
        } else
            folder.write(QStringLiteral("authors.txt"), QByteArray());
        const ShownQuotes after = ShowSection(path, u"A");
        QVERIFY(!after.failure);
        QCOMPARE(after.text, shown);
    }

    // A file that shrinks while it is read simply ends early.
    void fileShrinkingWhileRead()
    {
        ProgramFolder folder;
        QByteArray bytes;
        for (int i = 0; i < 1000; ++i)
            bytes.append("quote line number ").append(QByteArray::number(i)).append("\r\n");
        folder.write(QStringLiteral("authors.txt"), bytes);
        DataFileReader reader(64);
        QVERIFY(reader.open(authorsOf(folder)));
        QCOMPARE(reader.readLine(), std::string_view("quote line number 0"));
        QVERIFY(QFile::resize(authorsOf(folder), 100));
        int lines = 1;
        while (!reader.atEnd()) {
            reader.readLine();
            ++lines;
        }
        QVERIFY(!reader.failed());
        QVERIFY2(lines < 10, "reading stops where the file now ends");
    }

    void filtersAMillionNames()
    {
        QStringList names;
        names.reserve(1'000'000);
        for (int i = 0; i < 1'000'000; ++i)
            names.append((i % 2 ? QStringLiteral("Beta ") : QStringLiteral("alpha ")) + QString::number(i));
        const NameFilter filter(names);
        const QList<int> alphas = filter.matches(u"ALPHA 99");
        QCOMPARE(alphas.size(), 5 + 50 + 500 + 5000); // the even numbers 990 to 998, 9900 to 9998, ...
        QCOMPARE(names[alphas.first()], QStringLiteral("alpha 990"));
        QCOMPARE(filter.matches(u"").size(), 1'000'000);
        QCOMPARE(filter.matches(u"b").size(), 500'000);
    }

    // Huge names and names holding control characters stay one row each.
    void listsOddNames()
    {
        ProgramFolder folder;
        QByteArray authors = "##" + QByteArray(100'000, 'L') +
                             "\r\n##Line\nfeed\r\n##Tab\tand\x01"
                             "control\r\n##Plain\r\n";
        folder.writeBoth(authors, "##S\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.show();
        QListView *list = window.AuthorList;
        QCOMPARE(list->model()->rowCount(), 4);
        QCOMPARE(list->model()->index(0, 0).data().toString().size(), 100'000);
        QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("Line\nfeed"));
        for (int row = 0; row < 4; ++row)
            QCOMPARE(list->visualRect(list->model()->index(row, 0)).height(), 13);
        QCOMPARE(list->visualRect(list->model()->index(3, 0)).top(), 3 * 13);
        QTest::keyClicks(window.txtAuthor, "lll");
        QCOMPARE(list->model()->rowCount(), 1);
        QTest::keyClick(window.txtAuthor, Qt::Key_Backspace);
        QTest::keyClick(window.txtAuthor, Qt::Key_Backspace);
        QCOMPARE(list->model()->rowCount(), 2);
        QVERIFY(!window.grab().isNull());
    }
};

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
