#include "terminal/fast_key_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"
#include "support/fixed_text.h"

namespace marovin::shell {

CFastKeyDlg::CFastKeyDlg(Options& options, const SettingsFile& settings, DesktopPort& desktop, QWidget* parent)
    : QDialog(parent), m_options(options), m_settings(settings), m_desktop(desktop)
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
    std::array<std::string, 8> texts;
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        // A text that Big5 cannot carry keeps the dialog open (the user is told which characters).
        std::optional<std::string> text = platform::toBig5Checked(m_edits[i]->text(), m_desktop);
        if (!text) {
            m_edits[i]->setFocus();
            return;
        }
        texts[i] = std::move(*text);
    }
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        copyBounded(m_options.fastKeyText[i], platform::big5Prefix(texts[i], kFastKeyTextLimit));
    m_settings.save(m_options);
    QDialog::accept();
}

} // namespace marovin::shell
