#pragma once

#include <QtGlobal>

// The millisecond tick counter: 32 bits, wrapping. Differences are always taken
// as qint32(quint32(a - b)), so a run that spans the wrap is timed correctly.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual quint32 now() const = 0;
};

// CLOCK_MONOTONIC in milliseconds, truncated to 32 bits.
class SystemTickSource final : public TickSource {
public:
    quint32 now() const override;
};

inline qint32 tickDiff(quint32 later, quint32 earlier)
{
    return qint32(quint32(later - earlier));
}
