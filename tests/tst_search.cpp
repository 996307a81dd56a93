// SPDX-License-Identifier: MIT
// Searching every quotation of the authors file for a phrase.
#include "PhraseSearch.h"
#include "TestSupport.h"

#include <QTest>

using namespace sayvane;
using test::ProgramFolder;

class SearchTest : public QObject
{
    Q_OBJECT

private slots:
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
        QTest::newRow("a and an emoji are two characters") << QString::fromUtf8("a😀") << "";
        QTest::newRow("two emoji and a letter are three") << QString::fromUtf8("😀😀a") << QString::fromUtf8("😀😀a");
        QTest::newRow("40,000 characters") << QString(40'000, u'w') << QString(40'000, u'w');
    }

    void tooShortMessageNamesTheLimit()
    {
        QCOMPARE(phraseTooShortMessage(), QStringLiteral("Please enter a word greater than 2 letters !"));
    }

    void needsThreeCharactersAfterTrimming()
    {
        QFETCH(QString, typed);
        QFETCH(QString, phrase);
        const std::optional<QStringView> searched = searchPhrase(typed);
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
        folder.write(QStringLiteral("authors.txt"), test::kSearchAuthors);
        QString expected;
        for (const QString &line : lines)
            expected += QStringLiteral("\r\n") + line + QStringLiteral("\r\n");
        for (std::size_t blockSize : test::kBlockSizes) {
            const ShownQuotes shown = searchQuotes(folder.authors(), phrase, {.blockSize = blockSize});
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
        const ShownQuotes shown = searchQuotes(folder.dataFile(QStringLiteral("authors.txt")), u"\nxyz");
        QCOMPARE(shown.text, QStringLiteral("\r\nq\nxyz\r\n"));
    }
};

QTEST_GUILESS_MAIN(SearchTest)
#include "tst_search.moc"
