#include "game_window/qt_game_windows.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <string>

#include "game_window/choose_branch_dialog.h"
#include "game_window/game_frame.h"
#include "game_window/quit_game_dialog.h"
#include "platform/big5_text.h"
#include "session/alerts.h"
#include "session/game_status_text.h"

namespace marovin::board {

namespace {

constexpr int kLookingFallback = 4; // a stored size that holds no window: the large ones
constexpr int kPlayingFallback = 2;
constexpr int kMaxStagger = 20;

WindowSizeRecord sizeFor(const Options& options, bool looking)
{
    const WindowSizeRecord& record = looking ? options.lookingSize : options.playingSize;
    const Rect32& r = record.placement.normalRect;
    if (r.right - r.left <= 0 || r.bottom - r.top <= 0)
        return builtInWindowSize(looking ? kLookingFallback : kPlayingFallback);
    return record;
}

} // namespace

QtGameWindows::QtGameWindows(QMdiArea* area, session::ClientContext& context, const SystemMetrics& metrics,
                             QObject* parent)
    : QObject(parent), m_area(area), m_context(context),
      m_resources{context.options, m_bitmap, GlyphSets::forProcess(), metrics}
{
    context.gameList.setWindows(this);
    loadBoardBitmap(context.options, context.desktop, m_bitmap);
    // A maximised terminal must not make every game window open maximised over it.
    if (area)
        area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
}

QtGameWindows::~QtGameWindows()
{
    if (m_context.gameList.windows() == this)
        m_context.gameList.setWindows(nullptr);
    for (const Entry& entry : std::exchange(m_entries, {})) {
        entry.game->setObserver(nullptr);
        if (entry.frame) {
            entry.frame->detach();
            delete entry.frame.data();
        }
    }
}

// ---- the session's port ----------------------------------------------------------------

QRect QtGameWindows::placeNewWindow(const WindowSizeRecord& record) const
{
    const WindowRect size = appliedSize(record, 0);
    const QWidget* viewport = m_area->viewport();
    const int areaLeft = viewport->mapToGlobal(QPoint(0, 0)).x();
    const QScreen* screen = viewport->screen() ? viewport->screen() : QGuiApplication::primaryScreen();
    const int screenRight = screen ? screen->geometry().right() + 1 : areaLeft + viewport->width() + 8;
    const WindowRect wanted{newWindowLeft(areaLeft, areaLeft + viewport->width(), screenRight, size.width), 0,
                            size.width, size.height};
    // A new window must leave every open window's title bar in sight: one hidden under it
    // could not be seen, chosen or dragged.
    std::vector<WindowRect> open;
    for (const Entry& entry : m_entries)
        if (entry.frame && entry.frame->isVisible() && !entry.frame->isMaximized() && !entry.frame->isMinimized()) {
            const QRect at = entry.frame->geometry();
            open.push_back({at.left(), at.top(), at.width(), at.height()});
        }
    const QStyle* style = m_area->style();
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight) + style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const int step = std::max(16, title);
    const WindowRect place = clearOfTitleBars(wanted, open, step, step, kMaxStagger);
    return QRect(place.left, place.top, place.width, place.height);
}

CGameFrame* QtGameWindows::addFrame(model::CGame& game, const WindowSizeRecord& record)
{
    auto* frame = new CGameFrame(game, *this, record);
    frame->view()->setBoardGrows(m_boardGrows);
    m_area->addSubWindow(frame);
    frame->setGeometry(placeNewWindow(record));
    m_entries.push_back({&game, frame});
    game.setObserver(&m_observer);
    connect(frame, &CGameFrame::stateChanged, this, &QtGameWindows::windowsChanged);
    frame->show();
    // The new window comes to the front, but the keyboard stays with the input line.
    m_area->setActiveSubWindow(frame);
    frame->raise();
    requestInputFocus();
    emit windowsChanged();
    return frame;
}

bool QtGameWindows::openWindow(model::CGame& game, bool looking)
{
    if (!m_area)
        return false;
    CGameFrame* frame = addFrame(game, sizeFor(m_context.options, looking));
    if (!looking)
        emit playedGameOpened(frame);
    return true;
}

CGameFrame* QtGameWindows::openView(CGameFrame& source)
{
    model::CGame* game = source.game();
    if (!m_area || !game || !source.canOpenView())
        return nullptr;
    CGameFrame* view = addFrame(*game, source.currentSize());
    view->takeDocumentOf(source);
    return view;
}

void QtGameWindows::closeWindow(model::CGame& game)
{
    const std::vector<CGameFrame*> views = framesOf(&game);
    if (views.empty())
        m_context.gameList.remove(&game);
    for (CGameFrame* frame : views)
        frame->requestClose();
}

void QtGameWindows::redraw(model::CGame& game)
{
    m_observer.redraw(game);
}

void QtGameWindows::refreshStatus(model::CGame& game)
{
    const int lowClock = checkAlarm(game);
    for (CGameFrame* frame : framesOf(&game)) {
        frame->view()->setLowClock(lowClock);
        frame->refreshStatus();
    }
}

void QtGameWindows::refreshClocks(model::CGame& game)
{
    const int lowClock = checkAlarm(game);
    for (CGameFrame* frame : framesOf(&game)) {
        frame->view()->setLowClock(lowClock);
        frame->refreshClocks();
    }
}

int QtGameWindows::checkAlarm(const model::CGame& game)
{
    ClockAlarm& alarm = m_alarms[&game];
    if (game.participation != model::kPlaying || game.mode != model::kModeNormal || !game.clocksKnown) {
        alarm.reset();
        return 0;
    }
    const bool red = game.userSide == model::kRed;
    const AlertSettings& settings = m_context.alerts;
    if (alarm.update(red ? game.times[2] : game.times[3], {settings.alarmFirstSeconds, settings.alarmSecondSeconds}))
        session::alertSound(m_context, SoundEvent::LowTime);
    return !alarm.low() ? 0 : red ? 1 : 2;
}

bool QtGameWindows::askQuitGame(model::CGame& game, std::string_view reason)
{
    CGameFrame* frame = frameOf(&game);
    QWidget* parent = frame ? static_cast<QWidget*>(frame) : (m_area ? m_area->window() : nullptr);
    const QString title = frame ? frame->quitTitle() : platform::fromBig5(session::gameCaption(game));
    CQuitGameDlg dialog(title, reason, parent);
    const int answer = frame ? frame->execDialog(dialog) : dialog.exec();
    requestInputFocus();
    return answer == QDialog::Accepted;
}

std::optional<int> QtGameWindows::chooseBranch(model::CGame& game, const std::vector<model::BranchRow>& rows)
{
    CGameFrame* frame = frameOf(&game);
    CChooseBranchDlg dialog(rows, frame ? static_cast<QWidget*>(frame) : (m_area ? m_area->window() : nullptr));
    if (frame)
        frame->execDialog(dialog);
    else
        dialog.exec();
    requestInputFocus();
    return dialog.chosenRow();
}

// ---- for the main frame ------------------------------------------------------------------

CGameFrame* QtGameWindows::newGame()
{
    model::CGame* game = m_context.gameList.openForUser();
    return game ? frameOf(game) : nullptr;
}

CGameFrame* QtGameWindows::frameOf(const model::CGame* game) const
{
    CGameFrame* active = activeFrame();
    if (active && game && active->game() == game)
        return active;
    const std::vector<CGameFrame*> views = framesOf(game);
    return views.empty() ? nullptr : views.front();
}

std::vector<CGameFrame*> QtGameWindows::framesOf(const model::CGame* game) const
{
    std::vector<CGameFrame*> list;
    for (const Entry& entry : m_entries)
        if (entry.game == game && entry.frame)
            list.push_back(entry.frame);
    return list;
}

std::vector<CGameFrame*> QtGameWindows::frames() const
{
    std::vector<CGameFrame*> list;
    for (const model::CGame* game : m_context.gameList.games())
        for (CGameFrame* frame : framesOf(game))
            list.push_back(frame);
    return list;
}

CGameFrame* QtGameWindows::activeFrame() const
{
    // The current window is the active one, or, while the program is not the active one,
    // the window that becomes active with it.
    return m_area ? qobject_cast<CGameFrame*>(m_area->currentSubWindow()) : nullptr;
}

void QtGameWindows::activateNext()
{
    std::vector<CGameFrame*> opened;
    for (const Entry& entry : m_entries)
        if (entry.frame)
            opened.push_back(entry.frame);
    if (opened.empty() || !m_area)
        return;
    const auto active = std::find(opened.begin(), opened.end(), activeFrame());
    CGameFrame* next = active == opened.end() || active + 1 == opened.end() ? opened.front() : *(active + 1);
    if (next->isMinimized())
        next->showNormal();
    m_area->setActiveSubWindow(next);
    next->raise();
    requestInputFocus();
}

void QtGameWindows::bringToFront(CGameFrame* frame)
{
    QTimer::singleShot(0, this, [this, frame = QPointer<CGameFrame>(frame)] {
        if (!frame || !m_area)
            return;
        m_area->setActiveSubWindow(frame);
        frame->raise();
        requestInputFocus();
    });
}

bool QtGameWindows::closeAll()
{
    m_closing = true;
    for (CGameFrame* frame : frames()) {
        if (m_area)
            m_area->setActiveSubWindow(frame);
        if (!frame->close()) {
            m_closing = false;
            return false;
        }
    }
    return true;
}

void QtGameWindows::redrawBoards()
{
    // The painters see which settings changed and rebuild their piece images for them.
    for (const Entry& entry : m_entries)
        if (entry.frame)
            entry.frame->view()->fullRepaint();
}

void QtGameWindows::setMoveListSettings(const MoveListSettings& settings, bool store)
{
    m_moveListSettings = settings;
    for (const Entry& entry : m_entries)
        if (entry.frame)
            entry.frame->applyMoveListSettings(settings);
    if (store)
        saveMoveListSettings(settings);
}

void QtGameWindows::setBoardGrows(bool grows, bool store)
{
    m_boardGrows = grows;
    for (const Entry& entry : m_entries)
        if (entry.frame) {
            entry.frame->view()->setBoardGrows(grows);
            entry.frame->fitGrownBoard();
        }
    if (store)
        saveBoardGrows(grows);
}

void QtGameWindows::requestInputFocus() const
{
    if (m_input.requestFocus)
        m_input.requestFocus();
}

// ---- for the frames -----------------------------------------------------------------------

void QtGameWindows::sendLeave(const model::CGame& game)
{
    const std::string verb = game.participation == model::kPlaying ? "adjourn " : "observe ";
    session::sendCommand(m_context, verb + std::to_string(game.gameNumber) + "\n", true, false);
}

void QtGameWindows::send(std::string_view line)
{
    session::sendCommand(m_context, line, true, true);
}

void QtGameWindows::frameClosed(CGameFrame* frame, model::CGame* game)
{
    std::erase_if(m_entries, [&](const Entry& entry) { return !entry.frame || entry.frame == frame; });
    if (framesOf(game).empty()) {
        m_alarms.erase(game);
        m_context.gameList.remove(game);
    }
    emit windowsChanged();
}

// ---- the games' observer --------------------------------------------------------------------

void QtGameWindows::ViewsObserver::redraw(model::CGame& game)
{
    for (CGameFrame* frame : m_windows.framesOf(&game))
        frame->redraw(game);
}

void QtGameWindows::ViewsObserver::moveMade(model::CGame& game, const model::PackedMove& move)
{
    for (CGameFrame* frame : m_windows.framesOf(&game))
        frame->moveMade(game, move);
}

void QtGameWindows::ViewsObserver::moveTakenBack(model::CGame& game, const model::PackedMove& move)
{
    for (CGameFrame* frame : m_windows.framesOf(&game))
        frame->moveTakenBack(game, move);
}

void QtGameWindows::ViewsObserver::showNote(model::CGame& game)
{
    for (CGameFrame* frame : m_windows.framesOf(&game))
        frame->showNote(game);
}

void QtGameWindows::ViewsObserver::moveScroll(model::CGame& game, int maximum, int position)
{
    for (CGameFrame* frame : m_windows.framesOf(&game))
        frame->moveScroll(game, maximum, position);
}

void QtGameWindows::ViewsObserver::nameChanged(model::CGame& game)
{
    for (CGameFrame* frame : m_windows.framesOf(&game))
        frame->nameChanged(game);
}

} // namespace marovin::board
