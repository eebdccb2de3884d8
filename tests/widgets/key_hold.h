#pragma once

// Keys as a keyboard delivers them.
#include <QApplication>
#include <QWidget>
#include <QtTest>

#include <functional>

// Where a key goes: the window's focus widget, as the window system sends it.
inline QWidget* keyTarget(QWidget* window)
{
    QWidget* f = window->focusWidget();
    return f ? f : window;
}

// Holds a key down: the press, then `repeats` auto-repeated release/press pairs
// flagged as repeats (as X11 sends them), then the release. QTest::keyPress has no
// auto-repeat flag in this Qt version, so the events go through QTest::simulateEvent,
// the path keyPress takes, shortcut override included. Each event goes to the focus
// widget of that moment. before(ms) runs ahead of each repeat with the time since
// the previous event (500 ms repeat delay, then 30 repeats a second).
inline void holdKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods, int repeats,
                    const std::function<void(int)>& before = {})
{
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r")
                         : (key >= Qt::Key_A && key <= Qt::Key_Z)
                             ? QString(QChar(ushort('a' + (key - Qt::Key_A))))
                             : QString();
    QTest::simulateEvent(keyTarget(window), true, key, mods, text, false);
    for (int i = 0; i < repeats; ++i) {
        if (before)
            before(i == 0 ? 500 : 33);
        QTest::simulateEvent(keyTarget(window), false, key, mods, text, true);
        QTest::simulateEvent(keyTarget(window), true, key, mods, text, true);
    }
    QTest::simulateEvent(keyTarget(window), false, key, mods, text, false);
}
