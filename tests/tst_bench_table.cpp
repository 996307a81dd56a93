// SPDX-License-Identifier: MIT
// The benchmark's table: a figure that could not be measured is printed as
// such and counts as not met, whatever its target.
#include "BenchTable.h"

#include <QTest>

using namespace sayvane::bench;

Q_DECLARE_METATYPE(Row)

class BenchTableTest : public QObject
{
    Q_OBJECT

private slots:
    void reportsEachRow_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("notMet");
        QTest::newRow("measured and met") << Row{"search", 21.3, 51.9, "grep -F", "<= 0.6x", true}
                                          << "| search | 21.3 ms | grep -F: 51.9 ms | 0.41 | <= 0.6x | yes |" << 0;
        QTest::newRow("measured, not met") << Row{"filter keystroke", 20.0, std::nullopt, "", "< 16 ms", false}
                                           << "| filter keystroke | 20.0 ms | none |  | < 16 ms | NO |" << 1;
        QTest::newRow("a start that failed, though met says yes")
            << Row{"first frame, the sample", std::nullopt, 36.5, "empty window", "<= 1.1x", true}
            << "| first frame, the sample | not measured | empty window: 36.5 ms |  | <= 1.1x | not measured |" << 1;
        QTest::newRow("a reference that never ran")
            << Row{"start-up loading", 40.0, std::nullopt, "wc -l", "<= 1.0x", true}
            << "| start-up loading | 40.0 ms | wc -l: not measured |  | <= 1.0x | not measured |" << 1;
        QTest::newRow("a figure for comparison, whatever met says")
            << Row{"start and read alone", 31.4, 66.7, "grep -F", "", false}
            << "| start and read alone | 31.4 ms | grep -F: 66.7 ms | 0.47 |  | for comparison |" << 0;
        QTest::newRow("a figure for comparison that could not be measured")
            << Row{"start and read alone", std::nullopt, 66.7, "grep -F", "", true}
            << "| start and read alone | not measured | grep -F: 66.7 ms |  |  | not measured |" << 1;
        QTest::newRow("memory in MB, not measured")
            << Row{"resident memory at the first frame", std::nullopt, std::nullopt, "empty window", "< +5 MB", true}
            << "| resident memory at the first frame | not measured | empty window: not measured |  | < +5 MB | not "
               "measured |"
            << 1;
    }

    void reportsEachRow()
    {
        QFETCH(Row, row);
        QFETCH(QString, line);
        QFETCH(int, notMet);
        QCOMPARE(QString::fromStdString(tableLine(row)), line);
        QCOMPARE(rowsNotMet({row}), notMet);
        QCOMPARE(measured(row), !line.endsWith(QStringLiteral("| not measured |")));
    }

    void countsEveryRowNotMet()
    {
        const std::vector<Row> rows{{"a", 1.0, std::nullopt, "", "< 2 ms", true},
                                    {"b", std::nullopt, std::nullopt, "", "< 2 ms", true},
                                    {"c", 3.0, std::nullopt, "", "< 2 ms", false}};
        QCOMPARE(rowsNotMet(rows), 2);
        QVERIFY(QString::fromStdString(table(rows)).startsWith(QStringLiteral("| Operation | Sayvane |")));
    }
};

QTEST_GUILESS_MAIN(BenchTableTest)
#include "tst_bench_table.moc"
