#include "results/results_table.h"

#include <QSignalSpy>
#include <QtTest>

class TestResultsTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyTableHasHeaderAndOneEmptyRow()
    {
        ResultsTable t;
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(t.row(0), ResultsTable::defaultHeaders());
        QVERIFY(!t.holdsResults());
    }
    void deletingTheOnlyRowEmptiesIt()
    {
        ResultsTable t;
        t.setCell(0, 1, QStringLiteral("7"));
        QVERIFY(t.holdsResults());
        t.deleteRow(1);
        QCOMPARE(t.rowCount(), 2);
        QVERIFY(!t.holdsResults());
    }
    void blankTest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("holds");
        QTest::newRow("blanks only") << QStringLiteral("   ") << false;
        QTest::newRow("control characters only") << QStringLiteral("\t\r\n") << false;
        QTest::newRow("one letter") << QStringLiteral(" a ") << true;
    }
    void blankTest()
    {
        QFETCH(QString, text);
        QFETCH(bool, holds);
        ResultsTable t;
        t.setCell(3, 1, text);
        QCOMPARE(t.holdsResults(), holds);
    }
    void groupedChangesSignalOnce()
    {
        ResultsTable t;
        QSignalSpy spy(&t, &ResultsTable::changed);
        t.beginUpdate();
        t.appendRow({QStringLiteral("1")});
        t.appendRow({QStringLiteral("2")});
        t.setCell(1, 2, QStringLiteral("x"));
        QCOMPARE(spy.count(), 0);
        t.endUpdate();
        QCOMPARE(spy.count(), 1);
    }
    void reorderKeepsTrackedRow()
    {
        ResultsTable t;
        t.setRow(1, {QStringLiteral("a")});
        t.appendRow({QStringLiteral("b")});
        t.appendRow({QStringLiteral("c")});
        t.setCurrentRow(2);
        t.setTrackedRow(3);
        t.reorder({3, 1, 2});
        QCOMPARE(t.cell(0, 1), QStringLiteral("c"));
        QCOMPARE(t.trackedRow(), 1);
        // The current row follows its competitor as well ("b" moved from 2 to 3), so a
        // view that restores it after the change shows the same competitor selected.
        QCOMPARE(t.currentRow(), 3);
    }
    void changesAreAnnouncedOnceBeforeTheyStart()
    {
        ResultsTable t;
        t.setRow(1, {QStringLiteral("a")});
        QStringList seen;
        connect(&t, &ResultsTable::aboutToChange, this, [&] { seen << t.cell(0, 1); });
        t.setCell(0, 1, QStringLiteral("b"));
        QCOMPARE(seen, QStringList{"a"}); // announced while the table was as it was
        t.setCell(0, 1, QStringLiteral("b"));
        QCOMPARE(seen.size(), 1); // no change, no announcement
        t.beginUpdate();
        t.appendRow({QStringLiteral("c")});
        t.setCell(0, 1, QStringLiteral("d"));
        t.endUpdate();
        QCOMPARE(seen, QStringList({"a", "b"})); // a group is announced once, at its start
        t.clear();
        QCOMPARE(seen.size(), 3);
        t.setCurrentRow(1);
        QCOMPARE(seen.size(), 3); // selecting is no change
    }
};

QTEST_GUILESS_MAIN(TestResultsTable)
#include "tst_results_table.moc"
