// SPDX-License-Identifier: MIT
// File names in any bytes: every byte value but '/', a byte-order mark,
// U+FFFE and characters beyond the Basic Multilingual Plane come back from
// text as the very bytes they were, reach the file system so, and read in
// a message as `ls -b` shows them.
#include "CollectionWriter.h"
#include "FileNames.h"

#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <unistd.h>

using namespace sayvane;
using namespace Qt::StringLiterals;

namespace {

// The names in the folder, as bytes.
QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *listing = ::opendir(folder.constData());
    while (const dirent *entry = listing ? ::readdir(listing) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    if (listing)
        ::closedir(listing);
    return names;
}

} // namespace

class FileNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown"); // in a message
        for (int byte = 1; byte <= 0xFF; ++byte) {
            if (byte == '/')
                continue;
            // A byte alone between two letters: ASCII is itself, and no byte
            // from 0x80 on is UTF-8 alone, so it shows as an octal escape.
            const QString shown = byte < 0x80 ? u"a"_s + QChar(byte) + u"z"_s
                                              : QStringLiteral("a\\%1z").arg(byte, 3, 8, QLatin1Char('0'));
            QTest::addRow("byte 0x%02X", byte) << (QByteArray("a") + char(byte) + "z") << shown;
        }
        QTest::newRow("a byte-order mark inside") << QByteArray("out\xEF\xBB\xBFx") << u"out\uFEFFx"_s;
        QTest::newRow("a byte-order mark first") << QByteArray("\xEF\xBB\xBF" "x") << u"\uFEFFx"_s;
        QTest::newRow("U+FFFE") << QByteArray("\xEF\xBF\xBE") << u"\uFFFE"_s;
        QTest::newRow("an emoji") << QByteArray("\xF0\x9F\x98\x80") << u"😀"_s;
        QTest::newRow("an emoji, then the byte 0xFF") << QByteArray("\xF0\x9F\x98\x80\xFF") << u"😀\\377"_s;
        // U+1F480 is D83D DC80 in UTF-16: its low half is the escape of 0x80.
        QTest::newRow("an astral character whose low half reads as an escape")
            << QByteArray("\xF0\x9F\x92\x80") << u"\U0001F480"_s;
        QTest::newRow("the last character") << QByteArray("\xF4\x8F\xBF\xBF") << QString::fromUcs4(U"\U0010FFFF");
        QTest::newRow("a surrogate spelt in UTF-8") << QByteArray("\xED\xA0\x80") << u"\\355\\240\\200"_s;
        QTest::newRow("a character cut short") << QByteArray("\xE2\x82z") << u"\\342\\202z"_s;
        QTest::newRow("Latin-1") << QByteArray("caf\xE9") << u"caf\\351"_s;
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9") << u"café"_s;
    }

    void roundTrips()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString name = fileNameFromBytes(bytes);
        QCOMPARE(fileNameBytes(name), bytes);
        QCOMPARE(readableFileName(name), shown);

        // The collection writer makes the folder of that very name.
        QTemporaryDir dir;
        const QString folder = fileNameFromBytes(QFile::encodeName(dir.path())) + u'/' + name;
        const auto nothing = [](PartSink &) { return std::optional<QString>(); };
        QVERIFY(!writeCollection(folder, {nothing, nothing, false}));
        QCOMPARE(namesIn(QFile::encodeName(dir.path())), QList<QByteArray>{bytes});
        const QByteArray made = QFile::encodeName(dir.path()) + '/' + bytes;
        QCOMPARE(::access((made + "/authors.txt").constData(), F_OK), 0);
        // Qt cannot name what it would remove; the system can.
        ::unlink((made + "/authors.txt").constData());
        ::unlink((made + "/subjects.txt").constData());
        ::rmdir(made.constData());
    }
};

QTEST_GUILESS_MAIN(FileNamesTest)
#include "tst_file_names.moc"
