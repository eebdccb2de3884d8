// The spectator windows driven from the main window on a two-screen desk: which one shows
// where, how they hide, and what the time display and the top ten show during runs.
#include "main_window_rig.h"

#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"
#include "displays/Udigit.h"
#include "results/SortGrid.h"
#include "results/results_table.h"
#include "two_screens.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>

namespace {

// The first row of the time display, tens of minutes to hundredths, as six digits.
QString spectatorRow(const TFormMain& w)
{
    QString s;
    for (int d = 3; d <= 8; ++d)
        s.append(QString::number(w.timeDisplay()->digit(d, 1)->value()));
    return s;
}

QString secondSpectatorRow(const TFormMain& w)
{
    QString s;
    for (int d = 3; d <= 8; ++d)
        s.append(QString::number(w.timeDisplay()->digit(d, 2)->value()));
    return s;
}

void enterRun(TFormMain& w, MainRig& rig, const QString& stNr, const QString& driver, int p1, int p2)
{
    enterRunByKeys(w, rig, stNr, driver, quint32(p1), quint32(p2));
}

QStringList tableDrivers(TFormMain& w)
{
    QStringList c;
    for (int r = 1; r < w.resultsTable().rowCount(); ++r)
        c.append(w.resultsTable().cell(ResultsTable::Fahrer, r));
    return c;
}

QStringList topTenDrivers(const TFormMain& w, int count)
{
    QStringList c;
    for (int r = 1; r <= count; ++r)
        c.append(w.topTen()->grid()->cellText(r, 1));
    return c;
}

void clickHeader(TFormMain& w, int col, Qt::MouseButton button)
{
    QHeaderView* h = w.sortGrid()->horizontalHeader();
    const QPoint centre(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), button, Qt::NoModifier, centre);
}

QRect screenGeometry(int n)
{
    return QGuiApplication::screens().at(n)->geometry();
}

} // namespace

class TestMainScreens : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

    // A complete stored set first: the reading stops at the first missing value.
    static void storeWithDefaults(const char* key, const QVariant& value)
    {
        {
            MainRig rig;
            auto w = rig.make(false, false);
        }
        storeSetting(key, value);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
    }
    void init() { clearStoredSettings(); }

    void timeDisplayOnTheChosenScreen_data()
    {
        QTest::addColumn<int>("monitor");
        QTest::addColumn<bool>("escapeHides");
        QTest::newRow("second screen: Escape does nothing") << 1 << false;
        QTest::newRow("operator's screen: Escape hides") << 0 << true;
    }
    void timeDisplayOnTheChosenScreen()
    {
        QFETCH(int, monitor);
        QFETCH(bool, escapeHides);
        storeWithDefaults("Monitor", monitor);
        MainRig rig;
        auto w = rig.make();
        QCOMPARE(w->settings().monitor, monitor);
        QVERIFY(w->control<QToolButton>(QStringLiteral("bMon2"))->isEnabled());

        QTest::keyClick(w.get(), Qt::Key_2, Qt::AltModifier);
        TFormMonitor2* td = w->timeDisplay();
        QVERIFY(td->isVisible());
        QCOMPARE(td->geometry(), screenGeometry(monitor));
        QCOMPARE(td->screen(), QGuiApplication::screens().at(monitor));

        QTest::keyClick(td, Qt::Key_Escape);
        QCOMPARE(td->isVisible(), !escapeHides);
        if (escapeHides)
            return;
        // The main window kept the keyboard, so its Alt+0 reaches the hidden menu.
        QTest::keyClick(w.get(), Qt::Key_0, Qt::AltModifier);
        QVERIFY(!td->isVisible());
    }

    void spectatorWindowsReplaceEachOther()
    {
        storeWithDefaults("Monitor", 1);
        MainRig rig;
        auto w = rig.make();
        QTest::keyClick(w.get(), Qt::Key_2, Qt::AltModifier);
        QVERIFY(w->timeDisplay()->isVisible());

        QTest::keyClick(w.get(), Qt::Key_1, Qt::AltModifier);
        QVERIFY(w->topTen()->isVisible());
        QVERIFY(!w->timeDisplay()->isVisible());
        QCOMPARE(w->topTen()->geometry(), screenGeometry(1));

        QTest::keyClick(w.get(), Qt::Key_2, Qt::AltModifier);
        QVERIFY(w->timeDisplay()->isVisible());
        QVERIFY(!w->topTen()->isVisible());
        QCOMPARE(w->timeDisplay()->geometry(), screenGeometry(1));

        QTest::keyClick(w.get(), Qt::Key_1, Qt::AltModifier);
        QTest::keyClick(w.get(), Qt::Key_0, Qt::AltModifier);
        QVERIFY(!w->topTen()->isVisible());
        QVERIFY(!w->timeDisplay()->isVisible());
    }

    void onePhaseRunShowsTheFinalHundredths()
    {
        storeWithDefaults("Phases", 1);
        MainRig rig;
        auto w = rig.make();
        QCOMPARE(w->clock().settings().phases, 1);
        QTest::keyClick(w.get(), Qt::Key_F5);
        QVERIFY(w->clock().running());
        rig.ticks.advance(72345); // 1:12,34
        w->clock().ClockTimer();
        QCOMPARE(spectatorRow(*w), QStringLiteral("011200"));
        QTest::keyClick(w.get(), Qt::Key_F9);
        QVERIFY(!w->clock().running());
        QCOMPARE(spectatorRow(*w), QStringLiteral("011234"));
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(spectatorRow(*w), QStringLiteral("011234"));
        QCOMPARE(secondSpectatorRow(*w), QStringLiteral("000000"));
    }

    void twoPhaseRunKeepsThePhaseOneTime()
    {
        storeWithDefaults("Phases", 2);
        MainRig rig;
        auto w = rig.make();
        QTest::keyClick(w.get(), Qt::Key_F5);
        rig.ticks.advance(72345);
        w->clock().ClockTimer();
        QCOMPARE(spectatorRow(*w), QStringLiteral("011200"));
        QTest::keyClick(w.get(), Qt::Key_F9);
        QVERIFY(w->clock().running());
        QCOMPARE(spectatorRow(*w), QStringLiteral("011200"));
        rig.ticks.advance(5678);
        w->clock().ClockTimer();
        QCOMPARE(spectatorRow(*w), QStringLiteral("011200"));
        QTest::keyClick(w.get(), Qt::Key_F9);
        QVERIFY(!w->clock().running());
        QCOMPARE(spectatorRow(*w), QStringLiteral("011200"));
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(spectatorRow(*w), QStringLiteral("011200"));
        QCOMPARE(secondSpectatorRow(*w), QStringLiteral("000000"));
    }

    void topTenShowsTheEnteredRow()
    {
        MainRig rig;
        auto w = rig.make();
        QCOMPARE(topTenDrivers(*w, 1), QStringList{QString()});
        enterRun(*w, rig, QStringLiteral("7"), QStringLiteral("Anna"), 40000, 3000);
        QCOMPARE(topTenDrivers(*w, 2), (QStringList{QStringLiteral("Anna"), QString()}));
        QCOMPARE(w->topTen()->grid()->cellText(1, 0), w->resultsTable().cell(ResultsTable::Ges, 1));
    }

    void headerSortReachesTheTopTenAtOnce_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("ascending by driver") << int(Qt::LeftButton);
        QTest::newRow("descending by driver") << int(Qt::RightButton);
    }
    void headerSortReachesTheTopTenAtOnce()
    {
        QFETCH(int, button);
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("2"), QStringLiteral("Bert"), 30000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        enterRun(*w, rig, QStringLiteral("3"), QStringLiteral("Carl"), 50000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        enterRun(*w, rig, QStringLiteral("1"), QStringLiteral("Anna"), 40000, 3000);
        const QStringList ranked = tableDrivers(*w);
        QCOMPARE(topTenDrivers(*w, 3), ranked);

        clickHeader(*w, ResultsTable::Fahrer, Qt::MouseButton(button));
        const QStringList sorted = tableDrivers(*w);
        QVERIFY2(sorted != ranked, "the sort must change the order for this test to mean anything");
        QCOMPARE(topTenDrivers(*w, 3), sorted);

        QTest::keyClick(w.get(), Qt::Key_1, Qt::AltModifier);
        QCOMPARE(topTenDrivers(*w, 4), sorted + QStringList{QString()});
    }
};

AK_TWO_SCREEN_TEST_MAIN(TestMainScreens)
#include "tst_main_screens.moc"
