#pragma once

#include "platform/gong.h"

#include <QHash>
#include <QObject>

class QSoundEffect;

// WAVE playback through Qt Multimedia. Each file is loaded once; failures
// (missing file, no audio server) are silent.
class QtGongPlayer final : public QObject, public GongPlayer {
    Q_OBJECT
public:
    explicit QtGongPlayer(QObject* parent = nullptr);
    void play(const QString& file) override;
    void playAndWait(const QString& file) override;

private:
    QSoundEffect* effect(const QString& file);
    QHash<QString, QSoundEffect*> m_effects;
};
