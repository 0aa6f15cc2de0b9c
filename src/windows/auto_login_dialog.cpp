#include "windows/auto_login_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"

namespace marovin::windows {

using session::LoginField;

namespace {

constexpr int kCancelButtonId = 2;

QLineEdit* makeEdit(const char* name, int limit, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(new platform::Big5LengthValidator(limit, edit));
    return edit;
}

} // namespace

CAutoLoginDlg::CAutoLoginDlg(session::ClientContext& context, std::function<void()> writeSettings,
                             QWidget* parent)
    : QDialog(parent), m_model(context, std::move(writeSettings)), m_hostList(new QListWidget(this)),
      m_accountList(new QListWidget(this)), m_host(makeEdit("hostEdit", session::kHostLength, this)),
      m_port(new QLineEdit(this)), m_name(makeEdit("nameEdit", session::kNameLength, this)),
      m_password(makeEdit("passwordEdit", session::kNameLength, this)),
      m_showAtStart(new QCheckBox(QStringLiteral("Show This Window after Client Startup"), this))
{
    setObjectName(QStringLiteral("autoLoginDialog"));
    setModal(true);
    m_hostList->setObjectName(QStringLiteral("hostList"));
    m_accountList->setObjectName(QStringLiteral("accountList"));
    m_port->setObjectName(QStringLiteral("portEdit"));
    m_port->setValidator(new QIntValidator(0, 65535, m_port));
    m_password->setEchoMode(QLineEdit::Password);
    m_showAtStart->setObjectName(QStringLiteral("showAtStartBox"));

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Servers")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Accounts")), 0, 1);
    lists->addWidget(m_hostList, 1, 0);
    lists->addWidget(m_accountList, 1, 1);
    auto* edits = new QFormLayout;
    edits->addRow(QStringLiteral("Host / IP:"), m_host);
    edits->addRow(QStringLiteral("Port:"), m_port);
    edits->addRow(QStringLiteral("Login name:"), m_name);
    edits->addRow(QStringLiteral("Password:"), m_password);
    auto* buttons = new QHBoxLayout;
    struct ButtonText {
        int id;
        const char* text;
        const char* tip;
    };
    const ButtonText kButtons[] = {
        {kConnectButtonId, "Connect", "Connect to the server and log in; this window stays open"},
        {kConnectExitButtonId, "Connect-Exit", "Connect to the server and log in, then close this window [Enter]"},
        {kSaveExitButtonId, "Save-Exit", "Keep the servers and accounts and close this window"},
        {kSendNameButtonId, "Send Login Name", "Send the login name to a server already connected"},
        {kSendPasswordButtonId, "Send Password", "Send the password to a server already connected"},
        {kCancelButtonId, "Cancel", "Close this window and forget its changes"}};
    for (const auto& [id, text, tip] : kButtons) {
        QPushButton* added = addButton(id, QString::fromLatin1(text));
        added->setToolTip(QString::fromLatin1(tip));
        buttons->addWidget(added);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(edits);
    layout->addWidget(m_showAtStart);
    layout->addLayout(buttons);

    // Enter connects and closes, whichever field has the focus.
    QPushButton* connectExit = button(kConnectExitButtonId);
    connectExit->setDefault(true);

    connect(m_host, &QLineEdit::textEdited, this,
            [this](const QString& text) { onEdited(LoginField::Host, text); });
    connect(m_port, &QLineEdit::textEdited, this,
            [this](const QString& text) { onEdited(LoginField::Port, text); });
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString& text) { onEdited(LoginField::Name, text); });
    connect(m_password, &QLineEdit::textEdited, this,
            [this](const QString& text) { onEdited(LoginField::Password, text); });
    connect(m_hostList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_loading || row < 0)
            return;
        focusField(m_model.selectServer(row));
        loadAccountList();
        loadEdits();
    });
    connect(m_accountList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_loading || row < 0)
            return;
        focusField(m_model.selectAccount(row));
        loadEdits();
    });
    connect(m_hostList, &QListWidget::itemDoubleClicked, this, [this] { onConnect(false); });
    connect(m_accountList, &QListWidget::itemDoubleClicked, this, [this] { onConnect(false); });
    connect(m_showAtStart, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading)
            m_model.setShowAtStart(on);
    });
    connect(button(kConnectButtonId), &QPushButton::clicked, this, [this] { onConnect(false); });
    connect(connectExit, &QPushButton::clicked, this, [this] { onConnect(true); });
    connect(button(kSaveExitButtonId), &QPushButton::clicked, this, [this] {
        m_model.save();
        accept();
    });
    connect(button(kSendNameButtonId), &QPushButton::clicked, this, [this] { onSend(false); });
    connect(button(kSendPasswordButtonId), &QPushButton::clicked, this, [this] { onSend(true); });
    connect(button(kCancelButtonId), &QPushButton::clicked, this, &QDialog::reject);

    loadFromModel();
    showMode();
}

void CAutoLoginDlg::showMode()
{
    setWindowTitle(platform::fromBig5(m_model.title()));
    button(kConnectExitButtonId)->setText(platform::fromBig5(m_model.connectExitLabel()));
    focusField(m_model.initialFocus());
}

QPushButton* CAutoLoginDlg::addButton(int id, const QString& text)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setProperty("controlId", id);
    button->setAutoDefault(false);
    m_buttons.append(button);
    return button;
}

QPushButton* CAutoLoginDlg::button(int id) const
{
    for (QPushButton* button : m_buttons)
        if (button->property("controlId").toInt() == id)
            return button;
    return nullptr;
}

QLineEdit* CAutoLoginDlg::field(LoginField field) const
{
    switch (field) {
    case LoginField::Host:
        return m_host;
    case LoginField::Port:
        return m_port;
    case LoginField::Name:
        return m_name;
    case LoginField::Password:
        return m_password;
    }
    return nullptr;
}

void CAutoLoginDlg::focusField(LoginField which)
{
    QLineEdit* edit = field(which);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void CAutoLoginDlg::loadFromModel()
{
    m_loading = true;
    m_showAtStart->setChecked(m_model.showAtStart());
    m_hostList->clear();
    for (const std::string& host : m_model.hostList())
        m_hostList->addItem(platform::fromBig5(host));
    m_hostList->setCurrentRow(m_model.selectedServer());
    m_loading = false;
    loadAccountList();
    loadEdits();
}

void CAutoLoginDlg::loadAccountList()
{
    m_loading = true;
    m_accountList->clear();
    for (const std::string& name : m_model.accountList())
        m_accountList->addItem(platform::fromBig5(name));
    m_accountList->setCurrentRow(m_model.selectedAccount());
    m_loading = false;
}

void CAutoLoginDlg::loadEdits()
{
    m_host->setText(platform::fromBig5(m_model.host()));
    m_port->setText(QString::number(m_model.port()));
    m_name->setText(platform::fromBig5(m_model.loginName()));
    m_password->setText(platform::fromBig5(m_model.password()));
}

void CAutoLoginDlg::refreshListLines()
{
    if (QListWidgetItem* item = m_hostList->item(m_model.selectedServer()))
        item->setText(platform::fromBig5(m_model.host()));
    if (QListWidgetItem* item = m_accountList->item(m_model.selectedAccount()))
        item->setText(platform::fromBig5(m_model.loginName()));
}

void CAutoLoginDlg::onEdited(LoginField which, const QString& text)
{
    switch (which) {
    case LoginField::Host:
        m_model.setHost(platform::toBig5(text));
        break;
    case LoginField::Port:
        m_model.setPort(text.toInt());
        break;
    case LoginField::Name:
        m_model.setLoginName(platform::toBig5(text));
        break;
    case LoginField::Password:
        m_model.setPassword(platform::toBig5(text));
        break;
    }
    refreshListLines();
}

void CAutoLoginDlg::onConnect(bool closeWindow)
{
    const session::LoginWindowModel::ConnectResult result = m_model.connect(closeWindow);
    // Saving moved the chosen server and account to the top of their lists.
    loadFromModel();
    if (result.focus) {
        focusField(*result.focus);
        return;
    }
    if (result.closeWindow)
        accept();
}

void CAutoLoginDlg::onSend(bool password)
{
    const auto refused = password ? m_model.sendPassword() : m_model.sendLoginName();
    if (refused)
        focusField(*refused);
}

} // namespace marovin::windows
