#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

// Keeps keys held with Alt from typing into the fields of one window. There Alt+N, Alt+P and
// the other Alt keys are commands of the hidden menu; while a command is disabled its key
// falls through to the focused field, and a Qt text field takes Alt+letter as input on Linux,
// so a stray Alt+N would append an "n" to a driver's name. No character is typed with Alt
// alone (AltGr is not Alt on Linux, and it is Ctrl+Alt on Windows), so such a key press is
// swallowed. Shortcuts are not affected: an enabled one acts before the key press is sent.
// Installed on the application.
class CommandKeyGuard : public QObject {
    Q_OBJECT
public:
    explicit CommandKeyGuard(QWidget* window, QObject* parent = nullptr);

    // A key press that would type text while Alt (without Ctrl or Meta) is held.
    static bool typesWithAlt(const QKeyEvent& key);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
};
