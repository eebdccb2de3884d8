#include "app/run_sequence.h"

namespace {

bool beforeStart(SequenceState s)
{
    return s == SequenceState::Ready || s == SequenceState::CountdownRunning ||
           s == SequenceState::CountdownPaused;
}

} // namespace

RunSequence::RunSequence(RaceClock& clock, RunControls& controls, GongPlayer& gong)
    : m_clock(clock), m_controls(controls), m_gong(gong)
{
}

RunStateControls RunSequence::currentControls() const
{
    return runStateControls(m_state, m_controls.timerButtonVisible());
}

void RunSequence::applyCurrentControls()
{
    m_controls.applyControls(currentControls());
}

void RunSequence::enterState(SequenceState state)
{
    m_state = state;
    applyCurrentControls();
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
    if (!beforeStart(m_state))
        return;
    RunState& st = m_clock.state();
    const RaceSettings& cfg = m_clock.settings();
    st.CountdownMode = cfg.timer > 0;
    if (!m_clock.running() && st.PauseTick == -1)
        st.StartTick = m_clock.now();
    m_clock.setRunning(!m_clock.running());
    const quint32 now = m_clock.now();
    if (!m_clock.running()) {
        st.PauseTick = qint32(now);
    } else if (st.PauseTick != -1) {
        // Resumed: the countdown continues where it was paused.
        st.StartTick = st.StartTick + (now - quint32(st.PauseTick));
    }
    enterState(m_clock.running() ? SequenceState::CountdownRunning : SequenceState::CountdownPaused);
    if (m_clock.running())
        PlayGong(cfg.sound0, 1);
    if (cfg.autoFrei)
        m_controls.setBarrierArmed(Barrier::Start, true);
    m_controls.refreshTopTen();
}

void RunSequence::mStartClick()
{
    // The tick is read before anything else changes.
    const quint32 now = m_clock.now();
    if (!beforeStart(m_state))
        return;
    RunState& st = m_clock.state();
    st.CountdownMode = false;
    st.PhaseOneTime = 0;
    st.StartTick = now;
    st.ColourState = 3;
    st.RowColours[0].lit = m_clock.settings().palette[3];
    m_clock.RecolourDigits();
    m_clock.setRunning(true);
    st.PauseTick = 0;
    enterState(SequenceState::RunningPhase1);
    m_controls.setBarrierArmed(Barrier::Start, false);
    if (m_clock.settings().autoFrei)
        m_controls.setBarrierArmed(Barrier::Stop, true);
    m_controls.refreshTopTen();
}

void RunSequence::mStopClick()
{
    const quint32 now = m_clock.now();
    if (m_state != SequenceState::RunningPhase1 && m_state != SequenceState::RunningPhase2)
        return;
    RunState& st = m_clock.state();
    // In phase 2 StartTick is the tick of the STOPP that ended phase 1.
    if (m_state == SequenceState::RunningPhase2 && tickDiff(now, st.StartTick) < kStopRepeatMs)
        return;
    st.StopTick = now;
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
    }

    const bool running = m_clock.running();
    m_controls.setBarrierArmed(Barrier::Start, false);
    if (!running)
        m_controls.setBarrierArmed(Barrier::Stop, false);
    m_controls.setBarrierArmed(Barrier::Finish, false);
    if (cfg.autoFrei && running)
        m_controls.setBarrierArmed(Barrier::Finish, true);

    enterState(running ? SequenceState::RunningPhase2 : SequenceState::Stopped);
    m_clock.ShowTime(st.CurrentPhase, tickDiff(st.StopTick, st.StartTick));
    m_controls.processPendingEvents();
}

void RunSequence::mEintragenClick()
{
    if (m_state != SequenceState::Stopped)
        return;
    enterResultAndFinish();
}

void RunSequence::enterResultAndFinish()
{
    RunState& st = m_clock.state();
    m_clock.setRunning(false);
    m_controls.enterResult(st.PhaseOneTime, tickDiff(st.StopTick, st.StartTick));
    m_controls.setBarrierArmed(Barrier::Start, false);
    m_controls.setBarrierArmed(Barrier::Stop, false);
    m_controls.setBarrierArmed(Barrier::Finish, false);
    st.StopTick = st.StartTick;
    enterState(SequenceState::Entered);
    m_controls.updateProtocolButtons();
    m_controls.refreshTopTen();
}

void RunSequence::bAbsageClick()
{
    if (!beforeStart(m_state))
        return;
    RunState& st = m_clock.state();
    st.PhaseOneTime = -1;
    st.StopTick = quint32(-1);
    st.StartTick = 0;
    // Entered like EINTRAGEN, although that command is not offered before a run.
    enterResultAndFinish();
}

void RunSequence::bRESETClick()
{
    RunState& st = m_clock.state();
    const RaceSettings& cfg = m_clock.settings();
    m_clock.setRunning(false);
    st.CurrentPhase = 1;
    st.ColourState = 2;
    st.RowColours[0].lit = cfg.palette[2];
    m_clock.RecolourDigits();
    m_clock.dimSecondRowLeading();

    // Whether there is a next entry is decided before the fields are cleared: clearing
    // after the last entry leaves no entry selected, from which the list would lead
    // back to its first entry.
    const bool nextEntry = m_controls.nextEntryEnabled();
    m_controls.clearEntryFields();
    if (nextEntry)
        m_controls.clickNextEntry();

    st.StopTick = st.StartTick;
    m_controls.resetPointsFields();
    m_controls.resetBarrierMemory();
    enterState(SequenceState::Ready);

    const bool timerShown = m_controls.timerButtonVisible();
    m_controls.setBarrierArmed(Barrier::Start, !timerShown);
    m_controls.setBarrierArmed(Barrier::Stop, false);
    m_controls.setBarrierArmed(Barrier::Finish, false);

    st.PauseTick = -1;
    m_clock.showIdleTimes();
    m_controls.updateProtocolButtons();
    m_controls.refreshTopTen();
}
