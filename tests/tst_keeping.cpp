// SPDX-License-Identifier: MIT
// Keeping a collection: a quotation added where the window shows it, each
// file keeping its own form and every other byte, read back through the
// reader; and the check that finds what hides quotations.
#include "AddQuotation.h"
#include "CollectionCheck.h"
#include "HeadingLoader.h"
#include "LibraryTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sayvane;
using namespace sayvane::keeping;
using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

namespace {

// The shown lines of the section a name heads, as the window shows them.
QStringList sectionLines(const QString &path, const QString &name)
{
    return test::sectionQuotesOf(path, name).text.split(u"\r\n"_s, Qt::SkipEmptyParts);
}

} // namespace

class KeepingTest : public QObject
{
    Q_OBJECT

private slots:
    // One file before and after adding TEXT under NAME: the whole bytes,
    // so that every byte outside the added lines is seen unchanged, and
    // the section the window shows for NAME ends with the text.
    void addsWhereTheWindowShowsIt_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("shownAs"); // the name the window lists

        QTest::newRow("classic Windows-1252 CR LF, into the first section")
            << QByteArray("##Seneca\r\nLife is long.\r\n##Plato\r\nWonder.\r\n") << "Seneca" << "Café crème"
            << QByteArray("##Seneca\r\nLife is long.\r\nCaf\xE9 cr\xE8me\r\n##Plato\r\nWonder.\r\n") << 3 << "Seneca";
        QTest::newRow("UTF-8 LF, into the last section")
            << QByteArray("##Seneca\nA\n##Plato\nB\n") << "Plato" << "Café"
            << QByteArray("##Seneca\nA\n##Plato\nB\nCaf\xC3\xA9\n") << 5 << "Plato";
        QTest::newRow("a byte-order mark and CR LF")
            << QByteArray("\xEF\xBB\xBF##Sokrates\r\nI know nothing.\r\n") << "Sokrates" << "Know thyself."
            << QByteArray("\xEF\xBB\xBF##Sokrates\r\nI know nothing.\r\nKnow thyself.\r\n") << 3 << "Sokrates";
        QTest::newRow("classic, without a last line end")
            << QByteArray("##A\r\nq") << "A" << "New." << QByteArray("##A\r\nq\r\nNew.\r\n") << 3 << "A";
        QTest::newRow("LF, without a last line end")
            << QByteArray("##A\nq") << "A" << "New." << QByteArray("##A\nq\nNew.\n") << 3 << "A";
        QTest::newRow("classic, ending in a lone LF, which ends no line")
            << QByteArray("##A\r\nq\n") << "A" << "New." << QByteArray("##A\r\nq\n\r\nNew.\r\n") << 3 << "A";
        QTest::newRow("a name without a heading")
            << QByteArray("##A\nq\n") << "B" << "New." << QByteArray("##A\nq\n##B\nNew.\n") << 4 << "B";
        QTest::newRow("a name without a heading, classic")
            << QByteArray("##A\r\nq\r\n") << "Café" << "New."
            << QByteArray("##A\r\nq\r\n##Caf\xE9\r\nNew.\r\n") << 4 << "Café";
        QTest::newRow("a name with a later section: into the first")
            << QByteArray("##A\r\n1\r\n##B\r\n2\r\n##A\r\n3\r\n") << "A" << "New."
            << QByteArray("##A\r\n1\r\nNew.\r\n##B\r\n2\r\n##A\r\n3\r\n") << 3 << "A";
        QTest::newRow("sections of the name one after another: after the last of them")
            << QByteArray("##A\n1\n##A\n2\n##B\n") << "A" << "New." << QByteArray("##A\n1\n##A\n2\nNew.\n##B\n") << 5
            << "A";
        QTest::newRow("Cyrillic into a classic file is UTF-8")
            << QByteArray("##A\r\nq\r\n") << "A" << "Пётр"
            << QByteArray("##A\r\nq\r\n\xD0\x9F\xD1\x91\xD1\x82\xD1\x80\r\n") << 3 << "A";
        QTest::newRow("Windows-1252 bytes that would read as UTF-8 are written UTF-8")
            << QByteArray("##A\r\nq\r\n") << "A" << "Ã©" << QByteArray("##A\r\nq\r\n\xC3\x83\xC2\xA9\r\n") << 3 << "A";
        QTest::newRow("a heading spelt in Windows-1252 takes a name typed in UTF-8")
            << QByteArray("##Caf\xE9\r\nq\r\n") << "Café" << "New." << QByteArray("##Caf\xE9\r\nq\r\nNew.\r\n") << 3
            << "Café";
        QTest::newRow("text like a heading stays a quotation")
            << QByteArray("##A\nq\n") << "A" << "## Not a heading"
            << QByteArray("##A\nq\n\xE2\x80\x8B## Not a heading\n") << 3 << "A";
        QTest::newRow("text and name trimmed of spaces")
            << QByteArray("##Seneca\nq\n") << "  Seneca " << "  Time flies.  "
            << QByteArray("##Seneca\nq\nTime flies.\n") << 3 << "Seneca";
        QTest::newRow("an empty file") << QByteArray("") << "A" << "New." << QByteArray("##A\nNew.\n") << 2 << "A";
        QTest::newRow("a lone LF in a classic line stays a character")
            << QByteArray("##A\r\nq\n##B\r\n##C\r\nr\r\n") << "B" << "New."
            << QByteArray("##A\r\nq\n##B\r\n##C\r\nr\r\n##B\r\nNew.\r\n") << 6 << "B";
    }

    void addsWhereTheWindowShowsIt()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QByteArray, after);
        QFETCH(int, line);
        QFETCH(QString, shownAs);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), before);
        writeFile(dir.filePath(u"subjects.txt"_s), "##S\r\nq\r\n");
        const AddResult result = addQuotation(dir.path(), {text, name, std::nullopt});
        QVERIFY2(!result.failure, qPrintable(result.failure.value_or(QString())));
        QCOMPARE(readFile(dir.filePath(u"authors.txt"_s)), after);
        QCOMPARE(readFile(dir.filePath(u"subjects.txt"_s)), QByteArray("##S\r\nq\r\n"));
        QCOMPARE(result.added.size(), 1);
        QCOMPARE(result.added[0].line, line);
        QVERIFY(test::namesOf(loadHeadingNames(dir.filePath(u"authors.txt"_s)).names).contains(shownAs));
        const QStringList shown = sectionLines(dir.filePath(u"authors.txt"_s), shownAs);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(QString(shown.back()).remove(QChar(0x200B)), text.trimmed());
    }

    // What a folder's files become: both made new in an empty folder, the
    // missing one of two made, a link written through, and what the
    // command prints.
    void addsToTheFolder()
    {
        QTemporaryDir dir;
        const QString empty = dir.filePath(u"new/collection"_s);
        AddResult result = addQuotation(empty, {u"Life speeds by."_s, u"Seneca"_s, u"Time"_s});
        QVERIFY(!result.failure);
        QCOMPARE(readFile(empty + u"/authors.txt"_s), QByteArray("##Seneca\nLife speeds by.\n"));
        QCOMPARE(readFile(empty + u"/subjects.txt"_s), QByteArray("##Time\nLife speeds by.\n"));
        QCOMPARE(addedText(result), u"Added to authors.txt under the new heading \"Seneca\" (line 2) and to "
                                    "subjects.txt under the new heading \"Time\" (line 2)\n"_s);
        result = addQuotation(empty, {u"Luck."_s, u"Seneca"_s, u"Time"_s});
        QCOMPARE(addedText(result),
                 u"Added to authors.txt under \"Seneca\" (line 3) and to subjects.txt under \"Time\" (line 3)\n"_s);

        // An author alone into a folder without subjects.txt: it is made
        // empty, so that the window can open the collection.
        const QString half = dir.filePath(u"half"_s);
        QDir().mkpath(half);
        writeFile(half + u"/authors.txt"_s, "##A\r\nq\r\n");
        QVERIFY(!addQuotation(half, {u"New."_s, u"A"_s, std::nullopt}).failure);
        QCOMPARE(readFile(half + u"/authors.txt"_s), QByteArray("##A\r\nq\r\nNew.\r\n"));
        QCOMPARE(readFile(half + u"/subjects.txt"_s), QByteArray(""));

        // A data file that is a link: the link stays, its target changes.
        const QString linked = dir.filePath(u"linked"_s);
        QDir().mkpath(linked);
        writeFile(dir.filePath(u"real-authors"_s), "##A\nq\n");
        QVERIFY(QFile::link(dir.filePath(u"real-authors"_s), linked + u"/authors.txt"_s));
        writeFile(linked + u"/subjects.txt"_s, "##S\nq\n");
        QVERIFY(!addQuotation(linked, {u"New."_s, u"A"_s, u"S"_s}).failure);
        QVERIFY(QFileInfo(linked + u"/authors.txt"_s).isSymLink());
        QCOMPARE(readFile(dir.filePath(u"real-authors"_s)), QByteArray("##A\nq\nNew.\n"));
        QCOMPARE(readFile(linked + u"/subjects.txt"_s), QByteArray("##S\nq\nNew.\n"));
    }

    // A file its user may not write is not replaced, nor is the other one.
    void leavesAReadOnlyFileAlone()
    {
        QTemporaryDir dir;
        ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
        writeFile(dir.filePath(u"authors.txt"_s), "##A\nq\n");
        writeFile(dir.filePath(u"subjects.txt"_s), "##S\nq\n");
        ::chmod(QFile::encodeName(dir.filePath(u"authors.txt"_s)).constData(), 0444);
        ::chmod(QFile::encodeName(dir.filePath(u"subjects.txt"_s)).constData(), 0666);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                _exit(2);
            const AddResult result = addQuotation(dir.path(), {u"New."_s, u"A"_s, u"S"_s});
            _exit(result.failure == dir.filePath(u"authors.txt: Permission denied"_s) ? 0 : 1);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(readFile(dir.filePath(u"authors.txt"_s)), QByteArray("##A\nq\n"));
        QCOMPARE(readFile(dir.filePath(u"subjects.txt"_s)), QByteArray("##S\nq\n"));
    }

    void refusesWhatIsNoLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("empty text") << "   " << "A" << "the quotation is empty";
        QTest::newRow("empty name") << "Q." << " " << "the author's name is empty";
        const QString lineEnd = u"holds a line end (CR, LF, U+2028 or U+2029); it must be one line"_s;
        QTest::newRow("a LF in the text") << "a\nb" << "A" << u"the quotation "_s + lineEnd;
        QTest::newRow("a CR in the text") << "a\rb" << "A" << u"the quotation "_s + lineEnd;
        QTest::newRow("U+2028 in the name") << "Q." << u"A\u2028B"_s << u"the author's name "_s + lineEnd;
        QTest::newRow("U+2029 in the text") << u"a\u2029b"_s << "A" << u"the quotation "_s + lineEnd;
    }

    void refusesWhatIsNoLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, author);
        QFETCH(QString, refusal);
        QCOMPARE(refusalOf({text, author, std::nullopt}).value_or(QString()), refusal);
    }

    // One crafted authors.txt a row (subjects.txt clean): the findings the
    // check reports for it, as printed.
    void findsWhatHidesQuotations_data()
    {
        QTest::addColumn<QByteArray>("authors");
        QTest::addColumn<QStringList>("findings"); // "LINE: what"
        QTest::newRow("a clean collection") << QByteArray("##A\r\nq\r\n##A\r\nr\r\n##B\r\n\r\n") << QStringList{};
        QTest::newRow("a later section of a name")
            << QByteArray("##Seneca\nq\n##Plato\nr\n##Seneca\ns\n  \nt\n##Seneca\nu\n##Plato\nv\n")
            << QStringList{u"5: a later section of \"Seneca\" (first at line 1): the window shows only the first "
                           "section of a name, so 3 quotations here are never shown; move them under the first"_s,
                           u"11: a later section of \"Plato\" (first at line 3): the window shows only the first "
                           "section of a name, so 1 quotation here is never shown; move it under the first"_s};
        QTest::newRow("one name in two encodings is one name")
            << QByteArray("##Caf\xE9\r\nq\r\n##B\r\n##Caf\xC3\xA9\r\nr\r\n")
            << QStringList{u"4: a later section of \"Café\" (first at line 1): the window shows only the first "
                           "section of a name, so 1 quotation here is never shown; move it under the first"_s};
        QTest::newRow("one name in two encodings, of characters of three UTF-8 bytes")
            << QByteArray("##\x80 \x93Quoted\x94\r\nq\r\n##B\r\n##\xE2\x82\xAC \xE2\x80\x9CQuoted\xE2\x80\x9D\r\nr\r\n")
            << QStringList{u"4: a later section of \"€ “Quoted”\" (first at line 1): the window shows only the "
                           "first section of a name, so 1 quotation here is never shown; move it under the first"_s};
        QTest::newRow("spaces at either end of a name")
            << QByteArray("## Seneca\nq\n##Plato \nr\n")
            << QStringList{u"1: the name \" Seneca\" begins with a space: typing its first letters in the filter "
                           "never finds it"_s,
                           u"3: the name \"Plato \" ends with a space: a name typed without it (as --add and "
                           "--random take one) is another name"_s};
        QTest::newRow("a heading glued by a lone LF in a classic file")
            << QByteArray("##A\r\nq\r\nr\n##Epictetus\nNo man is free.\n")
            << QStringList{u"3: a heading glued to the line before it by a lone LF, as `echo >>` leaves it in a "
                           "file of CR LF line ends: it reads as part of that line, so its name and quotations "
                           "are not shown as such"_s};
        QTest::newRow("findings in the order of their lines, whenever each is complete")
            << QByteArray("##A\r\n1\r\n##B\r\n##A\r\nq\n##X\r\nr\r\n##C\r\n")
            << QStringList{u"4: a later section of \"A\" (first at line 1): the window shows only the first section "
                           "of a name, so 2 quotations here are never shown; move them under the first"_s,
                           u"5: a heading glued to the line before it by a lone LF, as `echo >>` leaves it in a "
                           "file of CR LF line ends: it reads as part of that line, so its name and quotations "
                           "are not shown as such"_s};
        QTest::newRow("quotations before the first heading, then a glued heading")
            << QByteArray("q\r\nr\r\ns\n##Glued\r\nt\r\n##A\r\n")
            << QStringList{u"1: 4 quotations before the first heading stand under no name: only Search finds "
                           "them"_s,
                           u"3: a heading glued to the line before it by a lone LF, as `echo >>` leaves it in a "
                           "file of CR LF line ends: it reads as part of that line, so its name and quotations "
                           "are not shown as such"_s};
        QTest::newRow("quotations in a file without a heading")
            << QByteArray("q\n\nr\n")
            << QStringList{u"1: 2 quotations in a file without a heading stand under no name: only Search finds "
                           "them"_s};
        QByteArray spacedNames;
        QStringList spacedFindings;
        for (int name = 0; name < 300; ++name) {
            spacedNames += "## N" + QByteArray::number(name) + "\r\nq\r\n";
            spacedFindings += QString::number(2 * name + 1) + u": the name \" N"_s + QString::number(name) +
                              u"\" begins with a space: typing its first letters in the filter never finds it"_s;
        }
        QTest::newRow("300 findings, then a glued heading, in the order of their lines")
            << spacedNames + "x\n##Glued\r\n"
            << spacedFindings + QStringList{u"601: a heading glued to the line before it by a lone LF, as `echo >>` "
                                            "leaves it in a file of CR LF line ends: it reads as part of that "
                                            "line, so its name and quotations are not shown as such"_s};
        QTest::newRow("no glue in an LF file") << QByteArray("##A\nq\n##B\n") << QStringList{};
        QTest::newRow("quotations before the first heading")
            << QByteArray("\n  \nfirst\nsecond\n##A\nq\n")
            << QStringList{u"3: 2 quotations before the first heading stand under no name: only Search finds "
                           "them"_s};
        QTest::newRow("a hidden section of blank lines, spaces and marks")
            << QByteArray("##A\nq\n##B\nr\n##A\n\n   \n#tag\n x\n\n\nlast\n##C\n")
            << QStringList{u"5: a later section of \"A\" (first at line 1): the window shows only the first section "
                           "of a name, so 3 quotations here are never shown; move them under the first"_s};
        QTest::newRow("a thousand quotations before the first heading, after blank lines")
            << QByteArray("\n \n") + QByteArray("quotation\n").repeated(1000) + "##A\nq\n"
            << QStringList{u"3: 1,000 quotations before the first heading stand under no name: only Search finds "
                           "them"_s};
        QTest::newRow("one quotation between lines of spaces before the first heading")
            << QByteArray("\n \nq\n \n##A\nr\n")
            << QStringList{u"3: 1 quotation before the first heading stands under no name: only Search finds "
                           "them"_s};
        QTest::newRow("a heading without a name")
            << QByteArray("##A\nq\n##\nr\n##  \ns\n")
            << QStringList{u"3: a heading without a name: its quotations stand under an empty row"_s,
                           u"5: a heading without a name: its quotations stand under an empty row"_s};
    }

    // The same findings whether the file is read whole or in parts of any
    // size, on one thread or several: a section, its hidden quotations and
    // the quotations before the first heading all span parts.
    void findsWhatHidesQuotations()
    {
        QFETCH(QByteArray, authors);
        QFETCH(QStringList, findings);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), authors);
        writeFile(dir.filePath(u"subjects.txt"_s), "##S\nq\n");
        for (const PartSettings &parting : {PartSettings{0, 1}, PartSettings{1, 1}, PartSettings{5, 3},
                                            PartSettings{13, 2}}) {
            QStringList got;
            const CheckResult result = checkCollection(
                dir.path(),
                [&](const Finding &finding) {
                    QCOMPARE(finding.path, dir.filePath(u"authors.txt"_s));
                    got.append(QString::number(finding.line) + u": "_s + QString::fromUtf8(finding.what));
                },
                parting);
            QVERIFY(!result.failure);
            if (got != findings)
                qWarning() << "in parts of" << parting.partBytes << "bytes on" << parting.threads << "threads";
            QCOMPARE(got, findings);
            QCOMPARE(result.findings, findings.size());
            QCOMPARE(checkSummary(result).chopped(1),
                     findings.isEmpty()
                         ? u"No findings: every quotation of authors.txt and subjects.txt can be shown."_s
                         : QString::number(findings.size()) + (findings.size() == 1 ? u" finding"_s : u" findings"_s) +
                               u" in authors.txt and subjects.txt."_s);
        }
    }

    // Both files are read at once, the last parts of one beside the first
    // of the other: the findings of authors.txt still all come first, and
    // each file's in the order of their lines.
    void handsOnTheFindingsOfBothFilesInOrder()
    {
        QByteArray authors, subjects;
        QStringList expected;
        for (int name = 0; name < 50; ++name) {
            authors += "##N" + QByteArray::number(name) + " \nq\n";
            expected += u"authors.txt:"_s + QString::number(2 * name + 1) + u": the name \"N"_s +
                        QString::number(name) +
                        u" \" ends with a space: a name typed without it (as --add and --random take one) is "
                        "another name"_s;
        }
        for (int section = 0; section < 50; ++section)
            subjects += "##S" + QByteArray::number(section % 2) + "\r\nq\r\n";
        for (int section = 2; section < 50; ++section)
            expected += u"subjects.txt:"_s + QString::number(2 * section + 1) + u": a later section of \"S"_s +
                        QString::number(section % 2) + u"\" (first at line "_s + QString::number(section % 2 * 2 + 1) +
                        u"): the window shows only the first section of a name, so 1 quotation here is never "
                        "shown; move it under the first"_s;
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), authors);
        writeFile(dir.filePath(u"subjects.txt"_s), subjects);
        for (const PartSettings &parting : {PartSettings{0, 1}, PartSettings{1, 2}, PartSettings{7, 3},
                                            PartSettings{64, 2}}) {
            QStringList got;
            const CheckResult result = checkCollection(
                dir.path(),
                [&](const Finding &finding) {
                    got.append(QFileInfo(finding.path).fileName() + u':' + QString::number(finding.line) + u": "_s +
                               QString::fromUtf8(finding.what));
                },
                parting);
            QVERIFY(!result.failure);
            QCOMPARE(got, expected);
            QCOMPARE(result.findings, 98);
        }
    }

    // A table of names larger than a large page of memory: 200,000 names.
    void findsALaterSectionAmongManyNames()
    {
        QByteArray authors;
        for (int name = 0; name < 200'000; ++name)
            authors += "##N" + QByteArray::number(name) + "\r\nq\r\n";
        authors += "##N123456\r\nr\r\n";
        QTemporaryDir dir;
        writeFile(dir.filePath(u"authors.txt"_s), authors);
        writeFile(dir.filePath(u"subjects.txt"_s), "##S\nq\n");
        for (const PartSettings &parting : {PartSettings{0, 1}, PartSettings{100'000, 2}}) {
            QStringList got;
            const CheckResult result = checkCollection(
                dir.path(), [&](const Finding &finding) { got.append(QString::number(finding.line) + u": "_s + QString::fromUtf8(finding.what)); },
                parting);
            QVERIFY(!result.failure);
            QCOMPARE(got, QStringList{u"400001: a later section of \"N123456\" (first at line 246,913): the window "
                                      "shows only the first section of a name, so 1 quotation here is never shown; "
                                      "move it under the first"_s});
        }
    }

    // A line past the limit is a finding at its line; a missing file is
    // no finding but a collection that cannot be read.
    void reportsALineTooLongAndAMissingFile()
    {
        QTemporaryDir dir;
        // A line of 268,435,457 bytes, written a mebibyte at a time.
        QFile authors(dir.filePath(u"authors.txt"_s));
        QVERIFY(authors.open(QIODevice::WriteOnly));
        const QByteArray mebibyte(1024 * 1024, 'x');
        QVERIFY(authors.write("##A\nq\nx") == 7);
        for (int written = 0; written < 256; ++written)
            QVERIFY(authors.write(mebibyte) == mebibyte.size());
        authors.close();
        writeFile(dir.filePath(u"subjects.txt"_s), "##S\nq\n");
        QList<Finding> found;
        const CheckResult result = checkCollection(dir.path(), [&found](const Finding &finding) { found.append(finding); });
        QVERIFY(!result.failure);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].line, 3);
        QCOMPARE(QString::fromUtf8(found[0].what), u"a line is longer than 268,435,456 bytes, the most a line may be: the "
                                "window cannot open the collection"_s);
        QFile::remove(dir.filePath(u"subjects.txt"_s));
        QCOMPARE(checkCollection(dir.path(), [](const Finding &) {}).failure.value_or(QString()),
                 dir.filePath(u"subjects.txt: No such file or directory"_s));
    }
};

QTEST_GUILESS_MAIN(KeepingTest)
#include "tst_keeping.moc"
