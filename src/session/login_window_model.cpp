#include "session/login_window_model.h"

#include <algorithm>
#include <cstring>

#include "session/login.h"
#include "support/fixed_text.h"

namespace marovin::session {

namespace {

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// Moves element index of items to the front; the ones before it move down one place.
template <typename T, std::size_t N> void moveToFront(T (&items)[N], int index)
{
    std::rotate(items, items + index, items + index + 1);
}

} // namespace

LoginWindowModel::LoginWindowModel(ClientContext& context, std::function<void()> writeSettings)
    : m_context(context), m_writeSettings(std::move(writeSettings)),
      m_copy(std::make_unique<Options>(context.options))
{
    // The first entry that holds a host, not a blank slot.
    const auto* first = std::find_if(std::begin(m_copy->servers), std::end(m_copy->servers),
                                     [](const ServerEntry& entry) { return !fieldText(entry.host).empty(); });
    loadServer(first == std::end(m_copy->servers) ? 0 : static_cast<int>(first - std::begin(m_copy->servers)));
}

LoginWindowModel::~LoginWindowModel()
{
    m_context.session.passwordMismatch = 0;
}

std::string LoginWindowModel::title() const
{
    return m_context.session.passwordMismatch ? kMismatchTitle : kLoginWindowTitle;
}

std::string LoginWindowModel::connectExitLabel() const
{
    return m_context.session.passwordMismatch ? "Login" : "Connect-Exit";
}

LoginField LoginWindowModel::initialFocus() const
{
    return m_context.session.passwordMismatch ? LoginField::Password : LoginField::Name;
}

std::vector<std::string> LoginWindowModel::hostList() const
{
    std::vector<std::string> hosts;
    for (const ServerEntry& entry : m_copy->servers)
        hosts.emplace_back(fieldText(entry.host));
    return hosts;
}

std::vector<std::string> LoginWindowModel::accountList() const
{
    std::vector<std::string> names;
    for (const LoginAccount& account : m_copy->servers[m_server].logins)
        names.emplace_back(fieldText(account.name));
    return names;
}

bool LoginWindowModel::showAtStart() const
{
    return m_copy->showLoginAtStart != 0;
}

void LoginWindowModel::loadServer(int index)
{
    m_server = std::clamp(index, 0, kServerCount - 1);
    const ServerEntry& entry = m_copy->servers[m_server];
    m_host = fieldText(entry.host);
    m_port = entry.port;
    // The first account that holds a name; a server without any offers its first slot.
    const auto* first = std::find_if(std::begin(entry.logins), std::end(entry.logins),
                                     [](const LoginAccount& account) { return !fieldText(account.name).empty(); });
    loadAccount(first == std::end(entry.logins) ? 0 : static_cast<int>(first - std::begin(entry.logins)));
}

void LoginWindowModel::loadAccount(int index)
{
    m_account = std::clamp(index, 0, kAccountCount - 1);
    const LoginAccount& account = m_copy->servers[m_server].logins[m_account];
    m_name = fieldText(account.name);
    m_password = fieldText(account.password);
}

void LoginWindowModel::storeAccount()
{
    LoginAccount& account = m_copy->servers[m_server].logins[m_account];
    copyBounded(account.name, m_name);
    copyBounded(account.password, m_password);
}

void LoginWindowModel::storeEdits()
{
    ServerEntry& entry = m_copy->servers[m_server];
    copyBounded(entry.host, m_host, kHostLength);
    entry.port = m_port;
    storeAccount();
}

void LoginWindowModel::setHost(std::string_view host)
{
    m_host = host.substr(0, kHostLength);
    storeEdits();
}

void LoginWindowModel::setPort(int port)
{
    m_port = std::clamp(port, 0, 65535);
    storeEdits();
}

void LoginWindowModel::setLoginName(std::string_view name)
{
    m_name = name.substr(0, kNameLength);
    storeEdits();
}

void LoginWindowModel::setPassword(std::string_view password)
{
    m_password = password.substr(0, kNameLength);
    storeEdits();
}

void LoginWindowModel::setShowAtStart(bool show)
{
    m_copy->showLoginAtStart = show ? 1 : 0;
}

LoginField LoginWindowModel::selectServer(int index)
{
    loadServer(index);
    return LoginField::Host;
}

LoginField LoginWindowModel::selectAccount(int index)
{
    loadAccount(index);
    return LoginField::Name;
}

void LoginWindowModel::save()
{
    m_host = trimmed(m_host);
    m_name = trimmed(m_name);
    m_password = trimmed(m_password);

    ServerEntry& entry = m_copy->servers[m_server];
    moveToFront(entry.logins, m_account);
    m_account = 0;
    storeAccount();
    copyBounded(entry.host, m_host, kHostLength);
    entry.port = m_port;
    moveToFront(m_copy->servers, m_server);
    m_server = 0;

    if (std::memcmp(m_copy.get(), &m_context.options, sizeof(Options)) != 0) {
        std::memcpy(&m_context.options, m_copy.get(), sizeof(Options));
        if (m_writeSettings)
            m_writeSettings();
    }
}

std::optional<LoginField> LoginWindowModel::checkEdits(bool withHost)
{
    struct Check {
        const std::string& value;
        LoginField field;
        const char* message;
    };
    const Check checks[] = {
        {m_host, LoginField::Host, "Host / IP is empty"},
        {m_name, LoginField::Name, "Login name is empty"},
        {m_password, LoginField::Password, "Password is empty"},
    };
    for (const Check& check : checks) {
        if (check.value.empty() && (withHost || check.field != LoginField::Host)) {
            m_context.desktop.messageBox(check.message);
            return check.field;
        }
    }
    return std::nullopt;
}

LoginWindowModel::ConnectResult LoginWindowModel::connect(bool closeWindow)
{
    save();
    if (const auto refused = checkEdits(true))
        return {false, refused};
    rememberAccount(m_context.session, m_name, m_password);
    if (m_context.session.passwordMismatch) {
        sendCommand(m_context, m_name + "\r\n", true, true);
    } else if (m_context.connection.isConnected()) {
        sendCommand(m_context, "telnet " + m_host + " " + std::to_string(m_port) + "\r\n", true, true);
    } else {
        m_context.connection.connectToServer(m_host, m_port);
    }
    return {closeWindow, std::nullopt};
}

std::optional<LoginField> LoginWindowModel::sendLoginName()
{
    return sendAccountText(m_name + "\r\n", true);
}

std::optional<LoginField> LoginWindowModel::sendPassword()
{
    return sendAccountText(m_password + "\r\n", false);
}

std::optional<LoginField> LoginWindowModel::sendAccountText(const std::string& text, bool echo)
{
    if (const auto refused = checkEdits(false))
        return refused;
    rememberAccount(m_context.session, m_name, m_password);
    sendCommand(m_context, text, echo, true);
    return std::nullopt;
}

} // namespace marovin::session
