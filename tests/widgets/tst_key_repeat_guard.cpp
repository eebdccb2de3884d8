// Which key presses are the repeats of a held key, however the window system reports them.
#include "widgets/KeyRepeatGuard.h"

#include <QKeyEvent>
#include <QtTest>

class TestKeyRepeatGuard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Events as "<key><kind><timestamp>": kind P press, R release, p and r the same
    // flagged as auto-repeated. Expected: per press, n (new) or r (repeat).
    void pressesAreClassified_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a press and its release") << "1P100 1R200"
                                                 << "n";
        QTest::newRow("X11 release and press pairs") << "1P100 1R760 1P760 1R800 1P800 1R840"
                                                     << "nrr";
        QTest::newRow("pressed again 1 ms after the release") << "1P100 1R200 1P201"
                                                              << "nn";
        QTest::newRow("presses without releases") << "1P100 1P760 1P800 1R840"
                                                  << "nrr";
        QTest::newRow("flagged repeats") << "1P100 1r760 1p760 1r800 1p800 1R840"
                                         << "nrr";
        QTest::newRow("one press seen twice (shortcut override, key press)") << "1P100 1P100 1R200"
                                                                             << "nn";
        QTest::newRow("a repeat seen twice stays a repeat") << "1P100 1R760 1P760 1P760"
                                                            << "nrr";
        QTest::newRow("release unseen, pressed again 1500 ms later") << "1P100 1P1600"
                                                                     << "nr";
        QTest::newRow("release unseen, pressed again 1501 ms later") << "1P100 1P1601"
                                                                     << "nn";
        QTest::newRow("timestamp 0 never pairs") << "1P0 1R0 1P0 1R0"
                                                 << "nn";
        QTest::newRow("another key at the release's timestamp is new") << "1P100 1R200 2P200"
                                                                       << "nn";
        QTest::newRow("two keys held at once") << "1P100 2P150 1R760 1P760 2P790"
                                               << "nnrr";
    }
    void pressesAreClassified()
    {
        QFETCH(QString, events);
        QFETCH(QString, expected);
        KeyRepeatGuard guard([](QObject*, const QKeyEvent&) { return true; });
        QString got;
        for (const QString& e : events.split(QLatin1Char(' '))) {
            const int key = e.at(0).digitValue();
            const QChar kind = e.at(1);
            const quint64 ts = e.mid(2).toULongLong();
            const bool press = kind.toUpper() == QLatin1Char('P');
            const bool repeat = guard.record(press, key, ts, kind.isLower());
            if (press)
                got += QLatin1Char(repeat ? 'r' : 'n');
        }
        QCOMPARE(got, expected);
    }

    // Only the repeats the predicate guards are swallowed; everything else passes.
    void onlyGuardedRepeatsAreSwallowed()
    {
        QObject receiver;
        KeyRepeatGuard guard([](QObject*, const QKeyEvent& k) { return k.key() == Qt::Key_F9; });
        QKeyEvent firstF9(QEvent::ShortcutOverride, Qt::Key_F9, Qt::NoModifier, QString(), false);
        firstF9.setTimestamp(2000);
        QVERIFY(!guard.eventFilter(&receiver, &firstF9));
        QKeyEvent repeatF9(QEvent::ShortcutOverride, Qt::Key_F9, Qt::NoModifier, QString(), true);
        repeatF9.setTimestamp(2500);
        repeatF9.ignore();
        QVERIFY(guard.eventFilter(&receiver, &repeatF9));
        QVERIFY(repeatF9.isAccepted()); // an accepted override keeps the shortcut from firing
        QKeyEvent repeatBackspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(), true);
        QVERIFY(!guard.eventFilter(&receiver, &repeatBackspace));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F9, Qt::NoModifier, QString(), false);
        release.setTimestamp(2600);
        QVERIFY(!guard.eventFilter(&receiver, &release));
    }
};

QTEST_MAIN(TestKeyRepeatGuard)
#include "tst_key_repeat_guard.moc"
