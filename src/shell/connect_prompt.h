#pragma once
// A small "Connect to OMRA" window: server, port, and optionally the account that answers
// the server's login and password prompts. It stands in for the login window, which keeps
// the list of servers and accounts; nothing entered here is stored in the settings.

#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include <string>

#include "shell/options.h"

namespace marovin::shell {

struct ConnectRequest {
    std::string host; // Big5
    int port = kDefaultServerPort;
    std::string loginName;
    std::string password;
};

class CConnectPrompt : public QDialog {
    Q_OBJECT
public:
    // Starts with the most recently used server and account of the options record.
    explicit CConnectPrompt(const Options& options, QWidget* parent = nullptr);

    ConnectRequest request() const;
    QLineEdit* hostEdit() const { return m_host; }
    QSpinBox* portSpin() const { return m_port; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QLineEdit* m_host;
    QSpinBox* m_port;
    QLineEdit* m_name;
    QLineEdit* m_password;
};

} // namespace marovin::shell
