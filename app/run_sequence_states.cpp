#include "app/run_sequence_states.h"

namespace {

struct Row {
    SequenceState state;
    ButtonState timer, start, stop, eintragen, naechster, absage;
    bool timerTextRed, settings, load;
    std::optional<bool> punkte1;
    const char* stopCaption; // nullptr: unchanged
    enum class FocusOn { Unchanged, TimerOrStart, Start, Stop, Eintragen, Naechster } focus;
};

constexpr ButtonState off{false, Face::Face};
constexpr ButtonState on(Face f)
{
    return {true, f};
}
using F = Row::FocusOn;
const std::optional<bool> keep;

// clang-format off
const Row kRows[kSequenceStateCount] = {
    // state                            TIMER            START            STOPP          EINTRAGEN        NÄCHSTER          Absage           red    settings load  Alt+P  caption    focus
    {SequenceState::Ready,            on(Face::Yellow), on(Face::Green), off,           off,             off,              on(Face::Face),  false, true,  true,  keep,  "STOPP1", F::TimerOrStart},
    {SequenceState::CountdownRunning, on(Face::Yellow), on(Face::Green), off,           off,             off,              on(Face::Face),  false, false, false, keep,  "STOPP1", F::Start},
    {SequenceState::CountdownPaused,  on(Face::Yellow), on(Face::Green), off,           off,             off,              on(Face::Face),  true,  false, false, keep,  "STOPP1", F::Unchanged},
    {SequenceState::RunningPhase1,    off,              off,             on(Face::Red), off,             off,              off,             false, false, false, true,  "STOPP1", F::Stop},
    // Phase 2 leaves the focus where START put it, or where the operator typed points since.
    {SequenceState::RunningPhase2,    off,              off,             on(Face::Red), off,             off,              off,             false, false, false, true,  "STOPP2", F::Unchanged},
    {SequenceState::Stopped,          off,              off,             off,           on(Face::Blue),  off,              off,             false, false, false, true,  nullptr,  F::Eintragen},
    {SequenceState::Entered,          off,              off,             off,           off,             on(Face::Black),  off,             false, true,  true,  false, nullptr,  F::Naechster},
};
// clang-format on

} // namespace

RunStateControls runStateControls(SequenceState state, bool timerShown)
{
    const Row& r = kRows[qBound(0, int(state), kSequenceStateCount - 1)];
    RunStateControls c;
    c.buttons = {r.timer, r.start, r.stop, r.eintragen, r.naechster, r.absage};
    c.timerTextRed = r.timerTextRed;
    c.settings = r.settings;
    c.load = r.load;
    c.punkte1 = r.punkte1;
    if (r.stopCaption)
        c.stopCaption = QString::fromLatin1(r.stopCaption);
    switch (r.focus) {
    case F::Unchanged:
        break;
    case F::TimerOrStart:
        c.focus = timerShown ? Command::Timer : Command::Start;
        break;
    case F::Start:
        c.focus = Command::Start;
        break;
    case F::Stop:
        c.focus = Command::Stop;
        break;
    case F::Eintragen:
        c.focus = Command::Eintragen;
        break;
    case F::Naechster:
        c.focus = Command::Naechster;
        break;
    }
    return c;
}

const char* sequenceStateName(SequenceState state)
{
    static const char* const names[kSequenceStateCount] = {
        "Ready",         "CountdownRunning", "CountdownPaused", "RunningPhase1",
        "RunningPhase2", "Stopped",          "Entered"};
    const int i = int(state);
    return (i >= 0 && i < kSequenceStateCount) ? names[i] : "?";
}
