#include "main_window_rig.h"

#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"

#include <QComboBox>

namespace {

constexpr int kPort = 5;

// One closing and opening of the contact on CTS, each handed to the window before the next.
void contact(TFormMain& w, FakeSerialLine& line)
{
    const int before = w.lightBarriers()->signalCount(1) + w.lightBarriers()->signalCount(2) +
                       w.lightBarriers()->signalCount(3);
    line.setStatus(ModemLine::Cts);
    QTRY_VERIFY(w.lightBarriers()->signalCount(1) + w.lightBarriers()->signalCount(2) +
                    w.lightBarriers()->signalCount(3) >
                before);
    w.lightBarriers()->TimerGesperrtTimer();
    line.setStatus(0);
    QTRY_COMPARE(w.lightBarriers()->lineMemory(1), LightBarriers::LineMemoryReset);
}

} // namespace

class TestMainBarriers : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        // One CTS contact as all three barriers.
        storeSettingsWithBarriersOnCts(kPort, 3);
        storeSetting("AutoFrei", 1);
        storeSetting("Phases", 2);
    }

    void twoPhaseRunTimedByContacts_data()
    {
        QTest::addColumn<int>("phaseOne");
        QTest::addColumn<int>("phaseTwo");
        QTest::addColumn<QString>("time1");
        QTest::addColumn<QString>("time2");
        QTest::newRow("a minute and five seconds") << 61230 << 5670 << "1:01,23"
                                                   << "5,67";
        QTest::newRow("just over the lock-out") << 1010 << 1020 << "1,01"
                                                << "1,02";
        QTest::newRow("across the tick counter's wrap") << 40000 << 3000 << "40,00"
                                                        << "3,00";
    }
    void twoPhaseRunTimedByContacts()
    {
        QFETCH(int, phaseOne);
        QFETCH(int, phaseTwo);
        QFETCH(QString, time1);
        QFETCH(QString, time2);
        const quint32 startTicks =
            QByteArray(QTest::currentDataTag()).contains("wrap") ? 0xFFFFFFFFu - 20000 : 5000;
        MainRig rig(startTicks, kPort);
        auto w = rig.make();
        QVERIFY(w->comPort()->Connected());
        QCOMPARE(w->settings().port[0], quint8(kPort));
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("9"));

        // F11 arms the start barrier; the later ones are armed by the run itself.
        QTest::keyClick(w.get(), Qt::Key_F11);
        QCOMPARE(w->lightBarriers()->indicatorState(1), int(LightBarriers::Armed));
        rig.ticks.advance(700);
        contact(*w, *rig.line);
        QVERIFY(w->clock().running());
        rig.ticks.advance(quint32(phaseOne));
        contact(*w, *rig.line);
        QCOMPARE(w->control<CommandButton>(QStringLiteral("bSTOP"))->text(), QStringLiteral("STOPP2"));
        rig.ticks.advance(quint32(phaseTwo));
        contact(*w, *rig.line);
        QVERIFY(!w->clock().running());
        QTest::keyClick(w.get(), Qt::Key_F10);

        QCOMPARE(w->clock().state().PhaseOneTime, phaseOne);
        ResultsTable& t = w->resultsTable();
        const int r = t.findRow(ResultsTable::StNr, QStringLiteral("9"));
        QVERIFY(r > 0);
        QCOMPARE(t.cell(ResultsTable::Zeit1, r), time1);
        QCOMPARE(t.cell(ResultsTable::Zeit2, r), time2);
    }
};

QTEST_MAIN(TestMainBarriers)
#include "tst_main_barriers.moc"
