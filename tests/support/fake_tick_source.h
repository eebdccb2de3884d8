#pragma once

#include "platform/tick_source.h"

// A tick counter the test sets by hand.
class FakeTickSource final : public TickSource {
public:
    explicit FakeTickSource(quint32 start = 1000) : m_now(start) {}
    quint32 now() const override { return m_now; }
    void set(quint32 t) { m_now = t; }
    void advance(qint64 ms) { m_now = quint32(qint64(m_now) + ms); }

private:
    quint32 m_now;
};
