#include "windows/alerts_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_buttons.h"

namespace marovin::windows {

namespace {

// The captions of the sounds and notifications, in the order of their enums. Each takes
// a mnemonic letter of its own in the dialog.
constexpr std::array<const char*, kSoundCount> kSoundCaptions = {
    "&Move on my board", "Ca&pture", "Chec&k", "Game &start", "Game &end", "&Tell", "&Challenge", "&Low-time alarm"};
constexpr std::array<const char*, kNoticeCount> kNoticeCaptions = {"The &opponent moved", "&Incoming tell",
                                                                  "Incoming challen&ge", "My game en&ded"};

QSpinBox* secondsBox(int value)
{
    auto* box = new QSpinBox;
    box->setRange(0, kLongestAlarmSeconds);
    box->setSuffix(QStringLiteral(" s"));
    box->setSpecialValueText(QStringLiteral("off"));
    box->setValue(value);
    return box;
}

} // namespace

CAlertsDlg::CAlertsDlg(const AlertSettings& settings, std::function<void(SoundEvent, int)> hear, QWidget* parent)
    : QDialog(parent), m_hear(std::move(hear)),
      m_reconnect(new QCheckBox(tr("&Reconnect by itself when the connection is lost"))), m_volume(new QSlider),
      m_firstAlarm(secondsBox(settings.alarmFirstSeconds)), m_secondAlarm(secondsBox(settings.alarmSecondSeconds)),
      m_initial(settings)
{
    setObjectName(QStringLiteral("alertsDialog"));
    setWindowTitle(tr("Connection and Alerts"));
    setModal(true);
    m_reconnect->setObjectName(QStringLiteral("reconnect"));
    m_reconnect->setChecked(settings.reconnect);
    for (std::size_t i = 0; i < kSoundCount; ++i)
        m_sounds[i] = new QCheckBox(tr(kSoundCaptions[i]));
    for (std::size_t i = 0; i < kNoticeCount; ++i) {
        m_notices[i] = new QCheckBox(tr(kNoticeCaptions[i]));
        m_notices[i]->setChecked(settings.notices[i]);
    }
    for (std::size_t i = 0; i < kSoundCount; ++i)
        m_sounds[i]->setChecked(settings.sounds[i]);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* columns = new QHBoxLayout;
    columns->addWidget(soundGroup());
    auto* right = new QVBoxLayout;
    right->addWidget(noticeGroup());
    right->addWidget(alarmGroup());
    right->addStretch(1);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_reconnect);
    layout->addLayout(columns);
    layout->addWidget(buttons);
}

QWidget* CAlertsDlg::soundGroup()
{
    auto* group = new QGroupBox(tr("Sounds"));
    auto* grid = new QGridLayout(group);
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        auto* hear = makeButton(QStringLiteral("\u25B6"), group);
        hear->setToolTip(tr("Hear it"));
        hear->setMaximumWidth(hear->sizeHint().height() + 8);
        const auto event = static_cast<SoundEvent>(i);
        connect(hear, &QPushButton::clicked, this, [this, event] {
            if (m_hear)
                m_hear(event, m_volume->value());
        });
        grid->addWidget(m_sounds[i], static_cast<int>(i), 0);
        grid->addWidget(hear, static_cast<int>(i), 1);
    }
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setOrientation(Qt::Horizontal);
    m_volume->setRange(0, kMaxVolume);
    m_volume->setValue(m_initial.volume);
    auto* label = new QLabel(tr("&Volume:"));
    label->setBuddy(m_volume);
    const int row = static_cast<int>(kSoundCount);
    grid->addWidget(label, row, 0);
    grid->addWidget(m_volume, row + 1, 0, 1, 2);
    return group;
}

QWidget* CAlertsDlg::noticeGroup()
{
    auto* group = new QGroupBox(tr("Desktop notifications (while Marovin is not active)"));
    auto* column = new QVBoxLayout(group);
    for (QCheckBox* box : m_notices)
        column->addWidget(box);
    return group;
}

QWidget* CAlertsDlg::alarmGroup()
{
    auto* group = new QGroupBox(tr("Low-time alarm: my clock turns red and blinks under"));
    auto* row = new QHBoxLayout(group);
    auto* first = new QLabel(tr("&First:"));
    first->setBuddy(m_firstAlarm);
    auto* second = new QLabel(tr("T&hen:"));
    second->setBuddy(m_secondAlarm);
    row->addWidget(first);
    row->addWidget(m_firstAlarm);
    row->addWidget(second);
    row->addWidget(m_secondAlarm);
    return group;
}

AlertSettings CAlertsDlg::settings() const
{
    AlertSettings settings = m_initial;
    settings.reconnect = m_reconnect->isChecked();
    settings.volume = m_volume->value();
    for (std::size_t i = 0; i < kSoundCount; ++i)
        settings.sounds[i] = m_sounds[i]->isChecked();
    for (std::size_t i = 0; i < kNoticeCount; ++i)
        settings.notices[i] = m_notices[i]->isChecked();
    settings.alarmFirstSeconds = m_firstAlarm->value();
    settings.alarmSecondSeconds = m_secondAlarm->value();
    return settings;
}

} // namespace marovin::windows
