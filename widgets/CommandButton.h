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
    // An invalid colour restores the system button face.
    void setFace(const QColor& face);
    void setTextColour(const QColor& colour);
    void setHoverTextColour(const QColor& colour);
    QColor face() const { return m_face; }
    QColor textColour() const { return m_text; }

Q_SIGNALS:
    void mousePressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void restyle();

    bool m_actsOnPress = false;
    QColor m_face;
    QColor m_text;
    QColor m_hoverText;
};
