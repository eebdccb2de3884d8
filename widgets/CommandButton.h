#pragma once

#include <QColor>
#include <QPushButton>

// A command button with a coloured face. A timing button acts when a mouse
// button goes down on it (any button), not on release: mousePressed() is emitted
// and no click follows. clicked() then comes only from keyboard activation.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& text, QWidget* parent = nullptr);

    // Acts on mouse press instead of click.
    void setActsOnPress(bool on) { m_actsOnPress = on; }
    // Off: no key activates the button (it is reached by its shortcut only).
    void setKeyboardActivation(bool on) { m_keyboardActivation = on; }
    // Return and keypad Enter activate the focused button as Space does. A held
    // key activates it once: its repeats are swallowed, also when they arrive
    // after the focus has moved on to the next command's button.
    void setReturnActivates(bool on) { m_returnActivates = on; }
    // An invalid colour restores the system button face.
    void setFace(const QColor& face);
    void setTextColour(const QColor& colour);
    void setHoverTextColour(const QColor& colour);
    QColor face() const { return m_face; }
    QColor textColour() const { return m_text; }

Q_SIGNALS:
    void mousePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void restyle();

    bool m_actsOnPress = false;
    bool m_keyboardActivation = true;
    bool m_returnActivates = false;
    QColor m_face;
    QColor m_text;
    QColor m_hoverText;
};
