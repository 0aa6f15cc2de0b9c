#include "platform/qt_sound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>

namespace marovin::platform {

QtSoundPlayer::QtSoundPlayer(const QString& folder, int volume, QObject* parent)
    : QObject(parent), m_folder(folder), m_volume(0)
{
    setVolume(volume);
}

QtSoundPlayer::~QtSoundPlayer() = default;

QString QtSoundPlayer::fileOf(SoundEvent event) const
{
    const std::string_view name = kSoundNames[static_cast<std::size_t>(event)];
    return m_folder + QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())) + QStringLiteral(".wav");
}

bool QtSoundPlayer::hasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void QtSoundPlayer::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, kMaxVolume) / static_cast<qreal>(kMaxVolume);
    for (QSoundEffect* sound : m_effects)
        if (sound)
            sound->setVolume(m_volume);
}

QSoundEffect* QtSoundPlayer::effect(SoundEvent event)
{
    QSoundEffect*& sound = m_effects[static_cast<std::size_t>(event)];
    if (!sound) {
        sound = new QSoundEffect(this);
        const QString file = fileOf(event);
        if (QFileInfo::exists(file))
            sound->setSource(QUrl::fromLocalFile(file));
        sound->setVolume(m_volume);
    }
    return sound;
}

void QtSoundPlayer::playSound(SoundEvent event)
{
    // Without an output the effect would only warn; a silent machine stays silent.
    if (m_volume <= 0 || !hasAudioOutput())
        return;
    QSoundEffect* sound = effect(event);
    if (sound->status() == QSoundEffect::Error || sound->source().isEmpty())
        return;
    sound->play(); // a sound still loading plays once it is ready
}

} // namespace marovin::platform
