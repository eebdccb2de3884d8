#include "widgets/ElidedLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

void ElidedLabel::setFullText(const QString& text)
{
    m_full = text;
    setToolTip(text);
    showFitted();
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const
{
    return QSize(0, QLabel::sizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showFitted();
}

void ElidedLabel::showFitted()
{
    const int room = contentsRect().width() - 2 * margin() - 2 * indent();
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideMiddle, qMax(0, room));
    if (shown != text())
        setText(shown);
}
