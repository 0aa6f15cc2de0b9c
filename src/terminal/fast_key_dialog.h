#pragma once
// "Fast Key Dialog ( Ctrl F1 and F2 to F8)": the eight texts that Ctrl+F1 and F2 ... F8
// send. OK stores them (each at most 120 bytes of Big5) and writes the settings file; a
// text holding characters that Big5 lacks keeps the dialog open.

#include <array>

#include <QDialog>
#include <QLineEdit>

#include "options/options.h"

namespace marovin::shell {

constexpr int kFastKeyDialogResource = 214;
constexpr int kFastKeyFirstEditId = 1230; // 1230 ... 1237
constexpr int kFastKeyTextLimit = 120;

class CFastKeyDlg : public QDialog {
    Q_OBJECT
public:
    CFastKeyDlg(Options& options, const SettingsFile& settings, DesktopPort& desktop, QWidget* parent = nullptr);

    // Edit i (0 ... 7): Ctrl+F1, F2 ... F8.
    QLineEdit* edit(int index) const { return m_edits[static_cast<std::size_t>(index)]; }
    void accept() override;

private:
    Options& m_options;
    const SettingsFile& m_settings;
    DesktopPort& m_desktop;
    std::array<QLineEdit*, 8> m_edits{};
};

} // namespace marovin::shell
