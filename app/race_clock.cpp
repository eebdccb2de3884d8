#include "app/race_clock.h"

#include "app/penalty_points.h"

#include <limits>

using Row = ClockDisplay::Row;
using Label = ClockDisplay::Label;

namespace {

qint32 saturated(qint64 ms)
{
    return qint32(
        qBound(qint64(std::numeric_limits<qint32>::min()), ms, qint64(std::numeric_limits<qint32>::max())));
}

} // namespace

qint32 countdownLengthMs(const RaceSettings& s)
{
    return saturated(qint64(s.timer) * 100);
}

qint32 allowedDeviationMs(const RaceSettings& s)
{
    return saturated(qint64(s.elz1) * 1000);
}

RaceClock::RaceClock(const TickSource& ticks, ClockDisplay& display, ClockHost& host, QObject* parent)
    : QObject(parent), m_ticks(ticks), m_display(display), m_host(host)
{
    m_clock.setObjectName(QStringLiteral("Clock"));
    m_clock.setInterval(10);
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, &RaceClock::ClockTimer);
}

void RaceClock::setRunning(bool run)
{
    if (run)
        m_clock.start();
    else
        m_clock.stop();
}

void RaceClock::ClockTimer()
{
    ShowTime(m_state.CurrentPhase, tickDiff(m_ticks.now(), m_state.StartTick));
}

void RaceClock::ShowTime(int row, qint32 a)
{
    if (m_state.CountdownMode) {
        a = saturated(qint64(countdownLengthMs(m_settings)) - a);
        if (a < 1)
            m_host.clickStart();
    } else if (m_state.CurrentPhase != 1) {
        const qint64 limit = qint64(m_settings.elz1) * 1000 + m_state.PhaseOneTime;
        if (qint64(a) > limit) {
            if (m_state.ColourState != 4) {
                m_state.ColourState = 4;
                m_state.RowColours[1].lit = palette(4);
                RecolourDigits();
            }
            const qint32 x = qint32(qint64(a) - m_state.PhaseOneTime);
            const long double points =
                penaltyPoints(x, m_settings.elz1, m_settings.sekPachka, m_settings.pktSek);
            m_host.setPenaltyPointsText(penaltyPointsText(points, m_locale));
        }
    }
    const qint32 h = a / 10;
    ShowDigits(row, (h / 6000) % 60, (h / 100) % 60, h % 100);
}

void RaceClock::ShowDigits(int row, int m, int s, int c)
{
    const RowColourPair pair = m_state.RowColours[row == 2 ? 1 : 0];
    const Rgb c3 = m / 10 > 0 ? pair.lit : pair.dim;
    const Rgb c4 = m > 0 ? pair.lit : pair.dim;
    const Rgb c5 = (m > 0 || s / 10 > 0) ? pair.lit : pair.dim;

    const auto leading = [&](Row r) {
        m_display.setDigitValue(r, 3, m / 10);
        m_display.setDigitColorOn(r, 3, c3);
        m_display.setDigitValue(r, 4, m % 10);
        m_display.setDigitColorOn(r, 4, c4);
        m_display.setDigitValue(r, 5, s / 10);
        m_display.setDigitColorOn(r, 5, c5);
    };

    if (row == 2) {
        leading(Row::Main2);
        m_display.setLabelColour(Label::LabMin2, c4);
        const Rgb c6 = (m + s + c > 0) ? pair.lit : pair.dim;
        m_display.setDigitValue(Row::Main2, 6, s % 10);
        m_display.setDigitColorOn(Row::Main2, 6, c6);
        m_display.setDigitValue(Row::Main2, 7, c / 10);
        m_display.setDigitColorOn(Row::Main2, 7, c6);
        m_display.setDigitValue(Row::Main2, 8, c % 10);
        m_display.setDigitColorOn(Row::Main2, 8, c6);
        m_display.setLabelColour(Label::LabSec2, c6);
        return;
    }

    leading(Row::Main1);
    m_display.setLabelColour(Label::LabMin, c4);
    m_display.setLabelColour(Label::Lab_Min, c4);
    m_display.setDigitValue(Row::Main1, 6, s % 10);
    m_display.setDigitValue(Row::Main1, 7, c / 10);
    m_display.setDigitValue(Row::Main1, 8, c % 10);

    if (m_display.monitorExists()) {
        leading(Row::Monitor);
        m_display.setLabelColour(Label::MonLabMin, c4);
        m_display.setDigitValue(Row::Monitor, 6, s % 10);
        // The spectators see whole seconds while the clock runs.
        const bool run = running();
        m_display.setDigitValue(Row::Monitor, 7, run ? 0 : c / 10);
        m_display.setDigitValue(Row::Monitor, 8, run ? 0 : c % 10);
    }
}

void RaceClock::RecolourDigits()
{
    const int phase = m_state.CurrentPhase == 2 ? 2 : 1;
    const Rgb lit = palette(m_state.ColourState);
    const Rgb c0 = palette(0);
    m_state.RowColours[phase - 1] = {palette(1), lit};

    const auto paint = [&](Row r) {
        for (int d = 4; d <= 8; ++d) {
            m_display.setDigitColorOn(r, d, lit);
            m_display.setDigitColorOff(r, d, c0);
            m_display.setDigitBackground(r, d, c0);
        }
    };
    paint(phase == 2 ? Row::Main2 : Row::Main1);
    m_display.setLabelColour(phase == 2 ? Label::LabSec2 : Label::LabSec, lit);
    m_display.setLabelColour(Label::Lab_sek, lit);
    m_display.setLabelColour(Label::Lab_100, lit);
    if (m_display.monitorExists()) {
        paint(Row::Monitor);
        m_display.setLabelColour(Label::MonLabSec, lit);
    }
}

void RaceClock::startupDisplay()
{
    const Rgb c0 = palette(0);
    for (int d = 3; d <= 5; ++d)
        m_display.setDigitBackground(Row::Main2, d, c0);
    m_display.setPanelBackground(c0);
    m_state.CurrentPhase = 2;
    RecolourDigits();
    m_state.CurrentPhase = 1;
    RecolourDigits();
    showIdleTimes();
}

void RaceClock::showIdleTimes()
{
    m_state.CountdownMode = false;
    ShowTime(2, 0);
    m_state.CountdownMode = m_settings.timer > 0;
    ShowTime(1, 0);
}

void RaceClock::dimSecondRowLeading()
{
    const Rgb c1 = palette(1);
    for (int d = 3; d <= 5; ++d)
        m_display.setDigitColorOn(Row::Main2, d, c1);
    m_display.setLabelColour(Label::LabSec2, c1);
}
