#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QKeyEvent;

// Swallows the repeats of a held key where a repeat would run a command again.
// Qt flags auto-repeated keys on some platforms only: under X11 the server sends
// each repeat as a release and a press with one timestamp, and with detectable
// auto-repeat as presses without releases, and Qt may pass either on unflagged.
// So a press counts as a repeat when it is flagged, when its key is still down
// from an earlier press, or when it comes at the very timestamp of its key's
// release. Installed on the application, it sees the shortcut override and the
// key press of every key before a shortcut or a focused button acts on them.
class KeyRepeatGuard : public QObject {
    Q_OBJECT
public:
    // guarded(event): whether a repeat of this key must not get through (the
    // predicate decides by the key, its modifiers and the receiver).
    explicit KeyRepeatGuard(std::function<bool(QObject* receiver, const QKeyEvent& key)> guarded,
                            QObject* parent = nullptr);

    // A key held down longer than this without a repeat was released where the
    // program could not see it; its next press is a new one.
    static constexpr qint64 kStaleMs = 1500;

    // Records a press (true) or release of key at the event's timestamp; for a
    // press, returns whether it is the repeat of a held key.
    bool record(bool press, int key, quint64 timestamp, bool flaggedRepeat);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct KeyState {
        bool held = false;
        quint64 pressedAt = 0;
        quint64 lastSeen = 0;
        bool releaseSeen = false;
        quint64 releasedAt = 0;
    };
    std::function<bool(QObject*, const QKeyEvent&)> m_guarded;
    QHash<int, KeyState> m_keys;
};
