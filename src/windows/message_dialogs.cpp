#include "windows/message_dialogs.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"
#include "widgets/dialog_buttons.h"

namespace marovin::windows {

CPacedTextDlg::CPacedTextDlg(session::ClientContext& context, session::PacedKind kind, const QString& sendCaption,
                             QWidget* parent)
    : QDialog(parent), m_context(context), m_text(new QPlainTextEdit(this)), m_send(makeButton(sendCaption, this)),
      m_close(makeButton(QStringLiteral("Close"), this)), m_kind(kind), m_sendCaption(sendCaption)
{
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setObjectName(QStringLiteral("pacedText"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { m_modified = true; });
    connect(m_send, &QPushButton::clicked, this, &CPacedTextDlg::onSendButton);
    connect(m_close, &QPushButton::clicked, this, &CPacedTextDlg::onCloseButton);
}

void CPacedTextDlg::setSending(bool on)
{
    m_sending = on;
    m_send->setText(on ? QString::fromLatin1(kStopSendingCaption) : m_sendCaption);
    m_text->setReadOnly(on);
}

void CPacedTextDlg::onSendButton()
{
    if (m_sending) {
        setSending(false);
        return;
    }
    const std::optional<std::string> to = recipient();
    if (!to)
        return;
    const auto text = platform::toBig5Checked(m_text->toPlainText(), m_context.desktop);
    if (!text)
        return;
    if (!m_context.connection.isConnected()) {
        m_context.desktop.messageBox(session::kNotConnectedText);
        return;
    }
    setSending(true);
    const QPointer<CPacedTextDlg> self(this);
    const session::PacedOutcome outcome = session::sendPacedText(
        m_context, m_kind, *to, session::editLines(*text), [self] { return self && self->m_sending; });
    if (!self)
        return; // closed while sending: nothing of it is left to touch
    const bool stoppedByUser = !m_sending;
    setSending(false);
    switch (outcome) {
    case session::PacedOutcome::Completed:
        m_modified = false;
        m_context.desktop.messageBox(kSentCompletelyText);
        break;
    case session::PacedOutcome::ConnectionLost:
        if (!stoppedByUser)
            m_context.terminal.writeClientText("The connection was lost: not every line was sent.", false);
        break;
    case session::PacedOutcome::Stopped:
        break;
    }
}

bool CPacedTextDlg::mayClose(bool stopFirst)
{
    if (stopFirst && m_sending)
        setSending(false);
    if (m_sending) {
        setSending(false);
        return false;
    }
    return !m_modified || m_context.desktop.askYesNo(kCloseUnsentQuestion, true);
}

void CPacedTextDlg::closeIfAgreed(bool stopFirst)
{
    const QPointer<CPacedTextDlg> self(this);
    if (!mayClose(stopFirst) || !self)
        return;
    m_closeAgreed = true;
    close();
}

void CPacedTextDlg::onCloseButton()
{
    closeIfAgreed(false);
}

void CPacedTextDlg::reject()
{
    closeIfAgreed(true);
}

void CPacedTextDlg::closeEvent(QCloseEvent* event)
{
    const QPointer<CPacedTextDlg> self(this);
    if (m_closeAgreed || (mayClose(true) && self)) {
        event->accept();
        return;
    }
    event->ignore();
}

CMessageDlg::CMessageDlg(session::ClientContext& context, std::optional<std::string_view> received,
                         const QFont& listFont, QWidget* parent)
    : CPacedTextDlg(context, session::PacedKind::Message, QStringLiteral("Send Now"), parent),
      m_received(new QPlainTextEdit(this)), m_name(new QLineEdit(this))
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(QString::fromLatin1(kMessageDialogTitle));
    m_received->setObjectName(QStringLiteral("receivedText"));
    m_received->setFont(listFont);
    m_received->setReadOnly(!received);
    m_name->setObjectName(QStringLiteral("recipient"));
    m_name->setValidator(new platform::Big5LengthValidator(static_cast<int>(session::kRecipientLimit), m_name));
    m_text->setFont(listFont);
    if (received) {
        m_received->setPlainText(platform::fromBig5Lines(*received));
        m_name->setText(
            platform::fromBig5(platform::big5Prefix(session::replyRecipient(*received), session::kRecipientLimit)));
    }

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Message to:"), this));
    nameRow->addWidget(m_name, 1);
    auto* reply = new QGroupBox(
        QStringLiteral("Reply window: This client will add the leading command <message player> for you."), this);
    auto* replyLayout = new QVBoxLayout(reply);
    replyLayout->addLayout(nameRow);
    replyLayout->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_send);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_received, 1);
    layout->addWidget(reply, 1);
    layout->addLayout(buttons);
    resize(560, 440);
}

std::optional<std::string> CMessageDlg::recipient()
{
    const QString name = m_name->text().trimmed();
    if (name.isEmpty()) {
        m_context.desktop.messageBox(kNoRecipientText);
        m_name->setFocus();
        return std::nullopt;
    }
    return platform::toBig5Checked(name, m_context.desktop);
}

void CMessageDlg::showEvent(QShowEvent* event)
{
    CPacedTextDlg::showEvent(event);
    m_name->setFocus();
}

CPlanDlg::CPlanDlg(session::ClientContext& context, const QFont& listFont, QWidget* parent)
    : CPacedTextDlg(context, session::PacedKind::Plan, QStringLiteral("Send now"), parent)
{
    setObjectName(QStringLiteral("planDialog"));
    setWindowTitle(QString::fromLatin1(kPlanDialogTitle));
    m_text->setFont(listFont);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_send);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    resize(560, 320);
}

void CPlanDlg::showEvent(QShowEvent* event)
{
    CPacedTextDlg::showEvent(event);
    m_text->setFocus();
}

} // namespace marovin::windows
