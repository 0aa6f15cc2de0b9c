#include "terminal/output_windows_dialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace marovin::shell {

const std::array<COutputWindowsDlg::Box, 6> COutputWindowsDlg::kBoxes = {{
    {1197, "who window", &Options::showWhoWindow},
    {1200, "games window", &Options::showGamesWindow},
    {1201, "finger window", &Options::showFingerWindow},
    {1199, "alias window", &Options::showAliasWindow},
    {1198, "match window", &Options::showMatchWindow},
    {1202, "Pop up Terminal  window when someone tells me", &Options::raiseTerminalOnTell},
}};

COutputWindowsDlg::COutputWindowsDlg(Options& options, const SettingsFile& settings, QWidget* parent)
    : QDialog(parent), m_options(options), m_settings(settings)
{
    setObjectName(QStringLiteral("outputWindowsDialog"));
    setWindowTitle(QStringLiteral("Show / Hide the Output Window of OMRA Commands"));
    auto* layout = new QVBoxLayout(this);
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        m_checks[i] = new QCheckBox(QString::fromLatin1(kBoxes[i].text));
        m_checks[i]->setChecked(options.*kBoxes[i].field != 0);
        layout->addWidget(m_checks[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QCheckBox* COutputWindowsDlg::checkBox(int id) const
{
    for (std::size_t i = 0; i < kBoxes.size(); ++i)
        if (kBoxes[i].id == id)
            return m_checks[i];
    return nullptr;
}

void COutputWindowsDlg::accept()
{
    Options copy = m_options;
    for (std::size_t i = 0; i < kBoxes.size(); ++i)
        copy.*kBoxes[i].field = m_checks[i]->isChecked() ? 1 : 0;
    m_settings.commit(m_options, copy);
    QDialog::accept();
}

} // namespace marovin::shell
