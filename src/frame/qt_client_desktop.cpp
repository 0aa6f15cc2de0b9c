#include "frame/qt_client_desktop.h"

#include <QGuiApplication>
#include <QTimer>

#include <string>

#include "platform/big5_text.h"
#include "terminal/input_bar.h"
#include "terminal/output_view.h"
#include "terminal/tell_window.h"
#include "terminal/terminal_frame.h"
#include "frame/command_windows.h"
#include "frame/main_frame.h"

namespace marovin::shell {

void QtClientDesktop::attach(windows::CMainFrame* frame)
{
    m_frame = frame;
    if (m_frame)
        m_frame->inputBar()->setStatusLabel(m_labelColour, std::nullopt);
}

void QtClientDesktop::setStatusLabel(std::optional<std::uint32_t> colour, std::optional<std::string_view> text)
{
    if (colour)
        m_labelColour = *colour;
    if (m_frame)
        m_frame->inputBar()->setStatusLabel(colour, text);
}

void QtClientDesktop::raiseTerminal()
{
    if (!m_frame || !m_frame->terminal())
        return;
    CTerminalFrame* terminal = m_frame->terminal();
    terminal->show();
    m_frame->mdiArea()->setActiveSubWindow(terminal);
    terminal->raise();
}

void QtClientDesktop::setTerminalTitle(std::string_view title)
{
    if (m_frame && m_frame->terminal())
        m_frame->terminal()->setTitle(title);
}

void QtClientDesktop::showPartialLine(std::string_view text)
{
    if (m_frame && m_frame->terminal())
        m_frame->terminal()->view()->showPartialLine(text);
}

bool QtClientDesktop::leftButtonDown()
{
    return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
}

void QtClientDesktop::appendTellLine(TextFormatId format, std::string_view line)
{
    if (m_frame && m_frame->tellWindow())
        m_frame->tellWindow()->appendTellLine(line, format);
}

void QtClientDesktop::setPlayerName(std::string_view name)
{
    if (m_frame && m_frame->tellWindow())
        m_frame->tellWindow()->setPlayerName(name, false);
}

void QtClientDesktop::updateWhoList(std::string_view output, int kind)
{
    if (m_windows)
        m_windows->updateWhoList(output, kind);
}

void QtClientDesktop::showWhoWindow()
{
    if (m_windows)
        m_windows->showWhoWindow();
}

void QtClientDesktop::updateGamesList(std::string_view output)
{
    if (m_windows)
        m_windows->updateGamesList(output);
}

void QtClientDesktop::createStoredGamesWindow(std::string_view output)
{
    if (m_windows)
        m_windows->createStoredGamesWindow(output);
}

void QtClientDesktop::createFingerWindow(std::string_view output)
{
    if (m_windows)
        m_windows->createFingerWindow(output);
}

void QtClientDesktop::openMessageDialog(std::string_view output)
{
    if (m_windows)
        m_windows->openMessageDialog(output);
}

void QtClientDesktop::openAliasResult(std::string_view output)
{
    if (m_windows)
        m_windows->openAliasResult(output);
}

// The scanner hands over lines beginning "Rated " or "Unrated ": always a challenge, however
// short (a short one does not read as one, and opens nothing).
void QtClientDesktop::openMatchDialog(std::string_view line)
{
    if (m_windows)
        m_windows->openMatchDialog({session::MatchOpening::From::Challenge, line});
}

void QtClientDesktop::openLoginWindow()
{
    if (!m_frame || !m_openLogin)
        return;
    QTimer::singleShot(0, m_frame.data(), [open = m_openLogin] { open(); });
}

} // namespace marovin::shell
