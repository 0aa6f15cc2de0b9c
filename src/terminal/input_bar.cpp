#include "terminal/input_bar.h"

#include <QPalette>

#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "terminal/scroll_spin.h"

namespace marovin::shell {

namespace {

struct GameButton {
    int id;
    const char* text;
    const char* name;
};

constexpr GameButton kGameButtons[] = {
    {kWindowLeftId, "Left", "actionWindowLeft"},
    {kWindowCentreId, "Cen", "actionWindowCentre"},
    {kWindowRightId, "Right", "actionWindowRight"},
    {kNextWindowButtonId, "Next", "actionNextWindowButton"},
};

} // namespace

CInputBar::CInputBar(const Options& options, QWidget* parent)
    : QToolBar(QStringLiteral("Input line"), parent), m_label(new QLabel), m_input(new CInputLine),
      m_spin(new CScrollSpin)
{
    setObjectName(QStringLiteral("inputBar"));
    setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    m_label->setObjectName(QStringLiteral("stateLabel"));
    // In a tool bar a label would take the buttons' text colour; this one has its own.
    m_label->setForegroundRole(QPalette::WindowText);
    m_label->setMinimumWidth(120);
    setStatusLabel(0, kInitialLabelText);
    m_input->setMaxLength(kInputLineLimit);
    m_input->setMinimumWidth(300);
    addWidget(m_label);
    addWidget(m_input);
    for (std::size_t i = 0; i < std::size(kGameButtons); ++i) {
        QAction* button = addAction(QString::fromLatin1(kGameButtons[i].text));
        button->setObjectName(QString::fromLatin1(kGameButtons[i].name));
        button->setData(kGameButtons[i].id);
        button->setVisible(false);
        m_gameButtons[i] = button;
    }
    addWidget(m_spin);
    applyInputFormat(options);
}

QAction* CInputBar::gameButton(int id) const
{
    for (QAction* button : m_gameButtons)
        if (button->data().toInt() == id)
            return button;
    return nullptr;
}

void CInputBar::setHost(InputLineHost* host)
{
    m_host = host;
    m_input->setHost(host);
    if (host)
        m_spin->setScroller([host](TerminalScroll step) { host->scrollTerminal(step); });
    else
        m_spin->setScroller({});
}

void CInputBar::applyInputFormat(const Options& options)
{
    QPalette palette = m_input->palette();
    palette.setColor(QPalette::Base, platform::qColour(options.inputBackColour));
    palette.setColor(QPalette::Text, platform::qColour(options.inputTextFormat.textColour));
    m_input->setPalette(palette);
    if (const auto font = platform::fontFromTextFormat(options.inputTextFormat))
        m_input->setFont(*font);
}

void CInputBar::setStatusLabel(std::optional<std::uint32_t> colour, std::optional<std::string_view> text)
{
    if (colour) {
        m_labelColour = *colour;
        QPalette palette = m_label->palette();
        palette.setColor(QPalette::WindowText, platform::qColour(*colour));
        m_label->setPalette(palette);
    }
    if (text) {
        m_label->setText(QStringLiteral(" ") + platform::fromBig5(*text));
        m_input->setPasswordEntry(*text == kPasswordLabelText);
    }
    m_label->update();
}

void CInputBar::showGameButtons(bool show)
{
    for (QAction* button : m_gameButtons)
        button->setVisible(show);
    if (QWidget* window = this->window())
        window->update();
}

void CInputBar::sendFastKey(std::string_view text)
{
    if (!text.empty() && m_host)
        m_host->sendCommand(text, true, true);
}

} // namespace marovin::shell
