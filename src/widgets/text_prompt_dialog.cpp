#include "widgets/text_prompt_dialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "platform/big5_text.h"

namespace marovin::windows {

CTextPromptDlg::CTextPromptDlg(std::string& text, std::string_view title, int maximum, DesktopPort& desktop,
                               QWidget* parent)
    : QDialog(parent), m_text(text), m_maximum(maximum), m_desktop(desktop), m_edit(new QLineEdit),
      m_limit(new QLabel)
{
    setObjectName(QStringLiteral("textPrompt"));
    setWindowTitle(platform::fromBig5(title));
    setModal(true);
    if (maximum > 0)
        m_limit->setText(QStringLiteral("At most %1 characters").arg(maximum));
    m_edit->setText(platform::fromBig5(text));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_limit);
    layout->addWidget(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    m_edit->setFocus();
}

void CTextPromptDlg::accept()
{
    std::optional<std::string> checked = platform::toBig5Checked(m_edit->text(), m_desktop);
    if (!checked) {
        m_edit->setFocus();
        return;
    }
    std::string entered = std::move(*checked);
    if (m_maximum > 0 && entered.size() > static_cast<std::size_t>(m_maximum)) {
        m_desktop.messageBox("Too many characters");
        m_edit->setFocus();
        return;
    }
    m_text = std::move(entered);
    QDialog::accept();
}

} // namespace marovin::windows
