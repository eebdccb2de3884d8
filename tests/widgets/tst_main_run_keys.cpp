#include "app/FMain.h"
#include "displays/Udigit.h"
#include "fake_clock_parts.h"
#include "test_deps.h"
#include "widgets/CommandButton.h"

#include <QtTest>

namespace {
QString rowText(const TFormMain& w, const QString& suffix)
{
    QString t;
    for (int d = 3; d <= 8; ++d) {
        t += QString::number(w.control<TDigit>(QStringLiteral("Digit%1%2").arg(d).arg(suffix))->value());
        if (d == 4)
            t += QLatin1Char(':');
        if (d == 6)
            t += QLatin1Char(',');
    }
    return t;
}
} // namespace

class TestMainRunKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twoPhaseRunByKeys()
    {
        FakeTickSource ticks(50000);
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* start = w.control<CommandButton>(QStringLiteral("bSTART"));
        auto* stop = w.control<CommandButton>(QStringLiteral("bSTOP"));
        auto* enter = w.control<CommandButton>(QStringLiteral("bEINTRAGEN"));
        auto* next = w.control<CommandButton>(QStringLiteral("bRESET"));
        QCOMPARE(rowText(w, QString()), QStringLiteral("00:06,00"));

        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(w.clock().running());
        QVERIFY(!start->isEnabled());
        QVERIFY(stop->isEnabled());
        QCOMPARE(stop->face(), QColor(255, 0, 0));
        ticks.advance(61230);
        w.clock().ClockTimer();
        QCOMPARE(rowText(w, QString()), QStringLiteral("01:01,23"));

        QTest::keyClick(&w, Qt::Key_F9);
        QCOMPARE(stop->text(), QStringLiteral("STOPP2"));
        QVERIFY(w.clock().running());
        ticks.advance(5670);
        w.clock().ClockTimer();
        QCOMPARE(rowText(w, QStringLiteral("a")), QStringLiteral("00:05,67"));
        QCOMPARE(rowText(w, QString()), QStringLiteral("01:01,23"));

        QTest::keyClick(&w, Qt::Key_F9);
        QVERIFY(!w.clock().running());
        QVERIFY(!stop->isEnabled());
        QVERIFY(enter->isEnabled());
        QCOMPARE(enter->face(), QColor(0, 128, 255));
        QVERIFY(enter->hasFocus());

        QTest::keyClick(&w, Qt::Key_F10);
        QVERIFY(!enter->isEnabled());
        QVERIFY(next->isEnabled());
        QVERIFY(next->hasFocus());

        QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
        QVERIFY(start->isEnabled());
        QCOMPARE(stop->text(), QStringLiteral("STOPP1"));
        QCOMPARE(rowText(w, QString()), QStringLiteral("00:06,00"));
        QCOMPARE(rowText(w, QStringLiteral("a")), QStringLiteral("00:00,00"));
    }

    void disabledCommandsIgnoreTheirKeys()
    {
        FakeTickSource ticks;
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_F9);
        QTest::keyClick(&w, Qt::Key_F10);
        QVERIFY(!w.clock().running());
        QVERIFY(w.control<CommandButton>(QStringLiteral("bSTART"))->isEnabled());
    }

    void timingButtonsActOnMousePress()
    {
        FakeTickSource ticks;
        FakeGong gong;
        TFormMain w(testDeps(&ticks, &gong));
        w.show();
        auto* start = w.control<CommandButton>(QStringLiteral("bSTART"));
        QTest::mousePress(start, Qt::RightButton);
        QVERIFY(w.clock().running());
    }
};

QTEST_MAIN(TestMainRunKeys)
#include "tst_main_run_keys.moc"
