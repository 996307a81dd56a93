// Reading the data files: line splitting at every block size, the heading
// rules, Windows-1252, and lines far longer than a block.
#include "DataFileReader.h"
#include "HeadingLoader.h"
#include "LineRules.h"
#include "TestSupport.h"
#include "Windows1252.h"

#include <QTest>

using namespace sayvane;
using test::ProgramFolder;

namespace {

QList<QByteArray> readAllLines(const QString &path, std::size_t blockSize)
{
    QList<QByteArray> lines;
    DataFileReader reader(blockSize);
    if (!reader.open(path))
        return {"<open failed>"};
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        lines.append(QByteArray(line.data(), qsizetype(line.size())));
    }
    return lines;
}

} // namespace

class ReadingTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("one line, no terminator") << QByteArray("abc") << L{"abc"};
        QTest::newRow("final CR LF adds no line") << QByteArray("abc\r\n") << L{"abc"};
        QTest::newRow("CR LF CR LF ends with one empty line") << QByteArray("abc\r\n\r\n") << L{"abc", ""};
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb\rc") << L{"a", "b", "c"};
        QTest::newRow("final lone CR adds no line") << QByteArray("a\r") << L{"a"};
        QTest::newRow("lone LF is ordinary") << QByteArray("a\nb\nc\n") << L{"a\nb\nc\n"};
        QTest::newRow("LF CR: LF kept, CR ends") << QByteArray("a\n\rb") << L{"a\n", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << L{"a", "", "b"};
        QTest::newRow("only terminators") << QByteArray("\r\n\r\r\n") << L{"", "", ""};
        QTest::newRow("byte-order mark stays") << QByteArray("\xEF\xBB\xBF##A\r\n") << L{"\xEF\xBB\xBF##A"};
        QTest::newRow("NUL bytes are characters")
            << QByteArray("a\0b\r\n\0", 6) << L{QByteArray("a\0b", 3), QByteArray("\0", 1)};
        QTest::newRow("mixed") << QByteArray("##A\r\nq1\rq2\r\n\r\n  ##B\nx\r\n")
                               << L{"##A", "q1", "q2", "", "  ##B\nx"};
    }

    // Every block size must give the same lines: a CR at the end of one
    // block with its LF at the start of the next is the classic fault.
    void splitsLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), bytes);
        for (std::size_t blockSize : {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(7), std::size_t(4096),
                                      DataFileReader::kDefaultBlockSize}) {
            QCOMPARE(readAllLines(folder.dataFile(QStringLiteral("authors.txt")), blockSize), lines);
        }
    }

    void classifiesLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("heading");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain heading") << QByteArray("##Courage") << true << QByteArray("Courage");
        QTest::newRow("trailing spaces kept") << QByteArray("##Hope  ") << true << QByteArray("Hope  ");
        QTest::newRow("space after marks") << QByteArray("## Patience") << true << QByteArray(" Patience");
        QTest::newRow("one leading space") << QByteArray(" ##Hope") << true << QByteArray("#Hope");
        QTest::newRow("two leading spaces") << QByteArray("  ##Hope") << true << QByteArray("##Hope");
        QTest::newRow("three leading spaces") << QByteArray("   ##Hope") << true << QByteArray(" ##Hope");
        QTest::newRow("three marks") << QByteArray("###Hope") << true << QByteArray("#Hope");
        QTest::newRow("marks alone") << QByteArray("##") << true << QByteArray("");
        QTest::newRow("marks and three spaces") << QByteArray("##   ") << true << QByteArray("   ");
        QTest::newRow("one mark") << QByteArray("#Hope") << false << QByteArray();
        QTest::newRow("marks split by a space") << QByteArray("# #Hope") << false << QByteArray();
        QTest::newRow("tab before marks") << QByteArray("\t##Joy") << false << QByteArray();
        QTest::newRow("single mark line") << QByteArray("#") << false << QByteArray();
        QTest::newRow("spaces around one mark") << QByteArray(" # ") << false << QByteArray();
        QTest::newRow("empty line") << QByteArray("") << false << QByteArray();
        QTest::newRow("quote line") << QByteArray("Courage quotation one.") << false << QByteArray();
    }

    void classifiesLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, heading);
        QFETCH(QByteArray, name);
        const std::string_view view(line.constData(), std::size_t(line.size()));
        QCOMPARE(IsHeadingLine(view), heading);
        if (heading)
            QCOMPARE(QByteArray(HeadingName(view).data(), qsizetype(HeadingName(view).size())), name);
    }

    void loadsTheNamesOfTheWorkedExample()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("subjects.txt"),
                     test::crlfLines({"A short note before any heading", "##Courage", "Courage quotation one.", "",
                                      "## Patience", "Patience quotation one.", "  ##Hope", "Hope quotation one.",
                                      "##Courage", "Courage quotation two.", "\t##Joy"}));
        const HeadingNames loaded = LoadHeadingNames(folder.dataFile(QStringLiteral("subjects.txt")), 3);
        QVERIFY(!loaded.failure);
        QCOMPARE(loaded.names, (QStringList{"Courage", " Patience", "##Hope", "Courage"}));
    }

    void decodesAndEncodesWindows1252()
    {
        QByteArray everyByte(256, Qt::Uninitialized);
        for (int byte = 0; byte < 256; ++byte)
            everyByte[byte] = char(byte);
        const QString text = decodeWindows1252({everyByte.constData(), 256});
        QCOMPARE(text.size(), 256);
        QCOMPARE(text[0x80], QChar(0x20AC));
        QCOMPARE(text[0x9F], QChar(0x0178));
        QCOMPARE(text[0xE9], QChar(0x00E9));
        for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QCOMPARE(text[undefined], QChar(undefined));
        QCOMPARE(encodeWindows1252(text), std::optional<QByteArray>(everyByte));
        QCOMPARE(encodeWindows1252(u"\u0080"), std::optional<QByteArray>()); // its byte stands for the euro sign
        QCOMPARE(encodeWindows1252(u"\u4E2D"), std::optional<QByteArray>());
        QCOMPARE(encodeWindows1252(u"Søren"), std::optional<QByteArray>("S\xF8ren"));
    }

    // A line of 100 MB is read whole with a fixed block size.
    void readsALineFarLongerThanABlock()
    {
        ProgramFolder folder;
        const qsizetype length = 100 * 1024 * 1024;
        QByteArray bytes("##Long\r\n");
        bytes.append(QByteArray(length, 'x')).append("\r\nafter\r\n");
        folder.write(QStringLiteral("authors.txt"), bytes);
        bytes.clear();
        DataFileReader reader(64 * 1024);
        QVERIFY(reader.open(folder.dataFile(QStringLiteral("authors.txt"))));
        QCOMPARE(reader.readLine(), std::string_view("##Long"));
        const std::string_view longLine = reader.readLine();
        QCOMPARE(qsizetype(longLine.size()), length);
        QVERIFY(longLine.find_first_not_of('x') == std::string_view::npos);
        QCOMPARE(reader.readLine(), std::string_view("after"));
        QVERIFY(reader.atEnd());
    }

    void reportsWhyAFileCannotBeOpened_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("no such file") << QStringLiteral("missing.txt");
        QTest::newRow("a folder") << QStringLiteral("folder");
    }

    void reportsWhyAFileCannotBeOpened()
    {
        QFETCH(QString, name);
        ProgramFolder folder;
        QDir(folder.path() + QStringLiteral("/Data")).mkdir(QStringLiteral("folder"));
        const HeadingNames loaded = LoadHeadingNames(folder.dataFile(name));
        QVERIFY(loaded.failure);
        QCOMPARE(loaded.failure->path, folder.dataFile(name));
        QVERIFY2(!loaded.failure->reason.isEmpty(), "the system's reason is given");
        QVERIFY(loaded.names.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ReadingTest)
#include "tst_reading.moc"
