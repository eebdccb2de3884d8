#include "widgets/ColorPicker.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr Rgb basicColours[ColorPicker::basicCount] = {
    rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0),
    rgb(0, 0, 128),     rgb(128, 0, 128), rgb(0, 128, 128), rgb(128, 128, 128),
    rgb(192, 192, 192), rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(255, 255, 0),
    rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255),
};

QColor toQColor(Rgb c)
{
    return QColor(rgbRed(c), rgbGreen(c), rgbBlue(c));
}
Rgb fromQColor(const QColor& c)
{
    return rgb(c.red(), c.green(), c.blue());
}

QIcon swatch(Rgb colour, QSize size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(toQColor(colour));
    p.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

} // namespace

ColorPicker::ColorPicker(QWidget* parent) : QComboBox(parent)
{
    setIconSize(QSize(40, 14));
    for (Rgb c : basicColours)
        addItem(swatch(c, iconSize()), QString(), QVariant::fromValue(c));
    addItem(swatch(0, iconSize()), QStringLiteral("Other..."), QVariant::fromValue(Rgb(0)));
    setMaxVisibleItems(count());

    m_dialog = [](const QColor& initial, QWidget* parent) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    };
    // Only the user's choice asks for a colour; setting a colour from the program never does.
    connect(this, &QComboBox::activated, this, &ColorPicker::cbColor1Change);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { Q_EMIT colourChanged(colour()); });
}

Rgb ColorPicker::basicColour(int index)
{
    return (index >= 0 && index < basicCount) ? basicColours[index] : 0;
}

void ColorPicker::setColour(Rgb colour)
{
    colour &= 0xFFFFFF;
    for (int i = 0; i < basicCount; ++i) {
        if (basicColours[i] == colour) {
            setCurrentIndex(i);
            return;
        }
    }
    setOtherColour(colour);
    if (currentIndex() == otherIndex)
        Q_EMIT colourChanged(colour);
    else
        setCurrentIndex(otherIndex);
}

Rgb ColorPicker::colour() const
{
    const int i = currentIndex();
    return i < 0 ? 0 : itemData(i).value<Rgb>();
}

Rgb ColorPicker::otherColour() const
{
    return itemData(otherIndex).value<Rgb>();
}

void ColorPicker::setOtherColour(Rgb colour)
{
    setItemData(otherIndex, QVariant::fromValue(colour));
    setItemIcon(otherIndex, swatch(colour, iconSize()));
}

void ColorPicker::cbColor1Change(int index)
{
    if (!isVisible() || m_tag != 0 || index != otherIndex || !m_dialog)
        return;
    const std::optional<QColor> chosen = m_dialog(toQColor(otherColour()), this);
    if (!chosen || !chosen->isValid())
        return;
    m_tag = 1;
    setOtherColour(fromQColor(*chosen));
    Q_EMIT colourChanged(colour());
    m_tag = 0;
}
