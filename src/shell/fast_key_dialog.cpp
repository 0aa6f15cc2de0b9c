#include "shell/fast_key_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>

#include "platform/big5_text.h"
#include "platform/big5_validator.h"
#include "support/fixed_text.h"

namespace marovin::shell {

CFastKeyDlg::CFastKeyDlg(Options& options, const SettingsFile& settings, QWidget* parent)
    : QDialog(parent), m_options(options), m_settings(settings)
{
    setObjectName(QStringLiteral("fastKeyDialog"));
    setWindowTitle(QStringLiteral("Fast Key Dialog ( Ctrl F1 and F2 to F8)"));
    auto* layout = new QFormLayout(this);
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        auto* edit = new QLineEdit(platform::fromBig5(fieldText(options.fastKeyText[i])));
        edit->setObjectName(QStringLiteral("fastKeyEdit%1").arg(kFastKeyFirstEditId + static_cast<int>(i)));
        edit->setValidator(new platform::Big5LengthValidator(kFastKeyTextLimit, edit));
        edit->setMinimumWidth(360);
        const QString label = i == 0 ? QStringLiteral("Ctrl + F1:") : QStringLiteral("F%1:").arg(i + 1);
        layout->addRow(label, edit);
        m_edits[i] = edit;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

void CFastKeyDlg::accept()
{
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        copyBounded(m_options.fastKeyText[i],
                    platform::big5Prefix(platform::toBig5(m_edits[i]->text()), kFastKeyTextLimit));
    m_settings.save(m_options);
    QDialog::accept();
}

} // namespace marovin::shell
