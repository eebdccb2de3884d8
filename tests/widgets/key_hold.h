#pragma once

// Keys as a keyboard delivers them.
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QtTest>

#include <functional>

// Where a key goes: the window's focus widget, as the window system sends it.
inline QWidget* keyTarget(QWidget* window)
{
    QWidget* f = window->focusWidget();
    return f ? f : window;
}

// How the window system reports a held key's repeats.
enum class RepeatStyle {
    Flagged,    // presses (and releases) marked as auto-repeated
    X11Pairs,   // unmarked release and press pairs with one timestamp (X11 auto-repeat)
    PressesOnly // unmarked presses without releases (X11 detectable auto-repeat)
};

// One key event the way QTest::keyPress sends it (shortcut override first), with
// an explicit timestamp, which QTest::keyPress cannot set.
inline void sendKey(QWidget* target, bool press, Qt::Key key, Qt::KeyboardModifiers mods, const QString& text,
                    bool repeat, ulong timestamp)
{
    if (press && qt_sendShortcutOverrideEvent(target, timestamp, key, mods, text, repeat))
        return;
    QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, key, mods, text, repeat);
    e.setTimestamp(timestamp);
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(target, &e);
}

// The window system's millisecond clock for the events of the tests.
inline ulong& keyClock()
{
    static ulong t = 100000;
    return t;
}

// Holds a key down: the press, `repeats` auto-repeats after the repeat delay
// (500 ms, then 30 a second), then the release. QTest::keyPress has no auto-repeat
// flag in this Qt version, so the events are sent as it sends them, with the flag
// and a timestamp. Each event goes to the focus widget of that moment. before(ms)
// runs ahead of each repeat with the time since the previous event.
inline void holdKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods, int repeats,
                    const std::function<void(int)>& before = {}, RepeatStyle style = RepeatStyle::Flagged)
{
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r")
                         : (key >= Qt::Key_A && key <= Qt::Key_Z)
                             ? QString(QChar(ushort('a' + (key - Qt::Key_A))))
                             : QString();
    ulong& now = keyClock();
    sendKey(keyTarget(window), true, key, mods, text, false, now);
    for (int i = 0; i < repeats; ++i) {
        const int gap = i == 0 ? 500 : 33;
        now += ulong(gap);
        if (before)
            before(gap);
        const bool flag = style == RepeatStyle::Flagged;
        if (style != RepeatStyle::PressesOnly)
            sendKey(keyTarget(window), false, key, mods, text, flag, now);
        sendKey(keyTarget(window), true, key, mods, text, flag, now);
    }
    now += 40;
    sendKey(keyTarget(window), false, key, mods, text, false, now);
    now += 1000;
}
