#include "windows/other_options_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"

namespace marovin::windows {

namespace {

QPlainTextEdit* scriptEdit(const std::string& text, QWidget* parent)
{
    auto* edit = new QPlainTextEdit(platform::fromBig5(text), parent);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setTabChangesFocus(true);
    return edit;
}

} // namespace

COtherOptionsDlg::COtherOptionsDlg(Options& options, const SettingsFile& settings, DesktopPort& desktop,
                                   const QFont& listFont, QWidget* parent)
    : QDialog(parent), m_options(options), m_settings(settings), m_desktop(desktop)
{
    setObjectName(QStringLiteral("otherOptionsDialog"));
    setWindowTitle(QString::fromLatin1(kOtherOptionsTitle));
    setModal(true);
    const OtherOptions values = otherOptionsOf(options);
    m_thanks = new QLineEdit(platform::fromBig5(values.thanksText), this);
    m_seek = new QLineEdit(platform::fromBig5(values.seekText), this);
    for (QLineEdit* edit : {m_thanks, m_seek})
        edit->setValidator(new platform::Big5LengthValidator(static_cast<int>(kShoutTextLimit), edit));
    m_thanks->setObjectName(QStringLiteral("thanksText"));
    m_seek->setObjectName(QStringLiteral("seekText"));
    m_startup = scriptEdit(values.startupCommands, this);
    m_startup->setObjectName(QStringLiteral("startupCommands"));
    m_startup->setFont(listFont);
    m_auto = scriptEdit(values.autoCommands, this);
    m_auto->setObjectName(QStringLiteral("autoCommands"));
    m_auto->setFont(listFont);
    m_interval = new QLineEdit(QString::fromStdString(values.intervalMinutes), this);
    m_interval->setObjectName(QStringLiteral("interval"));
    m_interval->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this));
    m_interval->setMaximumWidth(80);

    auto* texts = new QGroupBox(QStringLiteral("Texts for "), this);
    auto* textsLayout = new QFormLayout(texts);
    textsLayout->addRow(QStringLiteral("Thx :"), m_thanks);
    textsLayout->addRow(QStringLiteral("Game any one :"), m_seek);
    auto* startup = new QGroupBox(QStringLiteral("Startup Commands after Login OMRA"), this);
    auto* startupLayout = new QVBoxLayout(startup);
    startupLayout->addWidget(new QLabel(
        QStringLiteral("Put # at the beginning of a line to disable the line. Such as\n# shout hi all"), startup));
    startupLayout->addWidget(m_startup);
    auto* automatic = new QGroupBox(QStringLiteral("Commands for Automatically Sending to OMRA"), this);
    auto* automaticLayout = new QVBoxLayout(automatic);
    automaticLayout->addWidget(m_auto);
    auto* interval = new QHBoxLayout;
    interval->addWidget(new QLabel(QStringLiteral("Time Interval"), automatic));
    interval->addWidget(m_interval);
    interval->addWidget(new QLabel(QStringLiteral("minutes"), automatic));
    interval->addStretch(1);
    automaticLayout->addLayout(interval);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &COtherOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COtherOptionsDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(texts);
    layout->addWidget(startup, 1);
    layout->addWidget(automatic, 1);
    layout->addWidget(buttons);
    resize(520, 520);

    const auto changed = [this] { m_modified = true; };
    for (QLineEdit* edit : {m_thanks, m_seek, m_interval})
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (QPlainTextEdit* edit : {m_startup, m_auto})
        connect(edit, &QPlainTextEdit::textChanged, this, changed);
}

std::optional<OtherOptions> COtherOptionsDlg::editedValues()
{
    OtherOptions values;
    const std::pair<QString, std::string*> fields[] = {{m_thanks->text(), &values.thanksText},
                                                       {m_seek->text(), &values.seekText},
                                                       {m_startup->toPlainText(), &values.startupCommands},
                                                       {m_auto->toPlainText(), &values.autoCommands}};
    for (const auto& [text, value] : fields) {
        auto big5 = platform::toBig5Checked(text, m_desktop);
        if (!big5)
            return std::nullopt;
        *value = std::move(*big5);
    }
    for (const std::string* script : {&values.startupCommands, &values.autoCommands}) {
        if (storedLineEnds(*script).size() > kScriptTextLimit) {
            m_desktop.messageBox("A list of commands may hold at most 2000 characters (each line end counts as two). "
                                 "Please shorten it.");
            return std::nullopt;
        }
    }
    values.intervalMinutes = m_interval->text().toStdString();
    return values;
}

void COtherOptionsDlg::accept()
{
    const QPointer<COtherOptionsDlg> self(this);
    const std::optional<OtherOptions> values = editedValues();
    if (!self || !values)
        return;
    Options edited = m_options;
    storeOtherOptions(edited, *values);
    // Nothing edited: the values are kept, but the file is not written.
    if (m_modified)
        m_settings.commit(m_options, edited);
    else
        m_options = edited;
    QDialog::accept();
}

void COtherOptionsDlg::reject()
{
    if (m_modified) {
        const QPointer<COtherOptionsDlg> self(this);
        const YesNoCancel answer = m_desktop.askYesNoCancel(kDiscardQuestion);
        if (!self || answer != YesNoCancel::Yes)
            return;
    }
    QDialog::reject();
}

} // namespace marovin::windows
