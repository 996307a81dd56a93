// SPDX-License-Identifier: MIT
// Searching every quotation of the authors file for a phrase.
#include "PhraseSearch.h"
#include "TestSupport.h"

#include <QTest>

using namespace sayvane;
using namespace Qt::StringLiterals;
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
        QTest::newRow("beyond Windows-1252, in no line") << QString::fromUtf8("中文字") << QStringList{};
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

    // A line is found exactly when its text holds the phrase, whichever
    // encoding the line reads in; the bytes that spell the phrase in the
    // other encoding are no match.
    void findsThePhraseInTheTextOfEachEncoding_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("café in both encodings") << u"café"_s << QStringList{u"café noir"_s, u"au café crème"_s};
        QTest::newRow("Windows-1252 bytes of café in a UTF-8 line") << u"caf\u00E9\u20AC"_s << QStringList{};
        QTest::newRow("UTF-8 bytes of é in a Windows-1252 line") << u"cafÃ©"_s << QStringList{u"cafÃ© ÿ"_s};
        QTest::newRow("Cyrillic") << u"Толст"_s << QStringList{u"Лев Толстой"_s};
        QTest::newRow("an emoji and two letters") << u"😀ok"_s << QStringList{u"fine 😀ok"_s};
        QTest::newRow("ASCII in every line")
            << u"caf"_s << QStringList{u"café noir"_s, u"au café crème"_s, u"caf退"_s, u"cafÃ© ÿ"_s};
        QTest::newRow("a lone surrogate") << u"ab"_s + QChar(0xD800) << QStringList{};
    }

    void findsThePhraseInTheTextOfEachEncoding()
    {
        QFETCH(QString, phrase);
        QFETCH(QStringList, lines);
        ProgramFolder folder;
        // Windows-1252, UTF-8, UTF-8 (caf + U+9000, whose first byte is
        // the Windows-1252 é), Windows-1252 holding the UTF-8 bytes of é,
        // UTF-8, UTF-8.
        folder.write(u"authors.txt"_s, QByteArray("##A\ncaf\xE9 noir\nau caf\xC3\xA9 cr\xC3\xA8me\ncaf\xE9\x80\x80\n"
                                                  "caf\xC3\xA9 \xFF\n\xD0\x9B\xD0\xB5\xD0\xB2 \xD0\xA2\xD0\xBE\xD0\xBB"
                                                  "\xD1\x81\xD1\x82\xD0\xBE\xD0\xB9\nfine \xF0\x9F\x98\x80ok\n"));
        QString expected;
        for (const QString &line : lines)
            expected += u"\r\n"_s + line + u"\r\n"_s;
        for (std::size_t blockSize : test::kBlockSizes) {
            const ShownQuotes shown = searchQuotes(folder.authors(), phrase, {.blockSize = blockSize});
            QVERIFY(!shown.failure);
            QCOMPARE(shown.text, expected);
        }
    }

    // In a file of LF line ends a CR before a LF is part of the line end,
    // and any other CR a character.
    void matchesACarriageReturnOnlyWhereItIsACharacter()
    {
        ProgramFolder folder;
        folder.write(u"authors.txt"_s, QByteArray("abc\nxy\r\nxy\rz\n"));
        QCOMPARE(searchQuotes(folder.authors(), u"xy\r").text, u"\r\nxy\rz\r\n"_s);
        QCOMPARE(searchQuotes(folder.authors(), u"c\nx").text, QString());
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
