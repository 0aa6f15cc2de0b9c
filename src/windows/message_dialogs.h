#pragma once
// The message and plan dialogs: modeless editors whose text is sent to the server one
// command per line, paced (see session/paced_text.h). "Send now" starts the sending and,
// while it runs, stops it; the window stays usable meanwhile. Closing a window whose text
// was edited but not sent asks first. A new window for every use; several may be open.
//
// The message dialog also shows a received message: the scanner opens one with the text,
// whose first word becomes the recipient of the reply.

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <optional>
#include <string>
#include <string_view>

#include "session/client_context.h"
#include "session/paced_text.h"

namespace marovin::windows {

constexpr int kMessageDialogResource = 179;
constexpr int kPlanDialogResource = 180;
inline constexpr char kMessageDialogTitle[] = "Message Dialog";
inline constexpr char kPlanDialogTitle[] = "Plan Dialog: This client will add the leading command <plan> for you.";
inline constexpr char kSentCompletelyText[] = "Send message completely";
inline constexpr char kCloseUnsentQuestion[] = "Close it? (Some messages are not sent)";
inline constexpr char kNoRecipientText[] = "Please assign a player name";
inline constexpr char kStopSendingCaption[] = "Stop sending";

class CPacedTextDlg : public QDialog {
    Q_OBJECT
public:
    bool sending() const { return m_sending; }
    bool modified() const { return m_modified; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* closeButton() const { return m_close; }

    // The send button: starts the sending, or stops the one in progress. Returns when the
    // sending has ended (the window may be gone by then).
    void onSendButton();
    // "Close": stops a sending in progress (the window stays); otherwise closes the window,
    // asking first when its text was edited and not sent.
    void onCloseButton();
    // Esc.
    void reject() override;

protected:
    CPacedTextDlg(session::ClientContext& context, session::PacedKind kind, const QString& sendCaption,
                  QWidget* parent);
    // The recipient of the lines, or nothing when the user must give one first (told why).
    virtual std::optional<std::string> recipient() = 0;
    void closeEvent(QCloseEvent* event) override;

    session::ClientContext& m_context;
    QPlainTextEdit* m_text;
    QPushButton* m_send;
    QPushButton* m_close;

private:
    void setSending(bool on);
    // True when the window may close now (a sending in progress is stopped first when
    // stopFirst; otherwise a running sending only stops).
    bool mayClose(bool stopFirst);
    void closeIfAgreed(bool stopFirst);

    session::PacedKind m_kind;
    QString m_sendCaption;
    bool m_sending = false;
    bool m_modified = false;
    bool m_closeAgreed = false;
};

class CMessageDlg : public CPacedTextDlg {
    Q_OBJECT
public:
    // received: the text of a received message (Big5), or nothing (opened from the menu).
    CMessageDlg(session::ClientContext& context, std::optional<std::string_view> received, const QFont& listFont,
                QWidget* parent = nullptr);

    QPlainTextEdit* receivedEdit() const { return m_received; }
    QLineEdit* nameField() const { return m_name; }

protected:
    std::optional<std::string> recipient() override;
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* m_received;
    QLineEdit* m_name;
};

class CPlanDlg : public CPacedTextDlg {
    Q_OBJECT
public:
    CPlanDlg(session::ClientContext& context, const QFont& listFont, QWidget* parent = nullptr);

protected:
    std::optional<std::string> recipient() override { return std::string(); }
    void showEvent(QShowEvent* event) override;
};

} // namespace marovin::windows
