// EINTRAGEN into a table of 2 000 rows, including ranking, the view's update and
// its repaint, main window shown offscreen.
#include "app/FMain.h"
#include "fake_clock_parts.h"
#include "results/results_table.h"
#include "test_deps.h"

#include <QComboBox>
#include <QtTest>

class BenchMainEnter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void enterInto2000Rows()
    {
        FakeTickSource ticks(1000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ResultsTable& t = w.resultsTable();
        t.beginUpdate();
        for (int i = 1; i <= 2000; ++i) {
            const QStringList row{QString::number(i), QStringLiteral("Fahrer %1").arg(i), QString(), QString(),
                                  QString(), QString::number(i % 7), QStringLiteral("0,00"),
                                  QStringLiteral("%1,%2").arg(30 + i % 60).arg(i % 100, 2, 10, QLatin1Char('0')),
                                  QStringLiteral("0"), QString::number(i % 7), QString()};
            if (i == 1)
                t.setRow(1, row);
            else
                t.appendRow(row);
        }
        t.endUpdate();
        w.RankResults();
        auto* stNr = w.control<QComboBox>(QStringLiteral("cbStNr"));
        int n = 0;
        w.sequence().mStartClick();
        ticks.advance(61234);
        w.sequence().mStopClick();
        ticks.advance(40000);
        w.sequence().mStopClick();
        QWidget* grid = w.control<QWidget>(QStringLiteral("SortGrid1"));
        // EINTRAGEN takes the fields and times as they stand, so it can repeat.
        QBENCHMARK {
            stNr->setEditText(QString::number(1000 + (n++ % 50))); // replaces a row in the middle
            w.sequence().mEintragenClick();
            grid->repaint();
        }
    }
};

QTEST_MAIN(BenchMainEnter)
#include "bench_main_enter.moc"
