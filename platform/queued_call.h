#pragma once

#include <type_traits>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#define AK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define AK_THREAD_SANITIZER 1
#endif
#endif

#ifdef AK_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

// A function object handed to another thread with QMetaObject::invokeMethod (queued or
// blocking-queued connection).
//
// Qt runs the call on the receiver's thread after it was posted and, when blocking, lets the
// caller go on only after the call has ended. That order is kept inside Qt's library, which
// ThreadSanitizer builds do not instrument, so the sanitizer would take the function object
// (built by the caller, run by the receiver) and everything the call shares with the caller for
// memory used without order. Wrapped, the order becomes visible: the wrapper's construction
// releases, the call acquires before it runs and releases when it ends, and the destruction
// acquires. In other builds the wrapper is the plain function object.
//
//     QMetaObject::invokeMethod(receiver, queuedCall([=] { ... }), Qt::QueuedConnection);
//
// Results go back through what the call captures (a reference the call writes), not through
// invokeMethod's return argument: Qt stores that after the call has ended, outside the order.
template <class F> class QueuedCall {
public:
    explicit QueuedCall(F f) : m_f(std::move(f)) { release(); }
    QueuedCall(QueuedCall&& other) : m_f(std::move(other.m_f)) { release(); }
    QueuedCall(const QueuedCall& other) : m_f(other.m_f) { release(); }
    QueuedCall& operator=(const QueuedCall&) = delete;
    QueuedCall& operator=(QueuedCall&&) = delete;
    ~QueuedCall() { acquire(); }

    decltype(auto) operator()()
    {
        acquire();
        const ReleaseAtEnd end{this};
        return m_f();
    }

private:
    struct ReleaseAtEnd {
        QueuedCall* call;
        ~ReleaseAtEnd() { call->release(); }
    };
#ifdef AK_THREAD_SANITIZER
    void release()
    {
        __tsan_release(this);
    }
    void acquire()
    {
        __tsan_acquire(this);
    }
#else
    void release() {}
    void acquire() {}
#endif

    F m_f;
};

template <class F> QueuedCall<std::decay_t<F>> queuedCall(F&& f)
{
    return QueuedCall<std::decay_t<F>>(std::forward<F>(f));
}
