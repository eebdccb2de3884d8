#include "app/run_sequence.h"

RunSequence::RunSequence(RaceClock& clock, RunControls& controls, GongPlayer& gong)
    : m_clock(clock), m_controls(controls), m_gong(gong)
{
}

void RunSequence::PlayGong(const QString& file, int count)
{
    if (!m_clock.settings().sound || file.isEmpty())
        return;
    for (int i = 1; i < count; ++i)
        m_gong.playAndWait(file);
    m_gong.play(file);
}

void RunSequence::mTimerClick()
{
    RunState& st = m_clock.state();
    const RaceSettings& cfg = m_clock.settings();
    st.CountdownMode = cfg.timer > 0;
    if (!m_clock.running() && st.PauseTick == -1)
        st.StartTick = m_clock.now();
    m_clock.setRunning(!m_clock.running());
    const quint32 now = m_clock.now();
    if (!m_clock.running()) {
        st.PauseTick = qint32(now);
        m_controls.setTimerTextRed(true);
    } else {
        m_controls.setTimerTextRed(false);
        if (st.PauseTick != -1)
            st.StartTick = st.StartTick + (now - quint32(st.PauseTick));
    }
    m_controls.enableSettings(false);
    m_controls.setButton(Command::Naechster, false, Face::Face);
    m_controls.setButton(Command::Start, true, Face::Green);
    m_controls.setButton(Command::Stop, false, Face::Face);
    m_controls.setButton(Command::Eintragen, false, Face::Face);
    if (m_clock.running()) {
        PlayGong(cfg.sound0, 1);
        m_controls.focusButton(Command::Start);
    }
    if (cfg.autoFrei)
        m_controls.setBarrierArmed(Barrier::Start, true);
    m_controls.refreshTopTen();
}

void RunSequence::mStartClick()
{
    RunState& st = m_clock.state();
    // The tick is read before anything else changes.
    const quint32 now = m_clock.now();
    st.CountdownMode = false;
    st.PhaseOneTime = 0;
    st.StartTick = now;
    st.ColourState = 3;
    st.RowColours[0].lit = m_clock.settings().palette[3];
    m_clock.RecolourDigits();
    m_clock.setRunning(true);
    st.PauseTick = 0;
    m_controls.setButton(Command::Absage, false, Face::Face);
    m_controls.setButton(Command::Timer, false, Face::Face);
    m_controls.setTimerTextRed(false);
    m_controls.setButton(Command::Start, false, Face::Face);
    m_controls.setButton(Command::Stop, true, Face::Red);
    m_controls.setButton(Command::Naechster, false, Face::Face);
    m_controls.setButton(Command::Eintragen, false, Face::Face);
    m_controls.setPunkte1Enabled(true);
    m_controls.focusButton(Command::Stop);
    m_controls.enableSettings(false);
    m_controls.setBarrierArmed(Barrier::Start, false);
    if (m_clock.settings().autoFrei)
        m_controls.setBarrierArmed(Barrier::Stop, true);
    m_controls.refreshTopTen();
}

void RunSequence::mStopClick()
{
    RunState& st = m_clock.state();
    st.StopTick = m_clock.now();
    const RaceSettings& cfg = m_clock.settings();
    const bool keepRunning = cfg.phases > 1 && st.CurrentPhase == 1;
    if (!keepRunning)
        m_clock.setRunning(false);
    if (keepRunning) {
        m_clock.ShowTime(1, tickDiff(st.StopTick, st.StartTick));
        st.CurrentPhase = 2;
        st.PhaseOneTime = tickDiff(st.StopTick, st.StartTick);
        st.StartTick = st.StopTick;
        st.ColourState = 3;
        st.RowColours[1].lit = cfg.palette[3];
        m_clock.RecolourDigits();
        m_controls.setStopCaption(QStringLiteral("STOPP2"));
    }

    const bool running = m_clock.running();
    m_controls.setBarrierArmed(Barrier::Start, false);
    if (!running)
        m_controls.setBarrierArmed(Barrier::Stop, false);
    m_controls.setBarrierArmed(Barrier::Finish, false);
    if (cfg.autoFrei && running)
        m_controls.setBarrierArmed(Barrier::Finish, true);

    m_controls.setButton(Command::Start, false, Face::Face);
    m_controls.setButton(Command::Stop, running, running ? Face::Red : Face::Face);
    m_controls.setButton(Command::Eintragen, !running, running ? Face::Face : Face::Blue);

    m_clock.ShowTime(st.CurrentPhase, tickDiff(st.StopTick, st.StartTick));
    if (!running)
        m_controls.focusButton(Command::Eintragen);
    m_controls.processPendingEvents();
}

void RunSequence::mEintragenClick()
{
    RunState& st = m_clock.state();
    m_clock.setRunning(false);
    m_controls.enterResult(st.PhaseOneTime, tickDiff(st.StopTick, st.StartTick));
    m_controls.setButton(Command::Eintragen, false, Face::Face);
    m_controls.setButton(Command::Naechster, true, Face::Black);
    m_controls.setBarrierArmed(Barrier::Start, false);
    m_controls.setBarrierArmed(Barrier::Stop, false);
    m_controls.setBarrierArmed(Barrier::Finish, false);
    st.StopTick = st.StartTick;
    m_controls.setPunkte1Enabled(false);
    m_controls.enableSettings(true);
    m_controls.focusButton(Command::Naechster);
    m_controls.updateProtocolButtons();
    m_controls.refreshTopTen();
}

void RunSequence::bAbsageClick()
{
    RunState& st = m_clock.state();
    st.PhaseOneTime = -1;
    st.StopTick = quint32(-1);
    st.StartTick = 0;
    m_controls.setButton(Command::Timer, false, Face::Face);
    m_controls.setButton(Command::Start, false, Face::Face);
    m_controls.setButton(Command::Absage, false, Face::Face);
    // The EINTRAGEN button's click runs although the button is disabled.
    mEintragenClick();
    m_controls.updateProtocolButtons();
}

void RunSequence::bRESETClick()
{
    RunState& st = m_clock.state();
    const RaceSettings& cfg = m_clock.settings();
    m_clock.setRunning(false);
    st.CurrentPhase = 1;
    if (cfg.phases > 1)
        m_controls.setStopCaption(QStringLiteral("STOPP1"));
    st.ColourState = 2;
    st.RowColours[0].lit = cfg.palette[2];
    m_clock.RecolourDigits();
    m_clock.dimSecondRowLeading();

    m_controls.clearEntryFields();
    if (m_controls.nextEntryEnabled())
        m_controls.clickNextEntry();

    m_controls.setButton(Command::Start, true, Face::Green);
    m_controls.setButton(Command::Naechster, false, Face::Face);
    m_controls.setButton(Command::Eintragen, false, Face::Face);
    m_controls.setButton(Command::Timer, true, Face::Yellow);
    m_controls.setTimerTextRed(false);
    st.StopTick = st.StartTick;
    m_controls.resetPointsFields();
    m_controls.setButton(Command::Absage, true, Face::Face);
    m_controls.resetBarrierMemory();

    const bool timerShown = m_controls.timerButtonVisible();
    m_controls.focusButton(timerShown ? Command::Timer : Command::Start);
    m_controls.setBarrierArmed(Barrier::Start, !timerShown);
    m_controls.setBarrierArmed(Barrier::Stop, false);
    m_controls.setBarrierArmed(Barrier::Finish, false);

    st.PauseTick = -1;
    m_clock.showIdleTimes();
    m_controls.enableSettings(true);
    m_controls.updateProtocolButtons();
    m_controls.refreshTopTen();
}
