// SPDX-License-Identifier: MIT
// Reading the data files: line splitting at every block size and through
// parts of the file read at once, the heading rules, Windows-1252, the
// phrase finder, lines far longer than a block, the limit on the length of
// a line, and what counts as a data file.
#include "ByteSearch.h"
#include "DataFileReader.h"
#include "FileParts.h"
#include "HeadingLoader.h"
#include "LineRules.h"
#include "LineTerminator.h"
#include "LineText.h"
#include "PhraseSearch.h"
#include "RegularFile.h"
#include "SectionDisplay.h"
#include "TestSupport.h"
#include "Windows1252.h"

#include <QRandomGenerator>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace sayvane;
using namespace Qt::StringLiterals;
using test::ProgramFolder;

namespace {

// The lines as the program splits them: blocks of whole lines from the
// reader, cut into lines by lineAt. Reading failed when the last entry is
// "<failed: reason>".
QList<QByteArray> linesThroughBlocks(const QString &path, ReadSettings settings)
{
    QList<QByteArray> lines;
    const std::optional<ReadFailure> failure =
        forEachBlock(path, settings, [&lines](std::string_view block, auto terminator) {
            const char *end = block.data() + block.size();
            for (const char *at = block.data(); at < end;) {
                const LineSpan span = terminator.lineAt(at, end);
                lines.append(QByteArray(span.line.data(), qsizetype(span.line.size())));
                at = span.next;
            }
            return true;
        });
    if (failure)
        lines.append("<failed: " + failure->reason.toUtf8() + ">");
    return lines;
}

// The same through the reader's own line by line reading.
QList<QByteArray> linesOneByOne(const QString &path, ReadSettings settings)
{
    QList<QByteArray> lines;
    DataFileReader reader(settings);
    if (!reader.open(path))
        return {"<failed: " + reader.errorString().toUtf8() + ">"};
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        lines.append(QByteArray(line.data(), qsizetype(line.size())));
    }
    if (reader.failed())
        lines.append("<failed: " + reader.errorString().toUtf8() + ">");
    return lines;
}

// The same through the parts of the file, read on threads of their own
// and put back in order.
QList<QByteArray> linesThroughParts(const QString &path, ReadSettings settings, std::size_t partBytes)
{
    PartedFile parted;
    if (const std::optional<QString> reason = parted.open(path, partBytes, settings))
        return {"<failed: " + reason->toUtf8() + ">"};
    std::vector<QList<QByteArray>> parts(parted.parts().size());
    forEachPart(parted, 3, settings, [&](std::size_t index, DataFileReader &reader) {
        while (!reader.atEnd()) {
            const std::string_view line = reader.readLine();
            parts[index].append(QByteArray(line.data(), qsizetype(line.size())));
        }
        if (reader.failed())
            parts[index].append("<failed: " + reader.errorString().toUtf8() + ">");
    });
    QList<QByteArray> lines;
    for (const QList<QByteArray> &part : parts)
        lines += part;
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
        QTest::newRow("classic: lone LF is ordinary") << QByteArray("a\r\nb\nc\n") << L{"a", "b\nc\n"};
        QTest::newRow("classic: LF after the first CR") << QByteArray("a\rb\n\rc") << L{"a", "b\n", "c"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << L{"a", "", "b"};
        QTest::newRow("only terminators") << QByteArray("\r\n\r\r\n") << L{"", "", ""};
        QTest::newRow("LF: each LF ends a line") << QByteArray("a\nb\nc") << L{"a", "b", "c"};
        QTest::newRow("LF: final LF adds no line") << QByteArray("a\nb\n") << L{"a", "b"};
        QTest::newRow("LF: LF LF ends with one empty line") << QByteArray("a\n\n") << L{"a", ""};
        QTest::newRow("LF: CR LF lines pasted in later") << QByteArray("a\nb\r\nc\r\nd\n") << L{"a", "b", "c", "d"};
        QTest::newRow("LF: lone CR is a character") << QByteArray("a\nb\rc\n") << L{"a", "b\rc"};
        QTest::newRow("LF: CR CR LF keeps one CR") << QByteArray("a\nb\r\r\nc") << L{"a", "b\r", "c"};
        QTest::newRow("LF: final CR is a character") << QByteArray("a\nb\r") << L{"a", "b\r"};
        QTest::newRow("LF first, then CR") << QByteArray("a\n\rb") << L{"a", "\rb"};
        QTest::newRow("first line end beyond a block")
            << QByteArray(5000, 'x') + "\ny\r\nz" << L{QByteArray(5000, 'x'), "y", "z"};
        for (const int length : {4094, 4095, 4096, 4097}) // a CR LF across pages
            QTest::addRow("CR LF after a line of %d bytes", length)
                << QByteArray(length, 'x') + "\r\ny\r\n" << L{QByteArray(length, 'x'), "y"};
        QTest::newRow("byte-order mark, CR LF") << QByteArray("\xEF\xBB\xBF##A\r\nq\r\n") << L{"##A", "q"};
        QTest::newRow("byte-order mark, LF") << QByteArray("\xEF\xBB\xBF##A\nq\n") << L{"##A", "q"};
        QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << L{};
        QTest::newRow("byte-order mark, then LF") << QByteArray("\xEF\xBB\xBF\nx") << L{"", "x"};
        QTest::newRow("second byte-order mark stays") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                                    "a")
                                                      << L{"\xEF\xBB\xBF"
                                                           "a"};
        QTest::newRow("half a byte-order mark stays") << QByteArray("\xEF\xBBx\n") << L{"\xEF\xBBx"};
        QTest::newRow("byte-order mark later stays") << QByteArray("a\n\xEF\xBB\xBF") << L{"a", "\xEF\xBB\xBF"};
        QTest::newRow("NUL bytes are characters")
            << QByteArray("a\0b\r\n\0", 6) << L{QByteArray("a\0b", 3), QByteArray("\0", 1)};
        QTest::newRow("mixed") << QByteArray("##A\r\nq1\rq2\r\n\r\n  ##B\nx\r\n")
                               << L{"##A", "q1", "q2", "", "  ##B\nx"};
    }

    // Every block size must give the same lines, through the program's own
    // path and line by line, with the next block read ahead, and through
    // parts of the file of every size: a CR at the end of one block or
    // part with its LF at the start of the next is the classic fault.
    void splitsLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), bytes);
        for (std::size_t blockSize : test::kBlockSizes) {
            for (const bool readAhead : {false, true}) {
                const ReadSettings settings{.blockSize = blockSize, .readAhead = readAhead};
                QCOMPARE(linesThroughBlocks(folder.authors(), settings), lines);
                QCOMPARE(linesOneByOne(folder.authors(), settings), lines);
            }
            for (const std::size_t partBytes : {1, 2, 3, 5, 64})
                QCOMPARE(linesThroughParts(folder.authors(), {.blockSize = blockSize}, partBytes), lines);
        }
    }

    // Parts begin where lines begin and together hold the whole file.
    void splitsAFileIntoPartsAtLineStarts()
    {
        ProgramFolder folder;
        QByteArray bytes;
        QRandomGenerator random(11);
        for (int line = 0; line < 3000; ++line)
            bytes += QByteArray(random.bounded(40), 'x') + (line % 3 == 0 ? "\r" : "\r\n");
        folder.write(QStringLiteral("authors.txt"), bytes);
        PartedFile parted;
        QVERIFY(!parted.open(folder.authors(), 1000, {}));
        QVERIFY(parted.parts().size() > 50);
        long long next = 0;
        for (const FilePart &part : parted.parts()) {
            QCOMPARE(part.offset, next);
            QVERIFY(part.length > 0);
            QVERIFY(part.offset == 0 || bytes[part.offset - 1] == '\n' ||
                    (bytes[part.offset - 1] == '\r' && bytes[part.offset] != '\n'));
            next = part.offset + part.length;
        }
        QCOMPARE(next, bytes.size());
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
        QTest::newRow("spaces only") << QByteArray("   ") << false << QByteArray();
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

    // The first and the last heading of any run of whole lines, found by
    // jumping between marks, are those a walk of every line finds.
    void findsTheFirstAndLastHeadingOfLines()
    {
        const QList<QByteArray> kinds{"##A", "  ##B", "q", "#x", "a ## b", "##", " # ", "", "##C# and D#",
                                      "x\n##Glued", "x\r##Cr", "# #y"};
        QRandomGenerator random(17);
        for (const bool lf : {true, false}) {
            for (int round = 0; round < 300; ++round) {
                QByteArray block;
                for (int line = random.bounded(1, 12); line > 0; --line)
                    block += kinds[random.bounded(int(kinds.size()))] + (lf ? "\n" : "\r\n");
                withTerminator(lf ? LineEnds::Lf : LineEnds::Classic, [&](auto terminator) {
                    const char *const begin = block.constData();
                    const char *const end = begin + block.size();
                    QList<const char *> starts;
                    QList<const char *> headings;
                    for (const char *at = begin; at < end;) {
                        const LineSpan span = terminator.lineAt(at, end);
                        starts += at;
                        if (IsHeadingLine(span.line))
                            headings += at;
                        at = span.next;
                    }
                    starts += end;
                    for (const char *from : starts) {
                        for (const char *to : starts) {
                            if (to < from)
                                continue;
                            QList<const char *> inside;
                            for (const char *heading : headings) {
                                if (heading >= from && heading < to)
                                    inside += heading;
                            }
                            const auto first = terminator.nextHeadingLine(from, to);
                            const auto last = terminator.lastHeadingLine(from, to);
                            const QByteArray where = block.toHex(' ') + " from " + QByteArray::number(from - begin) +
                                                     " to " + QByteArray::number(to - begin);
                            QVERIFY2(first.has_value() == !inside.isEmpty(), where.constData());
                            QVERIFY2(last.has_value() == !inside.isEmpty(), where.constData());
                            if (!inside.isEmpty()) {
                                QVERIFY2(first->line.data() == inside.first(), where.constData());
                                QVERIFY2(last->line.data() == inside.last(), where.constData());
                            }
                        }
                    }
                });
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

    void loadsTheNamesOfTheSampleSectionFile()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("subjects.txt"), test::kSampleSections);
        for (std::size_t blockSize : test::kBlockSizes) {
            const LoadedNames loaded = loadHeadingNames(folder.subjects(), {.blockSize = blockSize});
            QVERIFY(!loaded.failure);
            QCOMPARE(test::namesOf(loaded.names), (QStringList{"Courage", " Patience", "##Hope", "Courage"}));
        }
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
        // Lowering follows the character, not the byte: Š (0x8A) becomes š
        // (0x9A), Ÿ (0x9F) becomes ÿ (0xFF), É (0xC9) becomes é.
        QCOMPARE(loweredWindows1252()[0x8A], char16_t(0x0161));
        QCOMPARE(loweredWindows1252()[0x9F], char16_t(0x00FF));
        QCOMPARE(loweredWindows1252()[0xC9], char16_t(0x00E9));
        QCOMPARE(loweredWindows1252()['A'], char16_t('a'));
        QCOMPARE(loweredWindows1252()['#'], char16_t('#'));
    }

    void readsEachLineInItsOwnEncoding_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("Seneca") << u"Seneca"_s;
        QTest::newRow("UTF-8 accents") << QByteArray("caf\xC3\xA9 Exup\xC3\xA9ry") << u"café Exupéry"_s;
        QTest::newRow("UTF-8 Cyrillic") << QByteArray("\xD0\x9B\xD0\xB5\xD0\xB2") << u"Лев"_s;
        QTest::newRow("UTF-8 CJK") << QByteArray("\xE9\x80\x80") << u"退"_s;
        QTest::newRow("UTF-8 emoji") << QByteArray("ok \xF0\x9F\x98\x80") << u"ok 😀"_s;
        QTest::newRow("UTF-8 noncharacter") << QByteArray("\xEF\xBF\xBF") << QString(QChar(0xFFFF));
        QTest::newRow("Windows-1252 accents") << QByteArray("caf\xE9 \x80") << u"café €"_s;
        QTest::newRow("Windows-1252 quotes") << QByteArray("\x93Hi\x94") << u"“Hi”"_s;
        QTest::newRow("UTF-8 then a stray byte") << QByteArray("\xC3\xA9\xE9") << u"Ã©é"_s;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << u"À¯"_s;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << u"à€¯"_s;
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << u"í\u00A0€"_s;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << u"ô\u0090€€"_s;
        QTest::newRow("cut at the end") << QByteArray("ab\xE2\x82") << u"abâ‚"_s;
        QTest::newRow("lone continuation") << QByteArray("\x80") << u"€"_s;
        // Long runs of ASCII around the other bytes, which are read eight
        // bytes at a time.
        QTest::newRow("UTF-8 between long ASCII runs")
            << QByteArray("Antoine de Saint-Exup\xC3\xA9ry wrote Le Petit Prince \xF0\x9F\x98\x80 in 1943.")
            << u"Antoine de Saint-Exupéry wrote Le Petit Prince 😀 in 1943."_s;
        QTest::newRow("a stray byte after UTF-8 and long ASCII runs")
            << QByteArray("Antoine de Saint-Exup\xC3\xA9ry wrote Le Petit Prince, caf\xE9 1943")
            << u"Antoine de Saint-ExupÃ©ry wrote Le Petit Prince, café 1943"_s;
        QTest::newRow("cut after eight ASCII bytes") << QByteArray("abcdefgh\xE2\x82") << u"abcdefghâ‚"_s;
        QTest::newRow("byte-order mark inside a line stays") << QByteArray("Hope \xEF\xBB\xBF!") << u"Hope \uFEFF!"_s;
    }

    // Every byte of Windows-1252 written as UTF-8 as Qt writes the
    // character it decodes to.
    void writesEveryWindows1252ByteAsUtf8AsQtDoes()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const char bytes[] = {'a', char(byte), 'b'};
            const std::string_view text(bytes, 3);
            std::string out = "x";
            appendWindows1252AsUtf8(out, text);
            QCOMPARE(QByteArray::fromStdString(out), "x" + decodeWindows1252(text).toUtf8());
        }
    }

    // Long lines are decided 32 bytes at a time: each row's bytes at every
    // place of a long UTF-8 line, and lines put together at random from
    // valid and faulty pieces, must read as Qt's own UTF-8 check reads them.
    void decidesLongLinesAsUtf8AsQtDoes()
    {
        const QByteArray cyrillic = QStringLiteral("Лев Толстой: всё смешалось в доме. ").toUtf8(); // 63 bytes
        const QList<QByteArray> pieces{"a", " ", "\xC3\xA9", "\xD0\x9B", "\xE9\x80\x80", "\xEF\xBF\xBF",
                                       "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF", "\xC2\x80", "\xE0\xA0\x80",
                                       "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x90\x80\x80",
                                       // and faulty ones
                                       "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
                                       "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\x80", "\xBF",
                                       "\xE2\x82", "\xF0\x9F\x98", "\xC3"};
        const auto check = [](const QByteArray &line) {
            const std::string_view bytes(line.constData(), std::size_t(line.size()));
            const LineReading reading = readingOf(bytes);
            const bool utf8 = line.isValidUtf8();
            if ((reading.encoding == LineEncoding::Utf8) != utf8)
                return false;
            return reading.length == (utf8 ? QString::fromUtf8(line).size() : line.size());
        };
        for (const QByteArray &piece : pieces) {
            for (int place = 0; place <= 70; ++place) {
                const QByteArray line = cyrillic.left(place) + piece + cyrillic + cyrillic.left(place % 7);
                QVERIFY2(check(line), line.toHex(' ').constData());
                QVERIFY2(check(line + piece), (line + piece).toHex(' ').constData());
            }
        }
        QRandomGenerator random(29);
        for (int round = 0; round < 20'000; ++round) {
            QByteArray line = cyrillic.left(random.bounded(64));
            while (line.size() < 64 + random.bounded(200))
                line += pieces[random.bounded(round % 2 == 0 ? 13 : int(pieces.size()))];
            QVERIFY2(check(line), line.toHex(' ').constData());
        }
    }

    // Valid UTF-8 holding a byte above 0x7F reads as UTF-8; everything
    // else, one byte a character, as Windows-1252. Names and shown lines
    // read alike.
    void readsEachLineInItsOwnEncoding()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        const std::string_view bytes(line.constData(), std::size_t(line.size()));
        QCOMPARE(decodeLine(bytes), text);
        QCOMPARE(decodedLength(bytes, encodingOf(bytes)), text.size());
        QCOMPARE(readingOf(bytes).length, text.size());
        ShownText shown;
        shown.show(bytes);
        QCOMPARE(shown.take(), u"\r\n"_s + text + u"\r\n"_s);
        NameArray names;
        names.append(bytes);
        QCOMPARE(names.text(0), text);
        QCOMPARE(names.textPrefix(0, 2), text.first(std::min<qsizetype>(2, text.size())));
    }

    // A prefix for drawing never ends in half a character.
    void cutsANamePrefixBetweenCharacters()
    {
        NameArray names;
        names.append("a\xF0\x9F\x98\x80\xC3\xA9z"); // a, an emoji of two units, é, z
        QCOMPARE(names.textPrefix(0, 1), u"a"_s);
        QCOMPARE(names.textPrefix(0, 2), u"a"_s);
        QCOMPARE(names.textPrefix(0, 3), u"a😀"_s);
        QCOMPARE(names.textPrefix(0, 4), u"a😀é"_s);
        QCOMPARE(names.textPrefix(0, 100), u"a😀éz"_s);
    }

    void findsPhrases_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("phrase");
        QTest::addColumn<int>("at"); // -1: nowhere
        QTest::newRow("at the start") << QByteArray("wisdom begins") << QByteArray("wis") << 0;
        QTest::newRow("at the very end") << QByteArray(100, 'x') + "end" << QByteArray("end") << 100;
        QTest::newRow("first and last bytes match, middle not")
            << QByteArray("wxsdom wisdom") << QByteArray("wisdom") << 7;
        QTest::newRow("one byte") << QByteArray("abcabc") << QByteArray("c") << 2;
        QTest::newRow("two bytes") << QByteArray("aXbXab") << QByteArray("ab") << 4;
        QTest::newRow("longer than the text") << QByteArray("abc") << QByteArray("abcd") << -1;
        QTest::newRow("empty phrase") << QByteArray("abc") << QByteArray() << 0;
        QTest::newRow("straddles a run of 32")
            << QByteArray(30, '.') + "needle" + QByteArray(40, '.') << QByteArray("needle") << 30;
        QTest::newRow("longer than a run of 32")
            << QByteArray(50, 'a') + QByteArray(40, 'b') << QByteArray(35, 'a') + QByteArray(5, 'b') << 15;
        QTest::newRow("high bytes") << QByteArray("caf\xE9 \xE9t\xE9") << QByteArray("\xE9t\xE9") << 5;
    }

    void findsPhrases()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, phrase);
        QFETCH(int, at);
        const PhraseFinder finder({phrase.constData(), std::size_t(phrase.size())});
        const char *found = finder.find(text.constData(), text.constData() + text.size());
        QCOMPARE(found ? int(found - text.constData()) : -1, at);
    }

    // A masked phrase against a byte by byte comparison: bits a mask
    // leaves out may be either, on random text of both cases; with and
    // without vectors of AVX2.
    void findsMaskedPhrasesAtTheFirstMatch()
    {
        QRandomGenerator random(5);
        const std::string alphabet = "aAbB\xC3\xE3 ";
        for (int round = 0; round < 2000; ++round) {
            std::string text(std::size_t(random.bounded(200)), ' ');
            for (char &byte : text)
                byte = alphabet[random.bounded(int(alphabet.size()))];
            std::string phrase(std::size_t(1 + random.bounded(6)), ' '), masks(phrase.size(), '\xFF');
            for (std::size_t i = 0; i < phrase.size(); ++i) {
                if (random.bounded(2))
                    masks[i] = '\xDF'; // the case bit free
                phrase[i] = char(alphabet[random.bounded(int(alphabet.size()))] & masks[i]);
            }
            std::size_t expected = std::string::npos;
            for (std::size_t at = 0; at + phrase.size() <= text.size() && expected == std::string::npos; ++at) {
                bool matches = true;
                for (std::size_t i = 0; i < phrase.size(); ++i)
                    matches = matches && (text[at + i] & masks[i]) == phrase[i];
                if (matches)
                    expected = at;
            }
            const PhraseFinder finder(phrase, masks);
            for (const char *found : {finder.find(text.data(), text.data() + text.size()),
                                      finder.findWithoutAvx2(text.data(), text.data() + text.size())})
                QCOMPARE(found ? std::size_t(found - text.data()) : std::string::npos, expected);
        }
    }

    // Against the standard library's search, on random text of a small
    // alphabet where partial matches are everywhere; with vectors of AVX2
    // where the processor has them, and without.
    void findsPhrasesLikeTheStandardLibrary()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 2000; ++round) {
            std::string text(std::size_t(random.bounded(200)), ' ');
            for (char &byte : text)
                byte = "ab\r#"[random.bounded(4)];
            std::string phrase(std::size_t(1 + random.bounded(6)), ' ');
            for (char &byte : phrase)
                byte = "ab\r#"[random.bounded(4)];
            const std::size_t expected = text.find(phrase);
            const PhraseFinder finder(phrase);
            for (const char *found : {finder.find(text.data(), text.data() + text.size()),
                                      finder.findWithoutAvx2(text.data(), text.data() + text.size())})
                QCOMPARE(found ? std::size_t(found - text.data()) : std::string::npos, expected);
        }
    }

    // Both ways of finding a byte from the end, the C library's and the
    // one eight bytes at a time, against the standard library's, on every
    // range of random text where the byte may be in any place of a word.
    void findsTheLastByteLikeTheStandardLibrary()
    {
        QRandomGenerator random(13);
        for (int round = 0; round < 300; ++round) {
            std::string text(std::size_t(random.bounded(40)), ' ');
            for (char &byte : text)
                byte = "ab\r\x80"[random.bounded(4)];
            for (const char byte : {'a', '\r', '\x80'}) {
                for (std::size_t from = 0; from <= text.size(); ++from) {
                    for (std::size_t to = from; to <= text.size(); ++to) {
                        const std::size_t last = std::string_view(text).substr(from, to - from).rfind(byte);
                        const char *const expected = last == std::string::npos ? nullptr : text.data() + from + last;
                        QCOMPARE(findLastByte(text.data() + from, text.data() + to, byte), expected);
                        QCOMPARE(findLastByteWordwise(text.data() + from, text.data() + to, byte), expected);
                    }
                }
            }
        }
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
        DataFileReader reader({.blockSize = 64 * 1024});
        QVERIFY(reader.open(folder.authors()));
        QCOMPARE(reader.readLine(), std::string_view("##Long"));
        const std::string_view longLine = reader.readLine();
        QCOMPARE(qsizetype(longLine.size()), length);
        QVERIFY(longLine.find_first_not_of('x') == std::string_view::npos);
        QCOMPARE(reader.readLine(), std::string_view("after"));
        QVERIFY(reader.atEnd());
    }

    void limitsTheLengthOfALine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines"); // read before the failure, if any
        QTest::addColumn<bool>("tooLong");
        using L = QList<QByteArray>;
        const QByteArray eight(8, 'x');
        const QByteArray nine(9, 'y');
        QTest::newRow("lines of the limit") << eight + "\r\n" + eight << L{eight, eight} << false;
        QTest::newRow("the limit then CR at the end") << eight + "\r" << L{eight} << false;
        QTest::newRow("the limit then CR LF") << eight + "\r\nz" << L{eight, "z"} << false;
        QTest::newRow("first line too long") << nine + "\r\nshort" << L{} << true;
        QTest::newRow("a later line too long") << "one\r\ntwo\r\n" + nine + "\r\nafter" << L{"one", "two"} << true;
        QTest::newRow("last line too long, no terminator") << "one\r\n" + nine << L{"one"} << true;
        QTest::newRow("no terminator anywhere") << QByteArray(1000, '\0') << L{} << true;
        QTest::newRow("many short lines") << QByteArray("a\r\nbb\r\nccc\r\n").repeated(50) << L{} << false;
        QTest::newRow("LF: lines of the limit")
            << eight + "\n" + eight + "\r\n" + eight << L{eight, eight, eight} << false;
        QTest::newRow("LF: a CR that is a character counts") << "a\n" + eight + "\rz\nb" << L{"a"} << true;
        QTest::newRow("LF: a later line too long") << "a\n" + nine + "\n" << L{"a"} << true;
        QTest::newRow("no line end, a byte-order mark then the limit") << "\xEF\xBB\xBF" + eight << L{eight} << false;
    }

    // No line longer than the limit is ever held: reading stops there with
    // a failure that says so, after the lines before it.
    void limitsTheLengthOfALine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QFETCH(bool, tooLong);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), bytes);
        const QByteArray failure = "<failed: " + lineTooLongReason(8).toUtf8() + ">";
        QCOMPARE(failure, QByteArray("<failed: a line is too long (more than 8 bytes)>"));
        for (std::size_t blockSize : test::kBlockSizes) {
            const ReadSettings settings{.blockSize = blockSize, .maxLineBytes = 8, .readAhead = blockSize % 2 == 0};
            const QList<QByteArray> read = linesOneByOne(folder.authors(), settings);
            if (tooLong) {
                QCOMPARE(read, lines + QList<QByteArray>{failure});
            } else {
                QVERIFY(!read.endsWith(failure));
                QCOMPARE(read, linesOneByOne(folder.authors(), {}));
            }
            QCOMPARE(linesThroughBlocks(folder.authors(), settings).endsWith(failure), tooLong);
        }
    }

    // The byte-order mark is no part of the first line, not even while
    // only its first bytes have come: lines of one character pass a limit
    // of one.
    void leavesTheByteOrderMarkOutOfTheLimit()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), "\xEF\xBB\xBF"
                                                    "a\rb");
        for (std::size_t blockSize : test::kBlockSizes)
            QCOMPARE(linesOneByOne(folder.authors(), {.blockSize = blockSize, .maxLineBytes = 1}),
                     (QList<QByteArray>{"a", "b"}));
    }

    // A file that grows while it is read is read as far as it reached when
    // it was opened.
    void readsTheFileAsItWasWhenOpened()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), "one\r\ntwo\r\n");
        DataFileReader reader({.blockSize = 4});
        QVERIFY(reader.open(folder.authors()));
        QCOMPARE(reader.readLine(), std::string_view("one"));
        QFile file(folder.authors());
        QVERIFY(file.open(QIODevice::Append));
        file.write("three\r\nfour\r\n");
        file.close();
        QCOMPARE(reader.readLine(), std::string_view("two"));
        QVERIFY(reader.atEnd());
        QVERIFY(!reader.failed());
    }

    void acceptsOnlyRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: the system's own
        QTest::newRow("no such file") << "missing"
                                      << "";
        QTest::newRow("a folder") << "folder"
                                  << "not a regular file";
        QTest::newRow("a FIFO") << "fifo"
                                << "not a regular file";
        QTest::newRow("a link to /dev/zero") << "device"
                                             << "not a regular file";
        QTest::newRow("a socket") << "socket"
                                  << "not a regular file";
        QTest::newRow("a link to a regular file") << "link"
                                                  << "-";
    }

    // Decided on the opened file, without waiting: a FIFO without a writer
    // would otherwise block the open for ever.
    void acceptsOnlyRegularFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        ProgramFolder folder;
        const QString path = folder.authors();
        std::optional<LoadedNames> loaded;
        {
            const test::HostileFile hostile(path, kind);
            loaded = loadHeadingNames(path);
        }
        if (reason == "-") {
            QVERIFY(!loaded->failure);
            QCOMPARE(test::namesOf(loaded->names), QStringList{"Linked"});
            return;
        }
        QVERIFY(loaded->failure);
        QCOMPARE(loaded->failure->path, path);
        if (reason.isEmpty())
            QCOMPARE(loaded->failure->reason, QStringLiteral("No such file or directory"));
        else
            QCOMPARE(loaded->failure->reason, reason);
        QVERIFY(loaded->names.isEmpty());
    }

    // A read that fails, comes back short or is interrupted, at any read
    // of a file: start-up, section display and search either give the
    // right text, or report the failure; never a success over lost lines.
    void survivesAFaultAtEveryRead_data()
    {
        QTest::addColumn<int>("fault"); // a ReadFault
        QTest::addColumn<bool>("readAhead");
        QTest::newRow("an I/O error") << int(ReadFault::Error) << false;
        QTest::newRow("a short read") << int(ReadFault::Short) << false;
        QTest::newRow("an interrupted read") << int(ReadFault::Interrupted) << false;
        QTest::newRow("an I/O error, read ahead") << int(ReadFault::Error) << true;
        QTest::newRow("a short read, read ahead") << int(ReadFault::Short) << true;
    }

    void survivesAFaultAtEveryRead()
    {
        QFETCH(int, fault);
        QFETCH(bool, readAhead);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), test::kSearchAuthors);
        const QString path = folder.authors();
        // Every read of the three readers is counted; the faulty one is
        // given the fault.
        long long reads = 0, faulty = -1;
        const ReadSettings settings{
            .blockSize = 7,
            .faults = [&reads, &faulty, fault] { return reads++ == faulty ? ReadFault(fault) : ReadFault::None; },
            .readAhead = readAhead};
        // What each reader gives, as text to compare.
        const auto results = [&] {
            const LoadedNames names = loadHeadingNames(path, settings);
            const ShownQuotes section = sectionQuotes(path, "Seneca wisdom", settings);
            const ShownQuotes search = searchQuotes(path, u"wisdom", settings);
            const auto failed = [](const std::optional<ReadFailure> &failure) {
                return failure ? QStringLiteral("<failed: %1 %2>").arg(failure->path, failure->reason) : QString();
            };
            return QStringList{test::namesOf(names.names).join(u'|') + failed(names.failure),
                               section.text + failed(section.failure), search.text + failed(search.failure)};
        };
        const QStringList expected = results();
        const QString failedHere = QStringLiteral("<failed: %1 Input/output error>").arg(path);
        const long long readsInAll = reads;
        QVERIFY(readsInAll > 30);
        for (faulty = 0; faulty < readsInAll; ++faulty) {
            reads = 0;
            const QStringList got = results();
            if (ReadFault(fault) != ReadFault::Error) {
                QCOMPARE(got, expected);
                continue;
            }
            // Exactly one reader met the failing read, and reported it. Read
            // ahead, the failing read may be one that a reader which stopped
            // early (the section display) asked for and never needed: then
            // every text is whole.
            int reported = 0;
            for (int reader = 0; reader < 3; ++reader) {
                if (got[reader] != expected[reader]) {
                    QVERIFY2(got[reader].endsWith(failedHere), qPrintable(got[reader]));
                    ++reported;
                }
            }
            QVERIFY2(reported == 1 || (readAhead && reported == 0), qPrintable(QString::number(reported)));
        }
    }
};

QTEST_GUILESS_MAIN(ReadingTest)
#include "tst_reading.moc"
