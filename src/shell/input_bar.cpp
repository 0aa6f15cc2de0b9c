#include "shell/input_bar.h"

#include <QPalette>
#include <QToolButton>

#include "platform/platform_defaults.h"

namespace marovin::shell {

CInputBar::CInputBar(const Options& options, QWidget* parent)
    : QToolBar(QStringLiteral("Input line"), parent), m_label(new QLabel(QStringLiteral(" Input Line"))),
      m_input(new QLineEdit)
{
    setObjectName(QStringLiteral("inputBar"));
    setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    m_label->setObjectName(QStringLiteral("stateLabel"));
    m_label->setMinimumWidth(120);
    m_input->setObjectName(QStringLiteral("inputLine"));
    m_input->setMaxLength(kInputLineLimit);
    m_input->setMinimumWidth(300);
    addWidget(m_label);
    addWidget(m_input);
    // The game windows' placement buttons work once game windows exist.
    for (const char* text : {"Left", "Cen", "Right", "Next"}) {
        QAction* action = addAction(QString::fromLatin1(text));
        action->setEnabled(false);
    }
    applyInputFormat(options);
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

} // namespace marovin::shell
