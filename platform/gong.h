#pragma once

#include <QString>

// Asynchronous WAVE playback. Every failure is silent: no audio server means silence.
class GongPlayer {
public:
    virtual ~GongPlayer() = default;
    // Plays the file once without waiting.
    virtual void play(const QString& file) = 0;
    // Plays the file to completion (used for all but the last of several plays).
    virtual void playAndWait(const QString& file) = 0;
};
