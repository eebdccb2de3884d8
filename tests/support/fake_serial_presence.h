#pragma once

#include "platform/serial_presence.h"

#include <QHash>

// Serial devices as the test says they are. A path the test never named is Unknown (opening
// decides), as on a system that cannot tell. plug/unplug raise devicesChanged while watched.
class FakeSerialPresence final : public SerialPresence {
public:
    SerialNode node(const QString& devicePath) const override
    {
        SerialNode n = m_nodes.value(devicePath);
        for (auto it = m_adapters.cbegin(); it != m_adapters.cend(); ++it) {
            if (it.value() == devicePath && n.present())
                n.adapterId = it.key();
        }
        return n;
    }
    QString deviceOfAdapter(const QString& adapterId) const override
    {
        const QString path = m_adapters.value(adapterId);
        return m_nodes.value(path).present() ? path : QString();
    }
    void setWatching(bool on) override
    {
        if (on && !m_watching)
            ++watchStarts;
        m_watching = on;
    }
    bool watching() const { return m_watching; }

    void set(const QString& path, SerialNode::Kind kind, bool accessible = true)
    {
        SerialNode n;
        n.kind = kind;
        n.accessible = accessible;
        m_nodes.insert(path, n);
    }
    // An adapter with a /dev/serial/by-id name appears at path.
    void plug(const QString& path, const QString& adapterId = QString(),
              SerialNode::Kind kind = SerialNode::Kind::Usb)
    {
        set(path, kind);
        forget(path);
        if (!adapterId.isEmpty())
            m_adapters.insert(adapterId, path);
        changed();
    }
    void unplug(const QString& path)
    {
        set(path, SerialNode::Kind::Absent);
        forget(path);
        changed();
    }
    // What a hot-plug watch or its timer reports.
    void changed()
    {
        if (m_watching)
            Q_EMIT devicesChanged();
    }

    int watchStarts = 0;

private:
    void forget(const QString& path)
    {
        for (auto it = m_adapters.begin(); it != m_adapters.end();)
            it = it.value() == path ? m_adapters.erase(it) : std::next(it);
    }

    QHash<QString, SerialNode> m_nodes;
    QHash<QString, QString> m_adapters; // identity -> path
    bool m_watching = false;
};
