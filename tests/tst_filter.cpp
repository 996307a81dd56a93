// SPDX-License-Identifier: MIT
// Narrowing the name lists by a typed prefix, without regard to case.
#include "NameFilter.h"
#include "TestSupport.h"

#include <QTest>

using namespace sayvane;

namespace {

const QStringList kNames{"Einstein",
                         "EINSTEIN",
                         "ein",
                         " Eins",
                         "",
                         "Emerson",
                         "Ein stein",
                         "Einstein",
                         "Xein",
                         "Ei",
                         QString::fromUtf8("Émile Zola"),
                         "Ein  stein",
                         QString::fromUtf8("Štefan"),
                         QString::fromUtf8("štúr")};

QStringList filtered(const QStringList &names, const QString &filter)
{
    QStringList shown;
    for (int position : filterNames(test::nameArray(names), filter))
        shown.append(names[position]);
    return shown;
}

} // namespace

class FilterTest : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheNamesThatBeginWithTheFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty filter lists all") << "" << kNames;
        QTest::newRow("spaces only list all") << "   " << kNames;
        QTest::newRow("case ignored, own case shown")
            << "eIn" << QStringList{"Einstein", "EINSTEIN", "ein", "Ein stein", "Einstein", "Ein  stein"};
        QTest::newRow("spaces around are trimmed")
            << " ein " << QStringList{"Einstein", "EINSTEIN", "ein", "Ein stein", "Einstein", "Ein  stein"};
        QTest::newRow("inner space counts") << "ein s" << QStringList{"Ein stein"};
        QTest::newRow("two inner spaces") << "ein  s" << QStringList{"Ein  stein"};
        QTest::newRow("match inside a name is not listed") << "stein" << QStringList{};
        QTest::newRow("filter longer than a name") << "eins" << QStringList{"Einstein", "EINSTEIN", "Einstein"};
        QTest::newRow("name that is a prefix of the filter") << "eix" << QStringList{};
        QTest::newRow("accented letters ignore case")
            << QString::fromUtf8("éMI") << QStringList{QString::fromUtf8("Émile Zola")};
        QTest::newRow("tab is not trimmed") << "\tein" << QStringList{};
        QTest::newRow("duplicates each listed") << "einstein" << QStringList{"Einstein", "EINSTEIN", "Einstein"};
        QTest::newRow("letters of the 0x80 row ignore case")
            << QString::fromUtf8("šT") << QStringList{QString::fromUtf8("Štefan"), QString::fromUtf8("štúr")};
        QTest::newRow("a character no name can hold") << QString::fromUtf8("中") << QStringList{};
        QTest::newRow("a surrogate pair") << QString::fromUtf8("😀") << QStringList{};
    }

    void keepsTheNamesThatBeginWithTheFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, shown);
        QCOMPARE(filtered(kNames, filter), shown);
    }

    // A UTF-8 name shorter than the filter ends where it ends, although
    // the next name's bytes follow it in the array.
    void aShortUtf8NameEndsWhereItEnds()
    {
        NameArray names;
        for (const char *name : {"Зо", "я", "Зоя"})
            names.append(name);
        QCOMPARE(filterNames(names, QString::fromUtf8("зоя")), QList<int>{2});
    }

    void emptyNameArrayListsNothing()
    {
        QVERIFY(filterNames(NameArray(), u"").isEmpty());
        QVERIFY(filterNames(NameArray(), u"abc").isEmpty());
    }
};

QTEST_GUILESS_MAIN(FilterTest)
#include "tst_filter.moc"
