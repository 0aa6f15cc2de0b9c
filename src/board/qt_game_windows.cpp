#include "board/qt_game_windows.h"

#include <QTimer>

#include <algorithm>
#include <string>

#include "board/game_text_frame.h"
#include "board/quit_game_dialog.h"
#include "session/game_status_text.h"

namespace marovin::board {

namespace {

// Sizes of a new window when its stored record is empty: the large looking and playing
// sizes.
constexpr int kLookingWidth = 696;
constexpr int kPlayingWidth = 450;
constexpr int kDefaultHeight = 530;

} // namespace

QtGameWindows::QtGameWindows(QMdiArea* area, session::ClientContext& context, QObject* parent)
    : QObject(parent), m_area(area), m_context(context)
{
    context.gameList.setWindows(this);
}

QtGameWindows::~QtGameWindows()
{
    if (m_context.gameList.windows() == this)
        m_context.gameList.setWindows(nullptr);
    for (const QPointer<CGameTextFrame>& frame : std::exchange(m_frames, {})) {
        if (frame) {
            frame->detach();
            delete frame.data();
        }
    }
}

bool QtGameWindows::openWindow(model::CGame& game, bool looking)
{
    if (!m_area)
        return false;
    auto* frame = new CGameTextFrame(game, *this);
    m_area->addSubWindow(frame);
    const WindowSizeRecord& record = looking ? m_context.options.lookingSize : m_context.options.playingSize;
    const Rect32& rect = record.placement.normalRect;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        width = looking ? kLookingWidth : kPlayingWidth;
        height = kDefaultHeight;
    }
    frame->resize(width, height);
    // Flush with the right edge of the area, at the top.
    frame->move(std::max(0, m_area->viewport()->width() - width), 0);
    frame->show();
    m_frames.emplace_back(frame);
    return true;
}

void QtGameWindows::closeWindow(model::CGame& game)
{
    CGameTextFrame* frame = frameOf(&game);
    if (!frame) {
        m_context.gameList.remove(&game);
        return;
    }
    // The close runs from the event loop, after the server output being handled now.
    QTimer::singleShot(0, frame, [frame = QPointer<CGameTextFrame>(frame)] {
        if (frame)
            frame->close();
    });
}

void QtGameWindows::redraw(model::CGame& game)
{
    if (CGameTextFrame* frame = frameOf(&game))
        frame->refreshStatus();
}

void QtGameWindows::refreshStatus(model::CGame& game) { redraw(game); }

void QtGameWindows::refreshClocks(model::CGame& game)
{
    if (CGameTextFrame* frame = frameOf(&game))
        frame->refreshClocks();
}

bool QtGameWindows::askQuitGame(model::CGame& game, std::string_view reason)
{
    CQuitGameDlg dialog(session::gameCaption(game), reason, m_area ? m_area->window() : nullptr);
    return dialog.exec() == QDialog::Accepted;
}

bool QtGameWindows::closeAll()
{
    m_closing = true;
    for (CGameTextFrame* frame : frames()) {
        if (m_area)
            m_area->setActiveSubWindow(frame);
        if (!frame->close()) {
            m_closing = false;
            return false;
        }
    }
    return true;
}

CGameTextFrame* QtGameWindows::frameOf(const model::CGame* game) const
{
    for (const QPointer<CGameTextFrame>& frame : m_frames)
        if (frame && frame->game() == game)
            return frame;
    return nullptr;
}

std::vector<CGameTextFrame*> QtGameWindows::frames() const
{
    std::vector<CGameTextFrame*> list;
    for (const QPointer<CGameTextFrame>& frame : m_frames)
        if (frame)
            list.push_back(frame);
    return list;
}

void QtGameWindows::sendLeave(const model::CGame& game)
{
    const std::string verb = game.participation == model::kPlaying ? "adjourn " : "observe ";
    session::sendCommand(m_context, verb + std::to_string(game.gameNumber) + "\n", true, false);
}

void QtGameWindows::frameClosed(CGameTextFrame* frame, model::CGame* game)
{
    std::erase_if(m_frames, [&](const QPointer<CGameTextFrame>& f) { return !f || f == frame; });
    m_context.gameList.remove(game);
}

} // namespace marovin::board
