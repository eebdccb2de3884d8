#pragma once

// The main window's controls compared with the run sequence's table of control states.
#include "app/FMain.h"
#include "app/run_sequence_states.h"
#include "widgets/CommandButton.h"

#include <QAction>
#include <QApplication>

inline QColor faceColour(Face f)
{
    switch (f) {
    case Face::Face:
        return QColor();
    case Face::Green:
        return QColor(0, 128, 0);
    case Face::Red:
        return QColor(255, 0, 0);
    case Face::Yellow:
        return QColor(255, 255, 0);
    case Face::Blue:
        return QColor(0, 128, 255);
    case Face::Black:
        return QColor(0, 0, 0);
    }
    return QColor();
}

// Every control the current run state decides, compared with its row of the table.
// Returns "" when all agree, else what differs.
inline QString controlsDifferFromTable(const TFormMain& w, const RunStateControls& row)
{
    static const char* const buttons[kCommandCount] = {"bTimer",     "bSTART", "bSTOP",
                                                       "bEINTRAGEN", "bRESET", "bAbsage"};
    static const char* const menus[kCommandCount] = {"mTimer",     "mStart", "mStop",
                                                     "mEintragen", "mReset", nullptr};
    QStringList diff;
    for (int i = 0; i < kCommandCount; ++i) {
        const auto* b = w.control<CommandButton>(QString::fromLatin1(buttons[i]));
        const ButtonState& want = row.buttons[size_t(i)];
        if (b->isEnabled() != want.enabled)
            diff << QStringLiteral("%1 enabled %2").arg(QLatin1String(buttons[i])).arg(b->isEnabled());
        // Absage keeps its own dark red face.
        const QColor face =
            i == int(Command::Absage) && want.face == Face::Face ? QColor(113, 8, 8) : faceColour(want.face);
        if (b->face() != face)
            diff << QStringLiteral("%1 face %2").arg(QLatin1String(buttons[i]), b->face().name());
        // With TIMER hidden, F4 follows the visibility at start-up and after the settings.
        const bool timerHidden = i == int(Command::Timer) && b->isHidden();
        if (menus[i] && !timerHidden &&
            w.menuAction(QString::fromLatin1(menus[i]))->isEnabled() != want.enabled)
            diff << QStringLiteral("%1 enabled").arg(QLatin1String(menus[i]));
    }
    const QColor timerText = w.control<CommandButton>(QStringLiteral("bTimer"))->textColour();
    if (timerText != (row.timerTextRed ? QColor(255, 0, 0) : QColor(0, 0, 0)))
        diff << QStringLiteral("TIMER text %1").arg(timerText.name());
    if (w.control<QWidget>(QStringLiteral("bCFG"))->isEnabled() != row.settings ||
        w.menuAction(QStringLiteral("EinstellunGen1"))->isEnabled() != row.settings)
        diff << QStringLiteral("settings");
    if (w.control<QWidget>(QStringLiteral("sbLoad"))->isEnabled() != row.load)
        diff << QStringLiteral("sbLoad");
    if (row.punkte1 && w.menuAction(QStringLiteral("Punkte1"))->isEnabled() != *row.punkte1)
        diff << QStringLiteral("Punkte1");
    const QString caption = w.control<CommandButton>(QStringLiteral("bSTOP"))->text();
    if (row.stopCaption && caption != *row.stopCaption)
        diff << QStringLiteral("STOPP caption %1").arg(caption);
    if (row.focus) {
        const QWidget* f = QApplication::focusWidget();
        const QString want = QString::fromLatin1(buttons[int(*row.focus)]);
        if (!f || f->objectName() != want)
            diff << QStringLiteral("focus on %1, not %2")
                        .arg(f ? f->objectName() : QStringLiteral("nothing"), want);
    }
    return diff.join(QStringLiteral("; "));
}

inline QString controlsDifferFromTable(TFormMain& w)
{
    return controlsDifferFromTable(w, w.sequence().currentControls());
}
