#pragma once
// The session's desktop on Qt: the input line's state label, the terminal frame, the tell
// window and the windows of command answers (windows::CommandWindows). Until the main
// frame is attached every call is dropped.

#include <QPointer>

#include <cstdint>
#include <functional>

#include "session/client_ports.h"
#include "support/ports.h"

namespace marovin::windows {
class CMainFrame;
class CommandWindows;
} // namespace marovin::windows

namespace marovin::shell {

class QtClientDesktop : public session::ClientDesktopPort {
public:

    void attach(windows::CMainFrame* frame);
    // Where the list windows and the match dialogs are opened (null: nowhere).
    void setCommandWindows(windows::CommandWindows* windows) { m_windows = windows; }
    // What opens the login window (posted, so it opens after the current event).
    void setLoginWindowOpener(std::function<void()> open) { m_openLogin = std::move(open); }
    std::uint32_t labelColour() const { return m_labelColour; }

    void setStatusLabel(std::optional<std::uint32_t> colour, std::optional<std::string_view> text) override;
    void raiseTerminal() override;
    void setTerminalTitle(std::string_view title) override;
    void showPartialLine(std::string_view text) override;
    // The script sender waits in an event loop of its own that sees the prompt as soon as
    // the scanner returns: nothing to do here.
    void handleOnePendingEvent() override {}
    bool leftButtonDown() override;
    void appendTellLine(TextFormatId format, std::string_view line) override;
    void setPlayerName(std::string_view name) override;
    void updateWhoList(std::string_view output, int kind) override;
    void showWhoWindow() override;
    void updateGamesList(std::string_view output) override;
    void createStoredGamesWindow(std::string_view output) override;
    void createFingerWindow(std::string_view output) override;
    void openMessageDialog(std::string_view output) override;
    void openAliasResult(std::string_view output) override;
    void openMatchDialog(std::string_view line) override;
    void openLoginWindow() override;

private:
    QPointer<windows::CMainFrame> m_frame;
    windows::CommandWindows* m_windows = nullptr;
    std::function<void()> m_openLogin;
    std::uint32_t m_labelColour = session::kLabelIdle;
};

} // namespace marovin::shell
