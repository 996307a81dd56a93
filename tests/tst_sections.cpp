// SPDX-License-Identifier: MIT
// Showing the quotations of one author or subject.
#include "PhraseSearch.h"
#include "SectionDisplay.h"
#include "TestSupport.h"

#include <QTest>

using namespace sayvane;
using test::ProgramFolder;

namespace {

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
    void showsTheQuoteLinesOfTheSection_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("sample sections, Courage")
            << test::kSampleSections << "Courage" << appended({"Courage quotation one.", ""});
        QTest::newRow("sample sections, two leading spaces")
            << test::kSampleSections << "##Hope" << appended({"Hope quotation one."});
        QTest::newRow("sample sections, space in name")
            << test::kSampleSections << " Patience" << appended({"Patience quotation one."});
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
        for (std::size_t blockSize : test::kBlockSizes) {
            const ShownQuotes shown =
                test::sectionQuotesOf(folder.subjects(), QStringView(name), {.blockSize = blockSize});
            QVERIFY(!shown.failure);
            QCOMPARE(shown.text, text);
            QCOMPARE(shown.found, !text.isEmpty());
        }
    }

    // A result longer than the limit of the shown text stops at the last
    // whole line that fits, and says why.
    void bothStopAtTheShownTextLimit_data()
    {
        QTest::addColumn<bool>("search");
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cut");
        const QString both = QStringLiteral("\r\nwisdom1\r\n\r\nwisdom2\r\n");
        for (bool search : {false, true}) {
            const char *operation = search ? "search" : "section";
            QTest::addRow("%s: fits exactly", operation) << search << qsizetype(22) << both << false;
            QTest::addRow("%s: one character short", operation)
                << search << qsizetype(21) << QStringLiteral("\r\nwisdom1\r\n") << true;
            QTest::addRow("%s: not even the first line", operation) << search << qsizetype(10) << QString() << true;
        }
    }

    void bothStopAtTheShownTextLimit()
    {
        QFETCH(bool, search);
        QFETCH(qsizetype, limit);
        QFETCH(QString, text);
        QFETCH(bool, cut);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), test::crlfLines({"##A", "wisdom1", "wisdom2", "##B", "folly"}));
        for (std::size_t blockSize : test::kBlockSizes) {
            const ReadSettings settings{.blockSize = blockSize};
            const ShownQuotes shown = search ? searchQuotes(folder.authors(), u"wisdom", settings, limit)
                                             : sectionQuotes(folder.authors(), "A", settings, limit);
            QVERIFY(!shown.failure);
            QCOMPARE(shown.text, text);
            QCOMPARE(shown.cut, cut ? ShownCut::AtLimit : ShownCut::None);
            QCOMPARE(shown.found, !text.isEmpty());
        }
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
            const ShownQuotes section = test::sectionQuotesOf(path, QStringView(u"Plato"));
            const ShownQuotes search = searchQuotes(path, u"wonder");
            const bool reported = section.failure && search.failure && section.failure->path == path &&
                                  section.failure->reason.contains(QStringLiteral("ermission")) &&
                                  search.failure->reason.contains(QStringLiteral("ermission"));
            return reported && section.text.isEmpty() && search.text.isEmpty() ? 0 : 1;
        });
        QCOMPARE(result, 0);
    }
};

QTEST_GUILESS_MAIN(SectionsTest)
#include "tst_sections.moc"
