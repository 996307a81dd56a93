// Searching every quotation of the authors file for a phrase.
#include "PhraseSearch.h"
#include "TestSupport.h"
#include "frmMain.h"

#include <QLineEdit>
#include "QuotesView.h"
#include <QPushButton>
#include <QTest>

using namespace sayvane;
using test::ProgramFolder;
using test::SeamRecord;

namespace {

const QByteArray kAuthors = test::crlfLines({
    "Loose Wisdom before any heading",
    "##Plato",
    "Wisdom begins in wonder.",
    "  Indented wisdom line",
    "##Seneca wisdom",
    "wisdom, wisdom and more wisdom",
    "No match here.",
    "  ##Heading wisdom too",
    "##Twain",
    "Get your facts first.",
    "A tab\tinside",
});

const QString kDone = QStringLiteral("Searching Done !");
const QString kNothing = QStringLiteral("Sorry ! No result was found.");
const QString kTooShort = QStringLiteral("Please enter a word greater than 2 letters !");

} // namespace

class SearchTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramStyle(); }

    void needsThreeCharactersAfterTrimming_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("phrase"); // empty: too short
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("two letters") << "ab"
                                     << "";
        QTest::newRow("two letters in spaces") << "  ab  "
                                               << "";
        QTest::newRow("two letters and a tab") << "ab\t"
                                               << "ab\t";
        QTest::newRow("three letters in spaces") << "  abc "
                                                 << "abc";
        QTest::newRow("inner space kept") << " a b "
                                          << "a b";
    }

    void needsThreeCharactersAfterTrimming()
    {
        QFETCH(QString, typed);
        QFETCH(QString, phrase);
        const std::optional<QStringView> searched = SearchPhrase(typed);
        QCOMPARE(searched.has_value(), !phrase.isEmpty());
        if (searched)
            QCOMPARE(searched->toString(), phrase);
    }

    void findsEveryQuoteLineThatHoldsThePhrase_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("lower case only") << "wisdom"
                                         << QStringList{"  Indented wisdom line", "wisdom, wisdom and more wisdom"};
        QTest::newRow("capital before the first heading")
            << "Wisdom" << QStringList{"Loose Wisdom before any heading", "Wisdom begins in wonder."};
        QTest::newRow("only in a heading") << "Seneca" << QStringList{};
        QTest::newRow("inner space") << "s f" << QStringList{"Get your facts first."};
        QTest::newRow("tab inside") << "b\ti" << QStringList{"A tab\tinside"};
        QTest::newRow("spans the end of a line") << "wonder.\r\n" << QStringList{};
        QTest::newRow("beyond Windows-1252") << QString::fromUtf8("中文字") << QStringList{};
        QTest::newRow("nowhere") << "zebra" << QStringList{};
    }

    void findsEveryQuoteLineThatHoldsThePhrase()
    {
        QFETCH(QString, phrase);
        QFETCH(QStringList, lines);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), kAuthors);
        QString expected;
        for (const QString &line : lines)
            expected += QStringLiteral("\r\n") + line + QStringLiteral("\r\n");
        for (std::size_t blockSize :
             {std::size_t(1), std::size_t(4), std::size_t(16), DataFileReader::kDefaultBlockSize}) {
            const ShownQuotes shown = SearchQuotes(folder.dataFile(QStringLiteral("authors.txt")), phrase, blockSize);
            QVERIFY(!shown.failure);
            QCOMPARE(shown.text, expected);
            QCOMPARE(shown.found, !lines.isEmpty());
        }
    }

    // A phrase beginning with LF must not match the LF of a CR LF pair.
    void neverMatchesATerminator()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), QByteArray("abc\r\nxyz\r\nq\nxyz\r\n"));
        const ShownQuotes shown = SearchQuotes(folder.dataFile(QStringLiteral("authors.txt")), u"\nxyz");
        QCOMPARE(shown.text, QStringLiteral("\r\nq\nxyz\r\n"));
    }

    void searchesThroughTheWindow_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::newRow("found") << " wonder "
                               << "\r\nWisdom begins in wonder.\r\n"
                               << kDone;
        QTest::newRow("two lines") << "wisdom"
                                   << "\r\n  Indented wisdom line\r\n\r\nwisdom, wisdom and more wisdom\r\n"
                                   << kDone;
        QTest::newRow("nothing found empties the area") << "zebra"
                                                        << "" << kNothing;
        QTest::newRow("subjects are not searched") << "Courage"
                                                   << "" << kNothing;
        QTest::newRow("too short keeps the area") << " ab "
                                                  << "before" << kTooShort;
        QTest::newRow("empty keeps the area") << ""
                                              << "before" << kTooShort;
    }

    void searchesThroughTheWindow()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        ProgramFolder folder;
        folder.writeBoth(kAuthors, "##Courage\r\nCourage is grace.\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.txtQuotes->setPlainText(QStringLiteral("before"));
        QTest::keyClicks(window.txtSearch, typed);
        QTest::mouseClick(window.cmdSearch, Qt::LeftButton);
        QCOMPARE(window.txtQuotes->toPlainText(), shown);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, message);
        QCOMPARE(record.messages[0].icon, MessageIcon::Information);
        QCOMPARE(record.messages[0].title, QStringLiteral("Sayvane"));
    }

    void reportsAnAuthorsFileGoneMissing()
    {
        ProgramFolder folder;
        folder.writeBoth(kAuthors, "##S\r\n");
        SeamRecord record;
        frmMain window(folder.path(), std::make_unique<test::RecordingSeam>(record));
        QVERIFY(window.Form_Load());
        window.txtQuotes->setPlainText(QStringLiteral("kept"));
        QVERIFY(QFile::remove(folder.dataFile(QStringLiteral("authors.txt"))));
        window.txtSearch->setText(QStringLiteral("wisdom"));
        QTest::mouseClick(window.cmdSearch, Qt::LeftButton);
        QCOMPARE(record.messages.size(), std::size_t(1));
        QVERIFY(record.messages[0].text.startsWith(QStringLiteral("Sorry ! The file could not be read:")));
        QCOMPARE(record.messages[0].icon, MessageIcon::Error);
        QCOMPARE(window.txtQuotes->toPlainText(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(SearchTest)
#include "tst_search.moc"
