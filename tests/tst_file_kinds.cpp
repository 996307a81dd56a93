// SPDX-License-Identifier: MIT
// Collections as editors write them: UTF-8 or Windows-1252 lines, LF or
// CR LF line ends, a byte-order mark, both encodings in one file. Every
// kind gives the same names, filter, section and search at every block
// size.
#include "HeadingLoader.h"
#include "NameFilter.h"
#include "PhraseSearch.h"
#include "TestSupport.h"
#include "Windows1252.h"

#include <QTest>

using namespace sayvane;
using namespace Qt::StringLiterals;
using test::ProgramFolder;

namespace {

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

QByteArray windows1252(const QString &text)
{
    return encodeWindows1252(text).value();
}

QByteArray joined(const QList<QByteArray> &lines, const QByteArray &end)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + end;
    return bytes;
}

QString shown(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += u"\r\n"_s + line + u"\r\n"_s;
    return text;
}

// Lines in Cyrillic, Greek and accented Latin, and an emoji.
const QStringList kWorldLines{
    u"##Лев Толстой"_s,
    u"Все счастливые семьи похожи друг на друга."_s,
    u"##Ἡράκλειτος"_s,
    u"Πάντα ῥεῖ."_s,
    u"##Antoine de Saint-Exupéry"_s,
    u"“On ne voit bien qu’avec le cœur.” 😀"_s,
    u"L’essentiel est invisible pour les yeux."_s,
};

// Lines that Windows-1252 holds.
const QStringList kWesternLines{
    u"##Émile Zola"_s,
    u"“La vérité est en marche.”"_s,
    u"##Søren"_s,
    u"Life is lived forwards – café."_s,
};

QList<QByteArray> encoded(const QStringList &lines, QByteArray (*encode)(const QString &))
{
    QList<QByteArray> bytes;
    for (const QString &line : lines)
        bytes.append(encode(line));
    return bytes;
}

} // namespace

class FileKindsTest : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryKindOfFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("filtered");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("sectionLines");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("found");
        const QStringList worldNames{u"Лев Толстой"_s, u"Ἡράκλειτος"_s, u"Antoine de Saint-Exupéry"_s};
        const QStringList westernNames{u"Émile Zola"_s, u"Søren"_s};
        const QList<QByteArray> world = encoded(kWorldLines, utf8);

        QTest::newRow("UTF-8, LF") << joined(world, "\n") << worldNames << u" лЕВ "_s << QStringList{u"Лев Толстой"_s}
                                   << u"Antoine de Saint-Exupéry"_s << kWorldLines.mid(5) << u"cœur.” 😀"_s
                                   << QStringList{kWorldLines[5]};
        QTest::newRow("UTF-8, CR LF") << joined(world, "\r\n") << worldNames << u"ἡρά"_s << QStringList{u"Ἡράκλειτος"_s}
                                      << u"Ἡράκλειτος"_s << QStringList{u"Πάντα ῥεῖ."_s} << u"ῥεῖ"_s
                                      << QStringList{u"Πάντα ῥεῖ."_s};
        QTest::newRow("UTF-8, byte-order mark, LF")
            << "\xEF\xBB\xBF" + joined(world, "\n") << worldNames << u"Л"_s << QStringList{u"Лев Толстой"_s}
            << u"Лев Толстой"_s << QStringList{kWorldLines[1]} << u"семьи"_s << QStringList{kWorldLines[1]};
        QTest::newRow("UTF-8, byte-order mark, CR LF")
            << "\xEF\xBB\xBF" + joined(world, "\r\n") << worldNames << u"antoine"_s
            << QStringList{u"Antoine de Saint-Exupéry"_s} << u"Лев Толстой"_s << QStringList{kWorldLines[1]}
            << u"essentiel"_s << QStringList{kWorldLines[6]};
        const QList<QByteArray> western = encoded(kWesternLines, windows1252);
        QTest::newRow("Windows-1252, LF")
            << joined(western, "\n") << westernNames << u"émi"_s << QStringList{u"Émile Zola"_s} << u"Søren"_s
            << kWesternLines.mid(3) << u"café"_s << kWesternLines.mid(3);
        QTest::newRow("Windows-1252, CR LF")
            << joined(western, "\r\n") << westernNames << u"SØ"_s << QStringList{u"Søren"_s} << u"Émile Zola"_s
            << kWesternLines.mid(1, 1) << u"vérité"_s << kWesternLines.mid(1, 1);

        // Lines of both encodings: the UTF-8 heading and the Windows-1252
        // heading of one name head one section.
        const QByteArray mixed =
            joined({utf8(u"##Émile Zola"_s), utf8(u"J’accuse…! café"_s), windows1252(u"##Émile Zola"_s),
                    windows1252(u"Café crème."_s), utf8(u"##Лев Толстой"_s), windows1252(u"Plain café."_s)},
                   "\n");
        QTest::newRow("both encodings in one file")
            << mixed << QStringList{u"Émile Zola"_s, u"Émile Zola"_s, u"Лев Толстой"_s} << u"éMI"_s
            << QStringList{u"Émile Zola"_s, u"Émile Zola"_s} << u"Émile Zola"_s
            << QStringList{u"J’accuse…! café"_s, u"Café crème."_s} << u"café"_s
            << QStringList{u"J’accuse…! café"_s, u"Plain café."_s};

        QTest::newRow("LF file, CR LF lines pasted in later")
            << QByteArray("##Seneca\nWhile we wait, life speeds by.\r\n##Epictetus\r\nNo man is free.\r\n")
            << QStringList{u"Seneca"_s, u"Epictetus"_s} << u"ep"_s << QStringList{u"Epictetus"_s} << u"Epictetus"_s
            << QStringList{u"No man is free."_s} << u"free"_s << QStringList{u"No man is free."_s};
        QTest::newRow("classic file with a lone LF")
            << QByteArray("##Seneca\r\nOne\nline.\r\n##Plato\r\nTwo.\r\n") << QStringList{u"Seneca"_s, u"Plato"_s}
            << u"s"_s << QStringList{u"Seneca"_s} << u"Seneca"_s << QStringList{u"One\nline."_s} << u"e\nl"_s
            << QStringList{u"One\nline."_s};
        const QString longNote = QString(5000, u'ж');
        QTest::newRow("first line end beyond the first block")
            << utf8(longNote) + "\n##Ἡράκλειτος\nΠάντα ῥεῖ.\n"
            << QStringList{u"Ἡράκλειτος"_s} << u"ἡ"_s << QStringList{u"Ἡράκλειτος"_s} << u"Ἡράκλειτος"_s
            << QStringList{u"Πάντα ῥεῖ."_s} << u"жжж"_s << QStringList{longNote};
    }

    void readsEveryKindOfFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, names);
        QFETCH(QString, filter);
        QFETCH(QStringList, filtered);
        QFETCH(QString, section);
        QFETCH(QStringList, sectionLines);
        QFETCH(QString, phrase);
        QFETCH(QStringList, found);
        ProgramFolder folder;
        folder.write(u"authors.txt"_s, bytes);
        for (const std::size_t blockSize : test::kBlockSizes) {
            const ReadSettings settings{.blockSize = blockSize};
            const LoadedNames loaded = loadHeadingNames(folder.authors(), settings);
            QVERIFY(!loaded.failure);
            QCOMPARE(test::namesOf(loaded.names), names);
            QStringList narrowed;
            for (const int position : filterNames(loaded.names, filter))
                narrowed.append(loaded.names.text(position));
            QCOMPARE(narrowed, filtered);
            const ShownQuotes quotes = test::sectionQuotesOf(folder.authors(), section, settings);
            QVERIFY(!quotes.failure);
            QCOMPARE(quotes.text, shown(sectionLines));
            const ShownQuotes searched = searchQuotes(folder.authors(), phrase, settings);
            QVERIFY(!searched.failure);
            QCOMPARE(searched.text, shown(found));
        }
    }
};

QTEST_GUILESS_MAIN(FileKindsTest)
#include "tst_file_kinds.moc"
