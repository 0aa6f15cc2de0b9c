#pragma once
// What the login window does, without the window: it works on a private copy of the
// options record (the 20 most recently used servers, each with 10 accounts), keeps the four
// edits (host, port, login name, password), saves with the chosen server and account moved
// to the top, and connects, logs in or sends the name or password.
//
// Save writes the live options record, and calls writeSettings, only when a byte changed.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/client_context.h"

namespace marovin::session {

enum class LoginField : std::uint8_t { Host, Port, Name, Password };

inline constexpr char kLoginWindowTitle[] = "AutoLogin Dialog";
inline constexpr char kMismatchTitle[] = "Password NOT Match (Player Found in Database)";

constexpr int kServerCount = 20;
constexpr int kAccountCount = 10;
constexpr int kHostLength = 50;
constexpr int kNameLength = 15;

class LoginWindowModel {
public:
    // Opens on a copy of context.options with the first server that has a host and its first
    // account that has a name (the first slot of each when none has).
    LoginWindowModel(ClientContext& context, std::function<void()> writeSettings);
    ~LoginWindowModel();
    LoginWindowModel(const LoginWindowModel&) = delete;
    LoginWindowModel& operator=(const LoginWindowModel&) = delete;

    // ---- what the window shows ----
    std::string title() const;
    std::string connectExitLabel() const; // "Connect-Exit", or "Login" after a mismatch
    LoginField initialFocus() const;
    std::vector<std::string> hostList() const;    // the 20 hosts
    std::vector<std::string> accountList() const; // the 10 names of the selected server
    int selectedServer() const { return m_server; }
    int selectedAccount() const { return m_account; }
    const std::string& host() const { return m_host; }
    int port() const { return m_port; }
    const std::string& loginName() const { return m_name; }
    const std::string& password() const { return m_password; }
    bool showAtStart() const;
    const Options& copy() const { return *m_copy; }

    // ---- edits: each change is copied into the selected server and account ----
    void setHost(std::string_view host);
    void setPort(int port); // clamped to 0..65535
    void setLoginName(std::string_view name);
    void setPassword(std::string_view password);
    void setShowAtStart(bool show);

    // ---- list selections (a server's first named account is selected with it); the result
    // is where the focus goes ----
    LoginField selectServer(int index);
    LoginField selectAccount(int index);

    // ---- buttons ----
    void save(); // "Save-Exit" (the window then closes)
    struct ConnectResult {
        bool closeWindow = false;
        std::optional<LoginField> focus; // a refused field
    };
    // "Connect" (closeWindow false), "Connect-Exit" and Enter (true), double clicks.
    ConnectResult connect(bool closeWindow);
    // "Send Login Name" / "Send Password": a refused field, or none when sent.
    std::optional<LoginField> sendLoginName();
    std::optional<LoginField> sendPassword();

private:
    void loadServer(int index);
    void loadAccount(int index);
    void storeEdits();
    std::optional<LoginField> checkEdits(bool withHost);
    std::optional<LoginField> sendAccountText(const std::string& text, bool echo);
    void storeAccount();

    ClientContext& m_context;
    std::function<void()> m_writeSettings;
    std::unique_ptr<Options> m_copy;
    int m_server = 0;
    int m_account = 0;
    std::string m_host;
    int m_port = 0;
    std::string m_name;
    std::string m_password;
};

} // namespace marovin::session
