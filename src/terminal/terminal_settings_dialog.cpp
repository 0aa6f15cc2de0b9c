#include "terminal/terminal_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <string>

#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "terminal/terminal_lines.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::shell {

namespace {

constexpr int kEchoBoxId = 1199;
constexpr int kInputSampleId = 1004;
constexpr int kOutputExampleId = 1006;
constexpr const char* kSpecialButtonTexts[kSpecialButtonCount] = {"Shout",     "Tell",      "Special 1", "Special 2",
                                                                  "Special 3", "Special 4", "Special 5"};

QString idName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

QFont fontOf(const TextFormat& format)
{
    return platform::fontFromTextFormat(format).value_or(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void paintBackground(QTextEdit& edit, Colour colour)
{
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, platform::qColour(colour));
    edit.setPalette(palette);
}

void appendInFormat(QTextCursor& cursor, const TextFormat& format, std::string_view text)
{
    QTextCharFormat shown;
    shown.setFont(fontOf(format));
    shown.setForeground(platform::qColour(format.textColour));
    cursor.insertText(platform::fromBig5(text), shown);
}

} // namespace

std::string_view boundedBig5(std::string_view text, std::size_t limit)
{
    return text.substr(0, big5PrefixLength(text, limit));
}

CTerminalSettingsDlg::CTerminalSettingsDlg(Options& options, const SettingsFile& settings, FontColourMemory& memory,
                                           QWidget* parent)
    : QDialog(parent), m_options(options), m_settings(settings), m_memory(memory), m_copy(options)
{
    setObjectName(QStringLiteral("terminalSettings"));
    setWindowTitle(QStringLiteral("Terminal settings: font  and color"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    addFormatButton(kInputFormatButtonId, "Set Input  Line", &Options::inputTextFormat, &Options::inputBackColour);
    addFormatButton(kOutputFormatButtonId, "Default Text ( System Font )", &Options::outputTextFormat,
                    &Options::outputBackColour);
    addFormatButton(kClientFormatButtonId, "Client Text", &Options::normalClientTextFormat,
                    &Options::outputBackColour);
    addFormatButton(kTypedFormatButtonId, "User-typed text", &Options::typedTextFormat, &Options::outputBackColour);
    int row = 0;
    for (int id : {kInputFormatButtonId, kOutputFormatButtonId, kClientFormatButtonId, kTypedFormatButtonId})
        grid->addWidget(button(id), row++, 0, 1, 2);

    for (int i = 0; i < kSpecialButtonCount; ++i) {
        auto* special = new QPushButton(QString::fromLatin1(kSpecialButtonTexts[i]));
        special->setObjectName(idName(kFirstSpecialButtonId + i));
        m_specialButtons[static_cast<std::size_t>(i)] = special;
        connect(special, &QPushButton::clicked, this,
                [this, i] { editFormat(m_copy.specialLineFormat[i], &Options::outputBackColour); });
        auto* lead = new QLineEdit(platform::fromBig5(fieldText(m_copy.specialLineLead[i])));
        lead->setObjectName(idName(kLeadEditIds[static_cast<std::size_t>(i)]));
        m_leads[static_cast<std::size_t>(i)] = lead;
        connect(lead, &QLineEdit::textEdited, this, [this, i] { onLeadEdited(i); });
        special->setEnabled(!fieldEmpty(m_copy.specialLineLead[i]));
        grid->addWidget(special, row, 0);
        grid->addWidget(lead, row++, 1);
    }

    auto* changeAll = new QPushButton(QStringLiteral("Change All Fonts to"));
    changeAll->setObjectName(idName(kChangeAllFontsButtonId));
    connect(changeAll, &QPushButton::clicked, this, &CTerminalSettingsDlg::changeAllFonts);
    grid->addWidget(changeAll, row++, 0, 1, 2);
    m_echo = new QCheckBox(QStringLiteral("Add Input Text into the Terminal Window"));
    m_echo->setObjectName(idName(kEchoBoxId));
    m_echo->setChecked(m_copy.echoTypedText != 0);
    connect(m_echo, &QCheckBox::toggled, this, [this](bool on) { m_copy.echoTypedText = on ? 1 : 0; });
    grid->addWidget(m_echo, row++, 0, 1, 2);

    m_inputSample = new QTextEdit;
    m_inputSample->setObjectName(idName(kInputSampleId));
    m_inputSample->setReadOnly(true);
    m_inputSample->setFixedHeight(36);
    m_outputExample = new QTextEdit;
    m_outputExample->setObjectName(idName(kOutputExampleId));
    m_outputExample->setReadOnly(true);
    m_outputExample->setMinimumHeight(180);
    layout->addWidget(new QLabel(QStringLiteral("Input line")));
    layout->addWidget(m_inputSample);
    layout->addWidget(new QLabel(QStringLiteral("Terminal window")));
    layout->addWidget(m_outputExample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    refreshExamples();
}

void CTerminalSettingsDlg::addFormatButton(int id, const char* text, TextFormat Options::*format,
                                           Colour Options::*background)
{
    auto* formatButton = new QPushButton(QString::fromLatin1(text), this);
    formatButton->setObjectName(idName(id));
    connect(formatButton, &QPushButton::clicked, this,
            [this, format, background] { editFormat(m_copy.*format, background); });
}

QPushButton* CTerminalSettingsDlg::button(int id) const
{
    return findChild<QPushButton*>(idName(id));
}

bool CTerminalSettingsDlg::runFontColour(TextFormat& format, Colour& second, int mode)
{
    if (m_runFontColour)
        return m_runFontColour(format, second, mode);
    CFontColourDlg dialog(format, second, mode, m_memory, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    format = dialog.format();
    second = dialog.secondColour();
    return true;
}

// The colour fields of the record are not aligned: the dialog edits a copy of the colour.
void CTerminalSettingsDlg::editFormat(TextFormat& format, Colour Options::*background)
{
    Colour second = m_copy.*background;
    if (!runFontColour(format, second, 0))
        return;
    m_copy.*background = second;
    refreshExamples();
}

// The chosen font (all but the colour) goes into every format of the terminal.
void CTerminalSettingsDlg::changeAllFonts()
{
    TextFormat font = m_copy.inputTextFormat;
    Colour background = m_copy.outputBackColour;
    if (!runFontColour(font, background, -1))
        return;
    const auto adopt = [&font](TextFormat& format) {
        const Colour colour = format.textColour;
        format = font;
        format.textColour = colour;
    };
    adopt(m_copy.inputTextFormat);
    adopt(m_copy.outputTextFormat);
    adopt(m_copy.warningTextFormat);
    adopt(m_copy.normalClientTextFormat);
    adopt(m_copy.typedTextFormat);
    for (TextFormat& special : m_copy.specialLineFormat)
        adopt(special);
    refreshExamples();
}

void CTerminalSettingsDlg::onLeadEdited(int index)
{
    QLineEdit* edit = m_leads[static_cast<std::size_t>(index)];
    const std::string big5 = platform::toBig5(edit->text());
    const std::string_view kept = boundedBig5(big5, kLeadingStringLimit);
    if (kept.size() != big5.size()) {
        const QSignalBlocker block(edit);
        edit->setText(platform::fromBig5(kept));
    }
    copyBounded(m_copy.specialLineLead[index], kept);
    m_specialButtons[static_cast<std::size_t>(index)]->setEnabled(!kept.empty());
    refreshExamples();
}

void CTerminalSettingsDlg::refreshExamples()
{
    m_inputSample->setFont(fontOf(m_copy.inputTextFormat));
    paintBackground(*m_inputSample, m_copy.inputBackColour);
    m_outputExample->clear();
    paintBackground(*m_outputExample, m_copy.outputBackColour);
    QTextCursor cursor(m_outputExample->document());
    appendInFormat(cursor, m_copy.outputTextFormat, "DefaultText(Client SystemFont):");
    appendInFormat(cursor, m_copy.normalClientTextFormat, "\nClient Normal Text:");
    appendInFormat(cursor, m_copy.warningTextFormat, "\nClient Warnning Text:");
    appendInFormat(cursor, m_copy.typedTextFormat, "\nTyped Text:");
    for (int i = 0; i < kLeadingStrings; ++i) {
        const std::string_view lead = fieldText(m_copy.specialLineLead[i]);
        if (!lead.empty())
            appendInFormat(cursor, m_copy.specialLineFormat[i], "\n" + std::string(lead) + ":");
    }
}

void CTerminalSettingsDlg::accept()
{
    m_changed = m_settings.commit(m_options, m_copy);
    QDialog::accept();
}

} // namespace marovin::shell
