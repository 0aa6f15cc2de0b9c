#pragma once
// "Show / Hide the Output Window of OMRA Commands": which command outputs also get a
// window of their own. Works on a copy of the options record; OK writes the settings file
// when something changed.

#include <QCheckBox>
#include <QDialog>

#include <array>

#include "options/options.h"

namespace marovin::shell {

constexpr int kOutputWindowsDialogResource = 210;

class COutputWindowsDlg : public QDialog {
    Q_OBJECT
public:
    struct Box {
        int id;
        const char* text;
        std::int32_t Options::*field;
    };
    static const std::array<Box, 6> kBoxes;

    COutputWindowsDlg(Options& options, const SettingsFile& settings, QWidget* parent = nullptr);

    QCheckBox* checkBox(int id) const;
    void accept() override;

private:
    Options& m_options;
    const SettingsFile& m_settings;
    std::array<QCheckBox*, 6> m_checks{};
};

} // namespace marovin::shell
