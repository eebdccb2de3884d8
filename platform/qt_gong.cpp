#include "platform/qt_gong.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

QtGongPlayer::QtGongPlayer(QObject* parent) : QObject(parent) {}

QSoundEffect* QtGongPlayer::effect(const QString& file)
{
    if (!QFileInfo(file).isFile())
        return nullptr;
    QSoundEffect*& e = m_effects[file];
    if (!e) {
        e = new QSoundEffect(this);
        e->setSource(QUrl::fromLocalFile(file));
    }
    return e;
}

void QtGongPlayer::play(const QString& file)
{
    if (QSoundEffect* e = effect(file))
        e->play();
}

void QtGongPlayer::playAndWait(const QString& file)
{
    QSoundEffect* e = effect(file);
    if (!e)
        return;
    e->play();
    // Bounded wait, so a stuck audio device never blocks the program.
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    connect(e, &QSoundEffect::playingChanged, &loop, [&loop, e] {
        if (!e->isPlaying())
            loop.quit();
    });
    if (e->isPlaying())
        loop.exec();
}
