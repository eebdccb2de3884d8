#include "widgets/ColorButton.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {}

ColorButton::ColorButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void ColorButton::setFaceColor(const QColor& colour)
{
    if (m_face == colour)
        return;
    m_face = colour;
    update();
}

void ColorButton::setTextColor(const QColor& colour)
{
    if (m_text == colour)
        return;
    m_text = colour;
    update();
}

void ColorButton::setHoverTextColor(const QColor& colour)
{
    m_hoverText = colour;
    update();
}

QColor ColorButton::shownTextColor() const
{
    if (m_hovered && m_hoverText.isValid() && isEnabled())
        return m_hoverText;
    return m_text;
}

void ColorButton::paintEvent(QPaintEvent* event)
{
    if (!m_face.isValid()) {
        // System face: let the style draw it, only the text colour is ours.
        QStylePainter p(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        if (isEnabled()) {
            option.palette.setColor(QPalette::ButtonText, shownTextColor());
        }
        p.drawControl(QStyle::CE_PushButton, option);
        return;
    }
    Q_UNUSED(event);

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool down = isDown() || isChecked();
    const QColor face = isEnabled() ? m_face : m_face.lighter(115);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, down ? face.darker(115) : face.lighter(118));
    g.setColorAt(1, down ? face.lighter(105) : face.darker(112));
    p.setPen(QPen(face.darker(170), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    if (hasFocus()) {
        p.setPen(QPen(shownTextColor(), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 2, 2);
    }

    QColor text = shownTextColor();
    if (!isEnabled())
        text = palette().color(QPalette::Disabled, QPalette::ButtonText);
    p.setPen(text);
    p.setFont(font());
    QRect textRect = rect().translated(down ? 1 : 0, down ? 1 : 0);
    if (!icon().isNull()) {
        const QSize size = iconSize();
        const QPixmap pm =
            icon().pixmap(size, devicePixelRatioF(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const int top = textRect.center().y() - size.height() / 2;
        if (this->text().isEmpty()) {
            p.drawPixmap(textRect.center().x() - size.width() / 2, top, pm);
        } else {
            p.drawPixmap(textRect.left() + 4, top, pm);
            textRect.setLeft(textRect.left() + 4 + size.width());
        }
    }
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, this->text());
}

void ColorButton::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT mouseDown(event->button());
    // The command may have disabled this button; it must not stay drawn pressed.
    if (!isEnabled()) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void ColorButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void ColorButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}
