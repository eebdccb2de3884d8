#include "widgets/CommandButton.h"

#include <QKeyEvent>
#include <QMouseEvent>

CommandButton::CommandButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void CommandButton::setFace(const QColor& face)
{
    if (face == m_face)
        return;
    m_face = face;
    restyle();
}

void CommandButton::setTextColour(const QColor& colour)
{
    if (colour == m_text)
        return;
    m_text = colour;
    restyle();
}

void CommandButton::setHoverTextColour(const QColor& colour)
{
    m_hoverText = colour;
    restyle();
}

void CommandButton::restyle()
{
    QString css =
        QStringLiteral("QPushButton { font-weight: bold; border: 1px solid #606060; border-radius: 3px;");
    if (m_face.isValid())
        css += QStringLiteral(" background-color: %1;").arg(m_face.name());
    else
        css += QStringLiteral(" background-color: palette(button);");
    if (m_text.isValid())
        css += QStringLiteral(" color: %1;").arg(m_text.name());
    css += QStringLiteral(" }");
    css += QStringLiteral(" QPushButton:disabled { background-color: palette(button); color: #a0a0a0; }");
    css += QStringLiteral(" QPushButton:focus { border: 2px solid #202020; }");
    if (m_hoverText.isValid())
        css += QStringLiteral(" QPushButton:hover { color: %1; }").arg(m_hoverText.name());
    setStyleSheet(css);
}

namespace {
bool isReturn(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
bool isSpace(const QKeyEvent* e)
{
    return e->key() == Qt::Key_Space || e->key() == Qt::Key_Select;
}
} // namespace

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (isReturn(event) || isSpace(event)) {
        if (!m_keyboardActivation || (isReturn(event) && !m_returnActivates)) {
            event->ignore();
            return;
        }
        if (event->isAutoRepeat()) {
            event->accept();
            return;
        }
        if (isReturn(event)) {
            event->accept();
            click();
            return;
        }
    }
    QPushButton::keyPressEvent(event);
}

void CommandButton::keyReleaseEvent(QKeyEvent* event)
{
    if (isSpace(event) && !m_keyboardActivation) {
        event->ignore();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void CommandButton::mousePressEvent(QMouseEvent* event)
{
    if (!m_actsOnPress) {
        QPushButton::mousePressEvent(event);
        return;
    }
    event->accept();
    if (isEnabled())
        Q_EMIT mousePressed();
}

void CommandButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_actsOnPress) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    event->accept();
}
