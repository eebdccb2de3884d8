#include "dialogs/dialog_placement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

void centreOnParent(QWidget* dialog)
{
    if (dialog == nullptr)
        return;
    const QWidget* parent = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect anchor = parent ? parent->frameGeometry() : area;
    if (!anchor.isValid())
        return;

    // Frame margins are unknown before the first show; the client size is close enough.
    const QSize size = dialog->frameGeometry().size().expandedTo(dialog->size());
    QPoint topLeft(anchor.center().x() - size.width() / 2, anchor.center().y() - size.height() / 2);
    if (area.isValid()) {
        topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() + 1 - size.width())));
        topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() + 1 - size.height())));
    }
    dialog->move(topLeft);
}
