#pragma once
// Option > Connection and Alerts: whether the client reconnects by itself, which sounds
// play and how loud (each with a button to hear it), which events show a desktop
// notification while Marovin is not the active window, and the low-time alarm's two
// thresholds. Works on a copy: OK hands the settings back, Cancel changes nothing.

#include <QCheckBox>
#include <QDialog>
#include <QSlider>
#include <QSpinBox>

#include <array>
#include <functional>

#include "options/alert_settings.h"

namespace marovin::windows {

class CAlertsDlg : public QDialog {
    Q_OBJECT
public:
    // hear: plays a sound at a volume (0..100) for the buttons beside the sounds.
    CAlertsDlg(const AlertSettings& settings, std::function<void(SoundEvent, int)> hear, QWidget* parent = nullptr);

    // The settings as the dialog shows them.
    AlertSettings settings() const;

    QCheckBox* reconnectBox() const { return m_reconnect; }
    QCheckBox* soundBox(SoundEvent event) const { return m_sounds[static_cast<std::size_t>(event)]; }
    QCheckBox* noticeBox(NoticeEvent event) const { return m_notices[static_cast<std::size_t>(event)]; }
    QSlider* volumeSlider() const { return m_volume; }
    QSpinBox* firstAlarmBox() const { return m_firstAlarm; }
    QSpinBox* secondAlarmBox() const { return m_secondAlarm; }

private:
    QWidget* soundGroup();
    QWidget* noticeGroup();
    QWidget* alarmGroup();

    std::function<void(SoundEvent, int)> m_hear;
    QCheckBox* m_reconnect;
    std::array<QCheckBox*, kSoundCount> m_sounds{};
    std::array<QCheckBox*, kNoticeCount> m_notices{};
    QSlider* m_volume;
    QSpinBox* m_firstAlarm;
    QSpinBox* m_secondAlarm;
    AlertSettings m_initial;
};

} // namespace marovin::windows
