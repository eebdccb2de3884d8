#pragma once

#include <QColor>
#include <QPushButton>

// A push button with a coloured face, as the run commands use (green START,
// red STOPP, yellow TIMER, blue EINTRAGEN). Without a face colour it looks like
// any other button. A second text colour can be shown while the pointer is
// over the button. mouseDown reports a press of any mouse button at once, for
// commands that must act on press rather than on release.
class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(QWidget* parent = nullptr);
    explicit ColorButton(const QString& text, QWidget* parent = nullptr);

    // An invalid colour returns to the system's button face.
    void setFaceColor(const QColor& colour);
    QColor faceColor() const { return m_face; }
    void resetFaceColor() { setFaceColor(QColor()); }

    void setTextColor(const QColor& colour);
    QColor textColor() const { return m_text; }
    // Text colour while the pointer is over the button; invalid = unchanged.
    void setHoverTextColor(const QColor& colour);
    QColor hoverTextColor() const { return m_hoverText; }
    // The text colour shown right now (hover taken into account).
    QColor shownTextColor() const;

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor m_face;
    QColor m_text = Qt::black;
    QColor m_hoverText;
    bool m_hovered = false;
};
