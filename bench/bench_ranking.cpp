#include "results/enter_result.h"
#include "results/ranking.h"
#include "results/results_table.h"
#include "results/run_time_text.h"
#include "results/sort_order.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <ctime>
#include <vector>

// Ranking and entering on large tables. The *Median functions print the
// median of 21 runs, as wall time and as the thread's CPU time (the latter is
// steadier on a loaded machine); the others are Qt Test benchmarks.
class BenchRanking : public QObject {
    Q_OBJECT
private:
    const QLocale m_locale{QLocale::German, QLocale::Germany};

    // A race of n rows in entry order: mixed totals with ties, two phases,
    // a few eliminated, retired and cleared rows.
    static void fillRace(ResultsTable& t, int n)
    {
        QRandomGenerator rng(4711);
        t.clear();
        t.setRowCount(n + 1);
        for (int r = 1; r <= n; ++r) {
            QStringList row = ResultsTable::emptyRow();
            row[0] = QString::number(r);
            row[1] = QStringLiteral("Fahrer %1").arg(rng.bounded(500));
            row[2] = QStringLiteral("Beifahrer");
            row[3] = QStringLiteral("Marke");
            row[4] = QString::number(1930 + rng.bounded(50));
            const int kind = rng.bounded(100);
            if (kind < 3) {
                row[5] = row[8] = QStringLiteral("-");
                row[6] = row[7] = row[9] = row[10] = QStringLiteral("EL");
            } else if (kind >= 5) { // 3 and 4: results cleared
                const int skill = rng.bounded(20);
                const double penalty = rng.bounded(8) * 0.5;
                row[5] = QString::number(skill);
                row[6] = FormatRunTime(50000 + rng.bounded(20) * 1000);
                row[7] = FormatRunTime(40000 + rng.bounded(40000));
                row[8] = QString::number(penalty).replace(QLatin1Char('.'), QLatin1Char(','));
                row[9] = QString::number(skill + penalty).replace(QLatin1Char('.'), QLatin1Char(','));
                if (kind < 8)
                    row[10] = QStringLiteral("AUS");
            }
            t.setRow(r, row);
        }
    }

    static QVector<int> shuffled(int n)
    {
        QVector<int> order(n);
        for (int i = 0; i < n; ++i)
            order[i] = i + 1;
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::global());
        return order;
    }

    static double threadCpuMs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    }

    template <typename Prepare, typename Work>
    static void printMedian(const char* what, Prepare prepare, Work work)
    {
        std::vector<double> wall;
        std::vector<double> cpu;
        for (int i = 0; i < 21; ++i) {
            prepare();
            QElapsedTimer timer;
            const double cpuStart = threadCpuMs();
            timer.start();
            work();
            wall.push_back(double(timer.nsecsElapsed()) / 1e6);
            cpu.push_back(threadCpuMs() - cpuStart);
        }
        std::sort(wall.begin(), wall.end());
        std::sort(cpu.begin(), cpu.end());
        qInfo("%s: median %.2f ms wall, %.2f ms CPU (21 runs)", what, wall[10], cpu[10]);
    }

    static EntryFields entry()
    {
        EntryFields f;
        f.driver = QStringLiteral("Neu");
        f.skillPointsText = QStringLiteral("3");
        f.penaltyPointsText = QStringLiteral("1,5");
        return f;
    }

private Q_SLOTS:
    void rankResults10000Median()
    {
        ResultsTable t;
        fillRace(t, 10000);
        SortState s;
        const QString stNr = QStringLiteral("17");
        printMedian(
            "RankResults, 10000 rows in random order", [&] { t.reorder(shuffled(10000)); },
            [&] { RankResults(t, s, stNr, m_locale); });
        printMedian(
            "RankResults, 10000 rows already ranked", [] {}, [&] { RankResults(t, s, stNr, m_locale); });
    }

    void enterResult2000Median()
    {
        ResultsTable t;
        fillRace(t, 2000);
        SortState s;
        RankResults(t, s, QString(), m_locale);
        EntryFields f = entry();
        int run = 0;
        printMedian(
            "EnterResult, 2000 rows, replacing a row",
            [&] {
                f.stNrText = QString::number(1 + (run * 37) % 2000);
                f.runTime = 45000 + (run++ * 731) % 30000;
            },
            [&] { EnterResult(t, s, f, m_locale); });
        const QString fresh = QStringLiteral("neu");
        printMedian(
            "EnterResult, 2000 rows, appending a row",
            [&] {
                const int r = t.findRow(ResultsTable::StNr, fresh);
                if (r > 0)
                    t.deleteRow(r);
                f.stNrText = fresh;
            },
            [&] { EnterResult(t, s, f, m_locale); });
    }

    void rankResults10000()
    {
        ResultsTable t;
        fillRace(t, 10000);
        SortState s;
        QBENCHMARK
        {
            RankResults(t, s, QStringLiteral("17"), m_locale);
        }
    }

    void enterResult2000()
    {
        ResultsTable t;
        fillRace(t, 2000);
        SortState s;
        RankResults(t, s, QString(), m_locale);
        EntryFields f = entry();
        int run = 0;
        QBENCHMARK
        {
            f.stNrText = QString::number(1 + (run * 37) % 2000);
            f.runTime = 45000 + (run++ * 731) % 30000;
            EnterResult(t, s, f, m_locale);
        }
    }
};

QTEST_GUILESS_MAIN(BenchRanking)
#include "bench_ranking.moc"
