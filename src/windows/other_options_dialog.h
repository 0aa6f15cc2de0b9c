#pragma once
// "Other Option Dialog" (modal): the tool bar's two shout texts, the start-up commands
// sent after login, the commands sent automatically and their interval in minutes. OK
// stores them and writes the settings file when a byte changed; Cancel after a change asks
// "Data not saved. Sure to exit ?" (only Yes leaves, storing nothing).

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "options/options.h"
#include "options/other_options.h"

namespace marovin::windows {

constexpr int kOtherOptionsResource = 213;
inline constexpr char kOtherOptionsTitle[] = "Other Option Dialog";
inline constexpr char kDiscardQuestion[] = "Data not saved. Sure to exit ?";

class COtherOptionsDlg : public QDialog {
    Q_OBJECT
public:
    COtherOptionsDlg(Options& options, const SettingsFile& settings, DesktopPort& desktop, const QFont& listFont,
                     QWidget* parent = nullptr);

    QLineEdit* thanksEdit() const { return m_thanks; }
    QLineEdit* seekEdit() const { return m_seek; }
    QPlainTextEdit* startupEdit() const { return m_startup; }
    QPlainTextEdit* autoEdit() const { return m_auto; }
    QLineEdit* intervalEdit() const { return m_interval; }
    bool modified() const { return m_modified; }

    void accept() override;
    void reject() override;

private:
    // The edited values in Big5, or nothing when a text cannot be stored (the user was told).
    std::optional<OtherOptions> editedValues();

    Options& m_options;
    const SettingsFile& m_settings;
    DesktopPort& m_desktop;
    QLineEdit* m_thanks;
    QLineEdit* m_seek;
    QPlainTextEdit* m_startup;
    QPlainTextEdit* m_auto;
    QLineEdit* m_interval;
    bool m_modified = false;
};

} // namespace marovin::windows
