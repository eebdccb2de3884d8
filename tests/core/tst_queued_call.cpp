// Calls handed to another thread's event loop: they run there, see what the caller prepared
// and give back what they computed through what they captured. In the ThreadSanitizer build
// the same rows check that the hand-over through Qt's event queue is visible to the sanitizer
// (a report fails the test).
#include "platform/queued_call.h"

#include <QtTest>

#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

Q_DECLARE_METATYPE(Qt::ConnectionType)

class TestQueuedCall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_thread.start();
        m_receiver = std::make_unique<QObject>();
        m_receiver->moveToThread(&m_thread);
    }

    void cleanupTestCase()
    {
        QObject* receiver = m_receiver.release();
        QMetaObject::invokeMethod(receiver, queuedCall([receiver] { delete receiver; }),
                                  Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    void handsDataBothWays_data()
    {
        QTest::addColumn<Qt::ConnectionType>("type");
        QTest::addColumn<int>("count");
        for (const auto& [name, type] : {std::pair{"queued", Qt::QueuedConnection},
                                         std::pair{"blocking", Qt::BlockingQueuedConnection}}) {
            QTest::addRow("%s, nothing to hand over", name) << type << 0;
            QTest::addRow("%s, one value", name) << type << 1;
            QTest::addRow("%s, two values", name) << type << 2;
            QTest::addRow("%s, a large buffer", name) << type << 100000;
        }
    }

    void handsDataBothWays()
    {
        QFETCH(Qt::ConnectionType, type);
        QFETCH(int, count);
        // Plain memory, written here and read there; the result the other way round.
        auto input = std::make_shared<std::vector<qint64>>();
        for (int i = 1; i <= count; ++i)
            input->push_back(i);
        qint64 sum = -1;
        QThread* ranOn = nullptr;
        std::atomic<bool> done{false};
        const bool posted =
            QMetaObject::invokeMethod(m_receiver.get(), queuedCall([input, &sum, &ranOn, &done] {
                                          qint64 s = 0;
                                          for (qint64 v : *input)
                                              s += v;
                                          sum = s;
                                          ranOn = QThread::currentThread();
                                          done.store(true);
                                      }),
                                      type);
        QVERIFY(posted);
        if (type == Qt::BlockingQueuedConnection)
            QVERIFY(done.load());
        else
            QTRY_VERIFY(done.load());
        QCOMPARE(sum, qint64(count) * (count + 1) / 2);
        QCOMPARE(ranOn, &m_thread);
    }

    void callerGoesOnAfterTheCallIsDestroyed()
    {
        // The function object (and what it holds) ends before a blocking call returns, so the
        // caller may reuse what it captured by reference right away.
        auto held = std::make_shared<int>(5);
        std::weak_ptr<int> watch = held;
        QMetaObject::invokeMethod(m_receiver.get(), queuedCall([held = std::move(held)] { *held += 1; }),
                                  Qt::BlockingQueuedConnection);
        QVERIFY(watch.expired());
    }

private:
    QThread m_thread;
    std::unique_ptr<QObject> m_receiver;
};

QTEST_GUILESS_MAIN(TestQueuedCall)
#include "tst_queued_call.moc"
