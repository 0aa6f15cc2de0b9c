#include "terminal/tell_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/big5_text.h"
#include "widgets/big5_validator.h"
#include "platform/platform_defaults.h"
#include "terminal/terminal_lines.h"
#include "widgets/window_placement.h"
#include "support/fixed_text.h"

namespace marovin::shell {

namespace {

// The face, size and colour of a format; bold and italic are not taken.
QTextCharFormat charFormatOf(const TextFormat& format)
{
    QTextCharFormat charFormat;
    if (const auto font = platform::fontFromTextFormat(format)) {
        QFont plain = *font;
        plain.setBold(false);
        plain.setItalic(false);
        charFormat.setFont(plain);
    }
    charFormat.setForeground(platform::qColour(format.textColour));
    return charFormat;
}

} // namespace

CTellWindow::CTellWindow(session::ClientContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_conversation(new QTextEdit(this)), m_name(new QLineEdit(this)),
      m_message(new QLineEdit(this)), m_collectShout(new QCheckBox(QStringLiteral("Collect Shout"), this))
{
    setObjectName(QStringLiteral("tellWindow"));
    setWindowTitle(QStringLiteral("Tell Window"));
    setModal(false);
    const Options& options = context.options;
    m_conversation->setObjectName(QStringLiteral("conversation"));
    m_conversation->setReadOnly(true);
    m_conversation->setUndoRedoEnabled(false);
    m_name->setObjectName(QStringLiteral("playerName"));
    m_name->setValidator(new platform::Big5LengthValidator(kTellNameLimit, m_name));
    m_name->setText(platform::fromBig5(platform::big5Prefix(fieldText(options.tellPlayerName), kTellNameLimit)));
    m_message->setObjectName(QStringLiteral("message"));
    m_collectShout->setObjectName(QStringLiteral("collectShout"));
    m_collectShout->setChecked(options.tellCollectShout != 0);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_conversation, 0, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Player Name"), this), 1, 0);
    layout->addWidget(m_name, 1, 1);
    layout->addWidget(m_collectShout, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Input Message"), this), 2, 0);
    layout->addWidget(m_message, 2, 1, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(0, 1);

    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        copyBounded(m_context.options.tellPlayerName, platform::toBig5(text));
    });
    connect(m_collectShout, &QCheckBox::toggled, this,
            [this](bool on) { m_context.options.tellCollectShout = on ? 1 : 0; });
    connect(m_name, &QLineEdit::returnPressed, this, &CTellWindow::sendTell);
    connect(m_message, &QLineEdit::returnPressed, this, &CTellWindow::sendTell);
    refreshTellColours();
    resize(420, 300);
    m_message->setFocus();
    m_initialising = false;
}

void CTellWindow::appendTellLine(std::string_view text, TextFormatId format)
{
    trimConversation();
    QTextCursor cursor(m_conversation->document());
    cursor.movePosition(QTextCursor::End);
    const QTextCharFormat charFormat = charFormatOf(textFormatOf(m_context.options, format));
    if (!m_conversation->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), charFormat);
    cursor.insertText(platform::fromBig5(text), charFormat);
    QScrollBar* bar = m_conversation->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void CTellWindow::trimConversation()
{
    QTextDocument* document = m_conversation->document();
    QTextCursor cursor(document);
    // Room for the line about to be added.
    if (document->blockCount() >= kTellLineLimit) {
        cursor.setPosition(document->findBlockByNumber(document->blockCount() / 4).position(),
                           QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    const int characters = document->characterCount();
    if (characters > kTellCharacterLimit) {
        int end = characters / 4;
        // Not between the two halves of a character outside the basic plane.
        if (document->characterAt(end).isLowSurrogate())
            ++end;
        cursor.setPosition(0);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

void CTellWindow::setPlayerName(std::string_view name, bool force)
{
    if (!m_nameMayBeSet && !force)
        return;
    m_nameMayBeSet = false;
    const std::string kept = platform::big5Prefix(name, kTellNameLimit);
    m_name->setText(platform::fromBig5(kept));
    copyBounded(m_context.options.tellPlayerName, kept); // the bytes as they came
}

void CTellWindow::refreshTellColours()
{
    QPalette palette = m_conversation->palette();
    palette.setColor(QPalette::Base, platform::qColour(m_context.options.outputBackColour));
    m_conversation->setPalette(palette);
}

void CTellWindow::sendTell()
{
    DesktopPort& desktop = m_context.desktop;
    if (m_name->text().isEmpty()) {
        desktop.messageBox("Player Name is empty.");
        m_name->setFocus();
        return;
    }
    const auto name = platform::toBig5Checked(m_name->text(), desktop);
    const auto message = name ? platform::toBig5Checked(m_message->text(), desktop) : std::nullopt;
    if (!message)
        return; // the text stays in its field to be mended
    if (!m_context.connection.isConnected()) {
        // Said here, where the user is looking; the message stays to be sent once connected.
        appendTellLine(session::kNotConnectedText, TextFormatId::Warning);
        return;
    }
    m_message->clear();
    const std::string line = "tell " + *name + " " + *message;
    appendTellLine(line, TextFormatId::Typed);
    session::sendCommand(m_context, line, true, true);
}

void CTellWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_message->setFocus();
}

void CTellWindow::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    storePlacement();
}

void CTellWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    storePlacement();
}

void CTellWindow::storePlacement()
{
    if (!m_initialising && isVisible())
        m_context.options.tellWindowPlacement = widgets::placementOf(*this);
}

} // namespace marovin::shell
