#include "widgets/KeyRepeatGuard.h"

#include <QKeyEvent>

KeyRepeatGuard::KeyRepeatGuard(std::function<bool(QObject*, const QKeyEvent&)> guarded, QObject* parent)
    : QObject(parent), m_guarded(std::move(guarded))
{
}

bool KeyRepeatGuard::record(bool press, int key, quint64 timestamp, bool flaggedRepeat)
{
    KeyState& k = m_keys[key];
    if (!press) {
        if (!flaggedRepeat) {
            k.held = false;
            k.releaseSeen = true;
            k.releasedAt = timestamp;
        }
        return false;
    }
    bool repeat = flaggedRepeat;
    if (!repeat && k.held && timestamp != k.pressedAt)
        repeat = qint64(timestamp - k.lastSeen) <= kStaleMs; // down since the last press
    else if (!repeat && !k.held && timestamp != 0 && k.releaseSeen && timestamp == k.releasedAt)
        repeat = true; // the release and press pair of one repeat
    if (!repeat && !(k.held && timestamp == k.pressedAt)) {
        // A new press (a press seen again, as shortcut override and as key press, stays one).
        k.held = true;
        k.pressedAt = timestamp;
    }
    k.lastSeen = timestamp;
    return repeat;
}

bool KeyRepeatGuard::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == 0 || key->key() == Qt::Key_unknown)
        return false;
    const bool repeat = record(type != QEvent::KeyRelease, key->key(), key->timestamp(), key->isAutoRepeat());
    if (!repeat || !m_guarded(watched, *key))
        return false;
    // A shortcut override accepted here keeps the shortcut from firing; the key
    // press that follows is swallowed as well.
    event->accept();
    return true;
}
