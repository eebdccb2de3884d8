// The live server's thread yields to timing: its priority is lowered, and only its own.
#include "platform/thread_priority.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

namespace {
int niceOf(long tid)
{
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}
} // namespace

class TestThreadPriority : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lowersOnlyTheCallingThread()
    {
        const long mainTid = syscall(SYS_gettid);
        const int before = niceOf(mainTid);
        if (before > 10)
            QSKIP("the test runs with a nice value above 10 already");
        bool lowered = false;
        int inThread = -100;
        std::thread worker([&] {
            lowered = lowerCurrentThreadPriority();
            inThread = niceOf(syscall(SYS_gettid));
        });
        worker.join();
        QVERIFY(lowered);
        QCOMPARE(inThread, 10);
        QCOMPARE(niceOf(mainTid), before);
    }
};

QTEST_GUILESS_MAIN(TestThreadPriority)
#include "tst_thread_priority.moc"
