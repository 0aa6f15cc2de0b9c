#include "shell/connect_prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "platform/big5_text.h"
#include "support/fixed_text.h"

namespace marovin::shell {

namespace {

constexpr int kHostLimit = 50;
constexpr int kAccountFieldLimit = 15;

} // namespace

CConnectPrompt::CConnectPrompt(const Options& options, QWidget* parent)
    : QDialog(parent), m_host(new QLineEdit), m_port(new QSpinBox), m_name(new QLineEdit), m_password(new QLineEdit)
{
    setObjectName(QStringLiteral("connectPrompt"));
    setWindowTitle(QStringLiteral("Connect to OMRA"));
    const ServerEntry& server = options.servers[0];
    m_host->setObjectName(QStringLiteral("host"));
    m_host->setMaxLength(kHostLimit);
    m_host->setText(platform::fromBig5(fieldText(server.host)));
    if (m_host->text().isEmpty())
        m_host->setText(QString::fromLatin1(kPracticeServerHost.data(), static_cast<qsizetype>(kPracticeServerHost.size())));
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setRange(1, 65535);
    m_port->setValue(server.port > 0 && server.port <= 65535 ? server.port : kDefaultServerPort);
    m_name->setObjectName(QStringLiteral("loginName"));
    m_name->setMaxLength(kAccountFieldLimit);
    m_name->setText(platform::fromBig5(fieldText(server.logins[0].name)));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setMaxLength(kAccountFieldLimit);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setText(platform::fromBig5(fieldText(server.logins[0].password)));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Server:"), m_host);
    form->addRow(QStringLiteral("Port:"), m_port);
    form->addRow(QStringLiteral("Login name:"), m_name);
    form->addRow(QStringLiteral("Password:"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Connect"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_host, &QLineEdit::textChanged, this, [buttons](const QString& text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
    });
}

ConnectRequest CConnectPrompt::request() const
{
    ConnectRequest request;
    request.host = platform::toBig5(m_host->text().trimmed());
    request.port = m_port->value();
    request.loginName = platform::toBig5(m_name->text().trimmed());
    request.password = platform::toBig5(m_password->text());
    return request;
}

} // namespace marovin::shell
