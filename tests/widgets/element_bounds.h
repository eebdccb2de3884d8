#pragma once

// Where the visible parts of a window's elements lie, for layout tests: a
// child widget is clipped by every ancestor, a label's text by the label.
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QWidget>

// The ink of a label's text (the pixels its glyphs cover), in the label's coordinates.
inline QRect labelTextInk(const QLabel* label)
{
    const QFontMetrics fm(label->font());
    const QRect line = fm.boundingRect(label->contentsRect(), int(label->alignment()), label->text());
    return fm.tightBoundingRect(label->text()).translated(line.left(), line.top() + fm.ascent());
}

// Names of the shown elements of window that are cut: a widget not inside
// its parent, a label's text not inside its label, or anything outside the window.
inline QStringList clippedElements(const QWidget& window)
{
    QStringList cut;
    const QRect windowRect = window.rect();
    const auto children = window.findChildren<QWidget*>();
    for (const QWidget* w : children) {
        if (!w->isVisibleTo(&window) || w->isWindow())
            continue;
        const QString name =
            w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        const QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (!windowRect.contains(inWindow) || !w->parentWidget()->rect().contains(w->geometry()))
            cut << name;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (!label->text().isEmpty() && !label->rect().contains(labelTextInk(label)))
                cut << name + QStringLiteral(" text \"") + label->text() + QLatin1Char('"');
        }
    }
    return cut;
}
