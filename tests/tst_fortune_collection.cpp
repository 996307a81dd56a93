// SPDX-License-Identifier: MIT
// The fortune files Debian ships (fortunes-min) imported into a collection
// and opened in the window: stable counts, known entries under their
// authors and subjects, and the window listing and showing them.
#include "FortuneImport.h"
#include "WindowTestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace sayvane;
using namespace Qt::StringLiterals;

namespace {

const QString kFortunes = u"/usr/share/games/fortunes"_s;

} // namespace

class FortuneCollectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpProgram();
        for (const char *name : {"fortunes", "literature", "riddles"}) {
            if (!QFileInfo::exists(kFortunes + u'/' + QLatin1String(name)))
                QFAIL("the fortunes-min package is not installed (tools/install-deps.sh test installs it)");
        }
    }

    void importsDebiansFortunes()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"fortunes"_s);
        const fortunes::ImportReport report = fortunes::importFortunes(
            folder, {kFortunes + u"/fortunes"_s, kFortunes + u"/literature"_s, kFortunes + u"/riddles"_s}, false);
        QVERIFY(!report.failure);
        QCOMPARE(report.quotations, 821);
        QCOMPARE(report.authors, 71);
        QCOMPARE(report.subjects, 3);
        QCOMPARE(report.unattributed, 566);
        QCOMPARE(report.emptyEntries, 0);

        test::ShownWindow shown;
        QVERIFY(shown.openOn(folder));
        const Controls &c = shown.controls();
        const QStringList authors = test::rowsOf(c.AuthorList);
        QCOMPARE(authors.size(), 71);
        for (const char *name : {"Mark Twain", "Oscar Wilde", "J. R. R. Tolkien", "Unattributed"})
            QVERIFY2(authors.contains(QString::fromUtf8(name)), name);
        QCOMPARE(test::rowsOf(c.SubjectList), (QStringList{"fortunes", "literature", "riddles"}));

        // Mark Twain's banker, under his name and under literature.
        const QString banker = u"A banker is a fellow who lends you his umbrella when the sun is shining / and "
                               "wants it back the minute it begins to rain. — Mark Twain"_s;
        test::clickRow(c.AuthorList, int(authors.indexOf(u"Mark Twain"_s)));
        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QVERIFY(c.txtQuotes->toPlainText().contains(u"\r\n"_s + banker + u"\r\n"_s));
        test::clickRow(c.SubjectList, 1);
        QTest::mouseClick(c.cmdShowSubject, Qt::LeftButton);
        QVERIFY(c.txtQuotes->toPlainText().contains(u"\r\n"_s + banker + u"\r\n"_s));
        // A search finds an entry without an attribution.
        c.txtSearch->setText(u"Abandon the search for Truth"_s);
        QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText(), u"\r\nAbandon the search for Truth; settle for a good fantasy.\r\n"_s);
        QVERIFY(shown.record.messages.size() == 1 && shown.record.messages[0].text == u"Searching Done !"_s);
    }
};

QTEST_MAIN(FortuneCollectionTest)
#include "tst_fortune_collection.moc"
