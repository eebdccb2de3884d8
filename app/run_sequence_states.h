#pragma once

#include <QString>

#include <array>
#include <optional>

// The commands of the run sequence and their buttons.
enum class Command { Timer, Start, Stop, Eintragen, Naechster, Absage };
constexpr int kCommandCount = 6;

// Button faces used by the sequence.
enum class Face { Face, Green, Red, Yellow, Blue, Black };

// Where the run of the current competitor stands.
enum class SequenceState {
    Ready,
    CountdownRunning,
    CountdownPaused,
    RunningPhase1,
    RunningPhase2,
    Stopped,
    Entered
};
constexpr int kSequenceStateCount = 7;

struct ButtonState {
    bool enabled = false;
    Face face = Face::Face;
    bool operator==(const ButtonState& o) const { return enabled == o.enabled && face == o.face; }
    bool operator!=(const ButtonState& o) const { return !(*this == o); }
};

// The control states one run state implies. A command's menu item follows its
// button (mTimer differs only at start-up and after settings are applied, where it
// follows the visibility of TIMER). An empty optional leaves that control as it is.
struct RunStateControls {
    std::array<ButtonState, kCommandCount> buttons{};
    // TIMER's text: red while the countdown is paused, black otherwise.
    bool timerTextRed = false;
    // The settings command (bCFG, F2) and opening a protocol (sbLoad): both could
    // change the competitor or the barriers under a timed run.
    bool settings = false;
    bool load = false;
    // Alt+P: enabled by START, disabled by EINTRAGEN, so before START it depends on
    // what came before (enabled at program start).
    std::optional<bool> punkte1;
    std::optional<QString> stopCaption;
    std::optional<Command> focus;

    const ButtonState& button(Command c) const { return buttons[size_t(c)]; }
    bool operator==(const RunStateControls& o) const
    {
        return buttons == o.buttons && timerTextRed == o.timerTextRed && settings == o.settings &&
               load == o.load && punkte1 == o.punkte1 && stopCaption == o.stopCaption && focus == o.focus;
    }
    bool operator!=(const RunStateControls& o) const { return !(*this == o); }
};

// The one table of control states, run state -> controls. timerShown: TIMER is
// visible (a countdown is configured); it decides the focus in Ready.
RunStateControls runStateControls(SequenceState state, bool timerShown);

// "Ready", "CountdownRunning", ... (for messages and tests).
const char* sequenceStateName(SequenceState state);
