#include "live/live_hub.h"

void LiveSnapshotHub::publish(std::shared_ptr<const LiveSnapshot> snapshot)
{
    std::atomic_store(&m_current, std::move(snapshot));
}

std::shared_ptr<const LiveSnapshot> LiveSnapshotHub::current() const
{
    return std::atomic_load(&m_current);
}
