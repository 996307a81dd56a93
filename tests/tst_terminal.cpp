// SPDX-License-Identifier: MIT
// The collection at the terminal: the search that names each quotation's
// author, with and without case, in both encodings and several scripts;
// and the random draw, uniform over quotation lines.
#include "CaseFolding.h"
#include "LibraryTestSupport.h"
#include "LineScan.h"
#include "OutputBuffer.h"
#include "PartsInOrder.h"
#include "RandomQuotation.h"
#include "TerminalSearch.h"
#include "Utf8Output.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace sayvane;
using namespace sayvane::terminal;
using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

namespace {

// A classic file of Windows-1252 lines and a few UTF-8 ones.
const QByteArray kAuthors = "Wisdom before any heading.\r\n"
                            "##Seneca\r\n"
                            "True wisdom is rare.\r\n"
                            "Caf\xE9 wisdom, CAF\xC9 WISDOM.\r\n"
                            "##Wisdom in a heading\r\n"
                            "Nothing here.\r\n"
                            "##\xD0\x9B\xD0\xB5\xD0\xB2\r\n"
                            "\xD0\x9C\xD1\x83\xD0\xB4\xD1\x80\xD0\xBE\xD1\x81\xD1\x82\xD1\x8C of the ages.\r\n"
                            "##\xE1\xBC\xA9\xCF\x81\xCE\xAC\xCE\xBA\xCE\xBB\xCE\xB5\xCE\xB9\xCF\x84\xCE\xBF\xCF\x82\r\n"
                            "\xCE\xA0\xCE\xAC\xCE\xBD\xCF\x84\xCE\xB1 \xE1\xBF\xA5\xCE\xB5\xE1\xBF\x96, \xCE\xA8\xCE\xA5"
                            "\xCE\xA7\xCE\x97.\r\n"
                            "##Caf\xC3\xA9\r\n"
                            "A lone LF\nholds wisdom here.\r\n"
                            // Windows-1252 (\xEF before v is no UTF-8), though it
                            // holds the bytes of "café" in UTF-8: "cafÃ© au lait".
                            "caf\xC3\xA9 au lait, na\xEFve.\r\n"
                            // Capitals of Adlam, cased letters of the second plane.
                            "\xF0\x9E\xA4\x80\xF0\x9E\xA4\x81\xF0\x9E\xA4\x82 in Adlam.\r\n"
                            "The \xE2\x84\xAAing of wisdom.\r\n";

} // namespace

class TerminalTest : public QObject
{
    Q_OBJECT

private slots:
    void searchesWithAuthors_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("found, with case") << "wisdom" << false
                                          << QStringList{u"Seneca: True wisdom is rare."_s,
                                                         u"Seneca: Café wisdom, CAFÉ WISDOM."_s,
                                                         u"Café: A lone LF holds wisdom here."_s,
                                                         u"Café: The \u212Aing of wisdom."_s};
        QTest::newRow("ignoring case, before the first heading too")
            << "WISDOM" << true
            << QStringList{u"Wisdom before any heading."_s, u"Seneca: True wisdom is rare."_s,
                           u"Seneca: Café wisdom, CAFÉ WISDOM."_s, u"Café: A lone LF holds wisdom here."_s,
                           u"Café: The \u212Aing of wisdom."_s};
        QTest::newRow("not found") << "zebra" << true << QStringList{};
        QTest::newRow("a phrase only in a heading") << "in a heading" << true << QStringList{};
        QTest::newRow("a Windows-1252 line found by its text") << "Café" << false
                                                               << QStringList{u"Seneca: Café wisdom, CAFÉ WISDOM."_s};
        QTest::newRow("accented Latin, ignoring case") << "cafÉ wis" << true
                                                       << QStringList{u"Seneca: Café wisdom, CAFÉ WISDOM."_s};
        QTest::newRow("ignoring case, the lowered phrase's UTF-8 bytes in a Windows-1252 line")
            << "CAFÉ" << true << QStringList{u"Seneca: Café wisdom, CAFÉ WISDOM."_s};
        QTest::newRow("Cyrillic, ignoring case") << "мудрость" << true
                                                 << QStringList{u"Лев: Мудрость of the ages."_s};
        QTest::newRow("Cyrillic, with case") << "мудрость" << false << QStringList{};
        QTest::newRow("Greek, ignoring case") << "ψυχη" << true << QStringList{u"Ἡράκλειτος: Πάντα ῥεῖ, ΨΥΧΗ."_s};
        QTest::newRow("Adlam of the second plane, ignoring case")
            << u"\U0001E922\U0001E923\U0001E924"_s << true
            << QStringList{u"Café: \U0001E900\U0001E901\U0001E902 in Adlam."_s};
        QTest::newRow("the Kelvin sign lowers to k") << "KING" << true
                                                     << QStringList{u"Café: The \u212Aing of wisdom."_s};
    }

    void searchesWithAuthors()
    {
        QFETCH(QString, phrase);
        QFETCH(bool, ignoreCase);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), kAuthors);
        QByteArray output;
        const SearchResult result = searchCollection(dir.filePath(u"authors.txt"_s), phrase, ignoreCase,
                                                     [&output](std::string_view text) {
                                                         output.append(text.data(), qsizetype(text.size()));
                                                         return true;
                                                     });
        QVERIFY(!result.failure);
        QCOMPARE(result.found, lines.size());
        QCOMPARE(QString::fromUtf8(output), lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n');
    }

    // In a file of LF line ends a CR inside a line is a character of it;
    // written as it is, it would send the terminal back over the author.
    void writesACarriageReturnInsideALineAsASpace()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), "##Seneca\nA lone CR\rholds wisdom.\nA CR LF ends wisdom.\r\n");
        QByteArray output;
        const SearchResult result = searchCollection(dir.filePath(u"authors.txt"_s), u"wisdom", false,
                                                     [&output](std::string_view text) {
                                                         output.append(text.data(), qsizetype(text.size()));
                                                         return true;
                                                     });
        QVERIFY(!result.failure);
        QCOMPARE(output, "Seneca: A lone CR holds wisdom.\nSeneca: A CR LF ends wisdom.\n");
    }

    // A search in parts writes what a search of the whole file writes, in
    // the same order, each line under its author: sections that span many
    // parts, lines before the first heading, lines of both encodings.
    void searchesInPartsAsInOne_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<bool>("ignoreCase");
        QTest::newRow("a word") << u"wisdom"_s << false;
        QTest::newRow("a word, ignoring case") << u"wisdom"_s << true;
        QTest::newRow("Cyrillic, ignoring case") << u"мудрость"_s << true;
        QTest::newRow("Windows-1252, ignoring case") << u"café"_s << true;
        QTest::newRow("in nearly every line") << u"the"_s << false;
    }

    void searchesInPartsAsInOne()
    {
        QFETCH(QString, phrase);
        QFETCH(bool, ignoreCase);
        QTemporaryDir dir;
        QByteArray authors = "The wisdom before any heading.\r\nAnd more of the same wisdom.\r\n";
        for (int section = 0; section < 40; ++section) {
            authors += "##Author " + QByteArray::number(section) + "\r\n";
            for (int line = 0; line < section % 9 * 5; ++line)
                authors += kAuthors.mid(kAuthors.indexOf('\n') + 1).split('\n').value(line % 12) + "\n";
        }
        writeFile(dir.filePath(u"authors.txt"_s), authors);
        const auto searched = [&](const PartSettings &parting) {
            QByteArray output;
            const SearchResult result = searchCollection(
                dir.filePath(u"authors.txt"_s), phrase, ignoreCase,
                [&output](std::string_view text) {
                    output.append(text.data(), qsizetype(text.size()));
                    return true;
                },
                {}, parting);
            return std::pair(output, result.found);
        };
        const auto [whole, found] = searched({0, 1});
        QVERIFY(found > 10);
        QCOMPARE(whole.count('\n'), found);
        for (const std::size_t partBytes : {1, 97, 2000}) {
            for (const int threads : {1, 3}) {
                const auto [inParts, foundInParts] = searched({partBytes, threads});
                QCOMPARE(inParts, whole);
                QCOMPARE(foundInParts, found);
            }
        }
    }

    // A reader that goes stops a search in parts too: nothing more is
    // written after the first write it refused.
    void stopsInPartsWhenTheOutputIsGone()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), "##A\n" + QByteArray("common line\n").repeated(100'000));
        int calls = 0;
        searchCollection(
            dir.filePath(u"authors.txt"_s), u"common"_s, false, [&calls](std::string_view) { return ++calls > 1; },
            {}, {4096, 3});
        QCOMPARE(calls, 1);
    }

    // A part that finds more than it may keep while the part before it is
    // still searching waits for its turn, then writes on: the output keeps
    // the order of the parts, a line larger than a part keeps among them,
    // and the prelude stands under the heading of the part before.
    void writesPartsInOrderBeyondWhatAPartKeeps()
    {
        constexpr std::size_t kMebibyte = std::size_t(1) << 20;
        std::string output;
        PartsInOrder inOrder([&output](std::string_view text) {
            output += text;
            return true;
        });
        std::string expected = "A: first\n";
        std::thread later([&inOrder] {
            PartsInOrder::Part part(inOrder, 1);
            part.writePrelude("before its heading\n");
            for (int line = 0; line < 30'000; ++line)
                part.write("B: a line of the later part, number " + std::to_string(line) + "\n");
            part.write("B: " + std::string(kMebibyte + kMebibyte / 2, 'x') + "\n");
            part.write("B: last\n");
            part.finish(std::string("B: "));
        });
        {
            PartsInOrder::Part first(inOrder, 0);
            // The later part fills what it may keep in the meantime.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            first.write("A: first\n");
            first.finish(std::string("A: "));
        }
        later.join();
        expected += "A: before its heading\n";
        for (int line = 0; line < 30'000; ++line)
            expected += "B: a line of the later part, number " + std::to_string(line) + "\n";
        expected += "B: " + std::string(kMebibyte + kMebibyte / 2, 'x') + "\nB: last\n";
        QVERIFY(expected.size() > 2 * kMebibyte);
        QVERIFY(output == expected);
    }

    // A Windows-1252 byte above ASCII at every place of a line, among runs
    // of ASCII long and short, and a lone LF: each as its UTF-8 bytes.
    void writesWindows1252AsUtf8AtEveryPlace()
    {
        for (int at = 0; at < 24; ++at) {
            QByteArray line(24, 'a');
            line[at] = '\xE9';
            line[(at + 11) % 24] = '\x80';
            line[(at + 5) % 24] = '\n';
            std::string out = "x";
            appendAsUtf8(out, std::string_view(line.constData(), std::size_t(line.size())));
            QByteArray expected = line;
            expected.replace('\n', ' ');
            expected.replace("\xE9", "\xC3\xA9");
            expected.replace("\x80", "\xE2\x82\xAC");
            QCOMPARE(QByteArray::fromStdString(out), "x" + expected);
        }
    }

    // A reader that goes stops the search at once.
    void stopsWhenTheOutputIsGone()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), "##A\n" + QByteArray("common line\n").repeated(1000));
        int calls = 0;
        const SearchResult result = searchCollection(dir.filePath(u"authors.txt"_s), u"common"_s, false,
                                                     [&calls](std::string_view) { return ++calls < 3; });
        QCOMPARE(calls, 3);
        QCOMPARE(result.found, 3);
    }

    // Sections of 1, 3, 30 and 66 quotation lines (a few beginning with a
    // space or a mark), with blank lines, lines of spaces and a line before
    // the first heading, none of which is drawn: over 10,000 draws each of
    // the 100 quotations comes within half of its share of 100 (five
    // standard deviations of a fair draw; picking a section first would
    // give the lone line 2,500), under its own author. The same in parts
    // of the file, where each part is drawn from apart and most begin
    // within a section.
    void drawsEveryQuotationAlike_data()
    {
        QTest::addColumn<std::size_t>("partBytes");
        QTest::addColumn<int>("threads");
        QTest::newRow("the file whole") << std::size_t(0) << 1;
        QTest::newRow("in parts of 150 bytes") << std::size_t(150) << 1;
        QTest::newRow("in parts of 300 bytes, on three threads") << std::size_t(300) << 3;
    }

    void drawsEveryQuotationAlike()
    {
        QFETCH(std::size_t, partBytes);
        QFETCH(int, threads);
        QTemporaryDir dir;
        QByteArray authors = "Before any heading.\r\n";
        QHash<QString, QString> authorOf;
        int number = 0;
        for (const int size : {1, 3, 30, 66}) {
            const QByteArray author = "Author of " + QByteArray::number(size);
            authors += "##" + author + "\r\n\r\n   \r\n";
            for (int i = 0; i < size; ++i) {
                // Some begin like a heading or a heading's indent, and are none.
                const QByteArray start = i % 5 == 2 ? " " : i % 11 == 4 ? "#" : "";
                const QByteArray quotation = start + "Quotation " + QByteArray::number(++number) +
                                             (i % 7 == 0 ? " is longer, much longer" : "") + ".";
                authors += quotation + "\r\n";
                authorOf.insert(QString::fromLatin1(quotation), QString::fromLatin1(author));
            }
        }
        writeFile(dir.filePath(u"authors.txt"_s), authors);
        writeFile(dir.filePath(u"subjects.txt"_s), "##S\r\n");
        const PartSettings parting{partBytes, threads};
        QHash<QString, int> counts;
        for (quint64 seed = 1; seed <= 10'000; ++seed) {
            const DrawResult result =
                drawQuotation(dir.filePath(u"authors.txt"_s), dir.filePath(u"subjects.txt"_s), {}, seed, parting);
            QVERIFY(result.drawn);
            const QString text = QString::fromStdString(result.drawn->text);
            ++counts[text];
            QVERIFY2(result.drawn->author && QString::fromStdString(*result.drawn->author) == authorOf.value(text),
                     qPrintable(text + u" drawn under "_s + QString::fromStdString(result.drawn->author.value_or("none"))));
        }
        for (auto quotation = authorOf.cbegin(); quotation != authorOf.cend(); ++quotation)
            QVERIFY2(counts.contains(quotation.key()), qPrintable(quotation.key() + u" never drawn"_s));
        QCOMPARE(counts.size(), 100);
        for (auto count = counts.cbegin(); count != counts.cend(); ++count) {
            QVERIFY2(authorOf.contains(count.key()), qPrintable(count.key()));
            QVERIFY2(count.value() >= 50 && count.value() <= 150,
                     qPrintable(count.key() + u" drawn "_s + QString::number(count.value()) + u" times"_s));
        }
        // The same seed draws the same, on any number of threads.
        const auto once =
            drawQuotation(dir.filePath(u"authors.txt"_s), dir.filePath(u"subjects.txt"_s), {}, 42, parting);
        const auto again = drawQuotation(dir.filePath(u"authors.txt"_s), dir.filePath(u"subjects.txt"_s), {}, 42,
                                         {partBytes, threads + 1});
        QCOMPARE(once.drawn->text, again.drawn->text);
    }

    // Lines that begin with a space are each looked at as the draw passes
    // them: one drawn there stands under the heading just above it, in
    // either kind of file.
    void drawsAnIndentedQuotationUnderItsOwnHeading()
    {
        for (const QByteArray &lineEnd : {QByteArray("\n"), QByteArray("\r\n")}) {
            QTemporaryDir dir;
            QByteArray authors;
            for (int section = 1; section <= 50; ++section) {
                const QByteArray number = QByteArray::number(section);
                authors += "##Author " + number + lineEnd + " Quotation " + number + "." + lineEnd;
            }
            writeFile(dir.filePath(u"authors.txt"_s), authors);
            writeFile(dir.filePath(u"subjects.txt"_s), "##S" + lineEnd);
            for (quint64 seed = 1; seed <= 200; ++seed) {
                const DrawResult result =
                    drawQuotation(dir.filePath(u"authors.txt"_s), dir.filePath(u"subjects.txt"_s), {}, seed);
                QVERIFY(result.drawn && result.drawn->author);
                const QString text = QString::fromStdString(result.drawn->text);
                QCOMPARE(u" Quotation "_s + QString::fromStdString(*result.drawn->author).mid(7) + u"."_s, text);
            }
        }
    }

    // What each request draws from, drawn 200 times: every line it may
    // draw comes, and no other; with the author each stands under.
    void drawsFromWhatTheWindowShows_data()
    {
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QStringList>("drawn"); // as printed
        QTest::newRow("an author's first sections, not the later one")
            << "Seneca" << "" << QStringList{u"One.\n    — Seneca\n"_s, u"Two.\n    — Seneca\n"_s};
        QTest::newRow("a name trimmed of spaces") << " Plato " << "" << QStringList{u"Three.\n    — Plato\n"_s};
        QTest::newRow("a subject, with each line's author")
            << "" << "Time" << QStringList{u"Two.\n    — Seneca\n"_s, u"Three.\n    — Plato\n"_s, u"Orphan.\n"_s};
        QTest::newRow("a name without quotations") << "Nobody" << "" << QStringList{};
        QTest::newRow("a heading without quotations") << "Empty" << "" << QStringList{};
    }

    void drawsFromWhatTheWindowShows()
    {
        QFETCH(QString, author);
        QFETCH(QString, subject);
        QFETCH(QStringList, drawn);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s),
                  "##Seneca\nOne.\n##Seneca\nTwo.\n##Plato\nThree.\n##Seneca\nHidden.\n##Empty\n  \n");
        writeFile(dir.filePath(u"subjects.txt"_s), "##Time\nTwo.\nThree.\nOrphan.\n##Other\nOne.\n");
        DrawRequest request;
        if (!author.isEmpty())
            request.author = author;
        if (!subject.isEmpty())
            request.subject = subject;
        QSet<QString> seen;
        for (quint64 seed = 1; seed <= 200; ++seed) {
            const DrawResult result =
                drawQuotation(dir.filePath(u"authors.txt"_s), dir.filePath(u"subjects.txt"_s), request, seed);
            QVERIFY(!result.failure);
            if (!result.drawn)
                break;
            seen.insert(QString::fromStdString(drawnText(*result.drawn)));
        }
        QCOMPARE(seen, QSet<QString>(drawn.begin(), drawn.end()));
    }

    // The census of a block counts its lines and finds those beginning
    // with a space, a mark or nothing, as a walk of every line does; at
    // every shift against the sixteen or thirty-two bytes taken at a time.
    void takesACensusOfEveryLine_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("lf");
        const QByteArray lines = "##Heading\nquote\n\n   \n  ##indented mark\n indented quote\n#one mark\n\rcr first\n"
                                 "\r\nlast without end";
        QByteArray classic = lines;
        classic.replace("\n", "\r\n");
        classic += "\r\rlone cr\r\nlone\nlf\r\n\nlf first\r\n";
        QByteArray withoutLoneLf = lines;
        withoutLoneLf.replace("\n", "\r\n");
        for (int shift = 0; shift < 34; ++shift) {
            const QByteArray padding = QByteArray(shift, 'p') + "\n";
            QTest::addRow("LF, shifted %d", shift) << (padding + lines).repeated(3) << true;
            QTest::addRow("classic, shifted %d", shift)
                << (QByteArray(shift, 'p') + "\r\n" + classic + "\r\n").repeated(3) << false;
            QTest::addRow("classic without a lone LF, shifted %d", shift)
                << (QByteArray(shift, 'p') + "\r\n" + withoutLoneLf + "\r\n").repeated(3) << false;
            // One lone LF only, at each place of the vectors.
            QTest::addRow("classic with one lone LF, shifted %d", shift)
                << (withoutLoneLf + QByteArray(shift, 'p') + "\n##glued\r\n" + withoutLoneLf) << false;
        }
        QByteArray everyByteFirst;
        for (int byte = 0; byte < 256; ++byte)
            everyByteFirst += char(byte) + QByteArray("line\n");
        QTest::newRow("LF, every byte first") << everyByteFirst << true;
        QTest::newRow("classic, every byte first") << everyByteFirst.replace("\n", "\r\n") << false;
        QTest::newRow("classic, a lone LF first") << QByteArray("\n##glued\r\n") + withoutLoneLf << false;
        QTest::newRow("classic, a lone LF last") << withoutLoneLf + "\r\nq\n" << false;
    }

    void takesACensusOfEveryLine()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, lf);
        const std::string_view block(text.constData(), std::size_t(text.size()));
        QList<qint64> expectedOdd; // each odd line's number and where it begins
        qint64 expectedLines = 0;
        bool expectedLoneLf = false;
        for (qsizetype i = 0; i < text.size(); ++i)
            expectedLoneLf = expectedLoneLf || (!lf && text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
        withTerminator(lf ? LineEnds::Lf : LineEnds::Classic, [&](auto terminator) {
            for (const char *at = block.data(); at < block.data() + block.size(); ++expectedLines) {
                const LineSpan span = terminator.lineAt(at, block.data() + block.size());
                const char first = span.next > span.line.data() ? *span.line.data() : '\0';
                const bool odd = span.line.empty() || span.line.front() == ' ' || span.line.front() == '#' ||
                                 first == '\r' || (lf && first == '\n');
                if (odd && expectedLines > 0)
                    expectedOdd += {expectedLines, span.line.data() - block.data()};
                at = span.next;
            }
            return 0;
        });
        LineCensus census;
        takeCensus(block, lf ? LineEnds::Lf : LineEnds::Classic, census);
        QList<qint64> odd;
        for (const OddLine &line : census.odd)
            odd += {line.index, line.start - block.data()};
        QCOMPARE(census.lines, expectedLines);
        QCOMPARE(odd, expectedOdd);
        QCOMPARE(census.loneLineFeeds, expectedLoneLf);
    }

    // The output goes out in pieces of a mebibyte, in order: a byte short
    // of one writes nothing, the byte that fills it writes it whole.
    void writesOutputInPiecesOfAMebibyte()
    {
        constexpr qint64 kPiece = qint64(1) << 20;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out"_s);
        const int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(descriptor >= 0);
        QByteArray expected;
        {
            OutputBuffer output(descriptor);
            const QByteArray line = "Author: a quotation of forty bytes ....\n";
            QCOMPARE(line.size(), 40);
            while (expected.size() + line.size() < kPiece) {
                QVERIFY(output.write(std::string_view(line.constData(), std::size_t(line.size()))));
                expected += line;
            }
            const QByteArray filling(kPiece - 1 - expected.size(), 'x');
            QVERIFY(output.write(std::string_view(filling.constData(), std::size_t(filling.size()))));
            expected += filling;
            QCOMPARE(QFileInfo(path).size(), 0);
            QVERIFY(output.write("yz"));
            expected += "yz";
            QCOMPARE(QFileInfo(path).size(), kPiece);
            // A text larger than a piece goes out after what is held.
            const QByteArray large(2 * kPiece + 3, 'L');
            QVERIFY(output.write(std::string_view(large.constData(), std::size_t(large.size()))));
            expected += large;
            QCOMPARE(QFileInfo(path).size(), expected.size());
            QVERIFY(output.write("tail\n"));
            expected += "tail\n";
            QVERIFY(output.flush());
            QCOMPARE(output.error(), 0);
        }
        ::close(descriptor);
        QCOMPARE(readFile(path), expected);
    }

    // A write that fails ends the output, saying why: a full disk, a pipe
    // whose reader has gone (with SIGPIPE ignored, as a shell may leave it).
    void endsTheOutputAtAFailedWrite()
    {
        const int full = ::open("/dev/full", O_WRONLY);
        QVERIFY(full >= 0);
        {
            OutputBuffer output(full);
            QVERIFY(output.write("held until the piece is full\n"));
            QVERIFY(!output.flush());
            QCOMPARE(output.error(), ENOSPC);
            QVERIFY(!output.write("x"));
            QVERIFY(!output.flush());
        }
        ::close(full);

        int ends[2];
        QVERIFY(::pipe(ends) == 0);
        ::close(ends[0]);
        const auto previous = std::signal(SIGPIPE, SIG_IGN);
        OutputBuffer output(ends[1]);
        const QByteArray large(OutputBuffer::kPieceBytes, 'p');
        QVERIFY(!output.write(std::string_view(large.constData(), std::size_t(large.size()))));
        std::signal(SIGPIPE, previous);
        ::close(ends[1]);
        QCOMPARE(output.error(), EPIPE);
    }

    // The caseless search asks only the first two planes for their cases;
    // the Qt it runs with must give none to a character beyond them.
    void findsNoCaseBeyondTheSecondPlane()
    {
        for (char32_t character = kLastCharacterWithCase + 1; character <= 0x10FFFF; ++character) {
            if (QChar::toLower(character) != character || QChar::toUpper(character) != character)
                QFAIL(qPrintable(u"U+%1 has a case"_s.arg(quint32(character), 0, 16)));
        }
    }

    void drawsNothingFromAnEmptyCollection()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), "");
        writeFile(dir.filePath(u"subjects.txt"_s), "");
        const DrawResult result = drawQuotation(dir.filePath(u"authors.txt"_s), dir.filePath(u"subjects.txt"_s), {}, 1);
        QVERIFY(!result.failure);
        QVERIFY(!result.drawn);
    }
};

QTEST_GUILESS_MAIN(TerminalTest)
#include "tst_terminal.moc"
