#pragma once
// The session's sounds on Qt Multimedia: one short WAV file per sound, in the sounds/
// folder of the program's assets, each loaded once into a QSoundEffect. With no audio
// device (a server, a test run, a desktop without sound) or a file that cannot be read, a
// sound is silently not played: nothing here ever shows a box or stops the program.

#include <QObject>
#include <QString>

#include <array>
#include <memory>

#include "session/alert_ports.h"

class QSoundEffect;

namespace marovin::platform {

class QtSoundPlayer : public QObject, public session::SoundPort {
    Q_OBJECT
public:
    // folder: where the WAV files are (ending in '/'); volume 0..100.
    explicit QtSoundPlayer(const QString& folder, int volume = 70, QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    void playSound(SoundEvent event) override;
    void setVolume(int volume);

    // The file of a sound: "<folder><name>.wav" with the sound's settings name.
    QString fileOf(SoundEvent event) const;
    // Whether an audio output exists to play on.
    static bool hasAudioOutput();

private:
    QSoundEffect* effect(SoundEvent event);

    QString m_folder;
    qreal m_volume;
    std::array<QSoundEffect*, kSoundCount> m_effects{}; // made on first use, children of this
};

} // namespace marovin::platform
