#pragma once
// The session's game windows on Qt: each game of the context's game list is shown in a
// child window of the main frame's area (CGameTextFrame), opened, refreshed and closed at
// the session's request, with the quit-game question as a modal dialog.

#include <QMdiArea>
#include <QObject>
#include <QPointer>

#include <vector>

#include "session/client_context.h"
#include "session/game_list.h"

namespace marovin::board {

class CGameTextFrame;

class QtGameWindows : public QObject, public session::GameWindowsPort {
    Q_OBJECT
public:
    // area holds the windows; the context (its game list, options and connection) must
    // outlive this object. Installs itself as the list's windows.
    QtGameWindows(QMdiArea* area, session::ClientContext& context, QObject* parent = nullptr);
    // Windows still open are closed without asking; their games stay in the list.
    ~QtGameWindows() override;

    bool openWindow(model::CGame& game, bool looking) override;
    void closeWindow(model::CGame& game) override;
    void redraw(model::CGame& game) override;
    void refreshStatus(model::CGame& game) override;
    void refreshClocks(model::CGame& game) override;
    bool askQuitGame(model::CGame& game, std::string_view reason) override;
    // The text windows do not step through the record, so nothing ever asks; the answer
    // is "no choice".
    std::optional<int> chooseBranch(model::CGame&, const std::vector<model::BranchRow>&) override
    {
        return std::nullopt;
    }

    // Program exit: every game window is asked to close (live games send their leave
    // command and close). False, and the program stays, when one refuses.
    bool closeAll();
    bool programClosing() const { return m_closing; }

    CGameTextFrame* frameOf(const model::CGame* game) const;
    std::vector<CGameTextFrame*> frames() const;

    // ---- for the frames ----
    // "observe %d\n" for an observed game, "adjourn %d\n" for a played one, with echo.
    void sendLeave(const model::CGame& game);
    // The frame of game is closing for good: the game leaves the list.
    void frameClosed(CGameTextFrame* frame, model::CGame* game);

private:
    QPointer<QMdiArea> m_area;
    session::ClientContext& m_context;
    std::vector<QPointer<CGameTextFrame>> m_frames;
    bool m_closing = false;
};

} // namespace marovin::board
