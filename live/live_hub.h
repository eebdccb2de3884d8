#pragma once

#include "live/live_snapshot.h"

#include <atomic>
#include <memory>

// Hands snapshots from the GUI thread to the server thread: the pointer is swapped atomically,
// so neither side ever waits for the other, and a snapshot is never changed once published.
class LiveSnapshotHub {
public:
    void publish(std::shared_ptr<const LiveSnapshot> snapshot);
    std::shared_ptr<const LiveSnapshot> current() const;

    // One pending wake-up of the server at a time: true when the caller should post one.
    bool markPending() { return !m_pending.exchange(true); }
    void clearPending() { m_pending.store(false); }

private:
    std::shared_ptr<const LiveSnapshot> m_current; // only through std::atomic_load / atomic_store
    std::atomic<bool> m_pending{false};
};
