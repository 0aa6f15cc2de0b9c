#pragma once
// The login window ("AutoLogin Dialog"): the 20 most recently used servers, each with its
// 10 accounts, the four edits (host, port, login name, masked password) and the buttons
// that save, connect, log in again after a failed registration, or send the name or the
// password by themselves. It works on a private copy of the options record
// (session::LoginWindowModel); Cancel keeps nothing.

#include <functional>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "session/login_window_model.h"

namespace marovin::windows {

constexpr int kLoginDialogResource = 136;
constexpr int kHostListId = 1144;
constexpr int kAccountListId = 1145;
constexpr int kHostEditId = 1146;
constexpr int kNameEditId = 1147;
constexpr int kPasswordEditId = 1148;
constexpr int kPortEditId = 1149;
constexpr int kConnectExitButtonId = 1150;
constexpr int kConnectButtonId = 1151;
constexpr int kSendNameButtonId = 1192;
constexpr int kSendPasswordButtonId = 1193;
constexpr int kSaveExitButtonId = 1194;
constexpr int kShowAtStartBoxId = 1232;

class CAutoLoginDlg : public QDialog {
    Q_OBJECT
public:
    // writeSettings writes the live options record to the settings file; it is called
    // only when saving changed a byte of it.
    CAutoLoginDlg(session::ClientContext& context, std::function<void()> writeSettings,
                  QWidget* parent = nullptr);

    QListWidget* hostList() const { return m_hostList; }
    QListWidget* accountList() const { return m_accountList; }
    QLineEdit* field(session::LoginField field) const;
    QCheckBox* showAtStartBox() const { return m_showAtStart; }
    // The push button with one of the ids above (or QDialogButtonBox::Cancel's role: 2).
    QPushButton* button(int id) const;
    const session::LoginWindowModel& model() const { return m_model; }
    // Title, the Enter button's text and the focus: asking for the password again after a
    // failed registration, or the plain login window.
    void showMode();

private:
    void loadFromModel();
    void loadAccountList();
    void loadEdits();
    void refreshListLines();
    void focusField(session::LoginField field);
    void onEdited(session::LoginField field, const QString& text);
    void onConnect(bool closeWindow);
    void onSend(bool password);
    QPushButton* addButton(int id, const QString& text);

    session::LoginWindowModel m_model;
    QListWidget* m_hostList;
    QListWidget* m_accountList;
    QLineEdit* m_host;
    QLineEdit* m_port;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QCheckBox* m_showAtStart;
    QList<QPushButton*> m_buttons;
    bool m_loading = false;
};

} // namespace marovin::windows
