#include "widgets/CommandKeyGuard.h"

#include <QKeyEvent>
#include <QWidget>

CommandKeyGuard::CommandKeyGuard(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {}

bool CommandKeyGuard::typesWithAlt(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers();
    if (!(mods & Qt::AltModifier) || (mods & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool CommandKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_window)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    return typesWithAlt(*static_cast<QKeyEvent*>(event));
}
