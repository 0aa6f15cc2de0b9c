#include "board/game_text_frame.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QVBoxLayout>

#include <string>

#include "board/qt_game_windows.h"
#include "platform/big5_text.h"
#include "session/game_status_text.h"
#include "support/fixed_text.h"

namespace marovin::board {

namespace {

bool isBusy(const model::CGame& game)
{
    return game.mode == model::kModeBusy || game.mode == model::kModeReading;
}

// "alice (1532)", or the name alone without a rating.
QString playerText(std::string_view name, int rating)
{
    QString text = platform::fromBig5(name);
    if (rating != 0)
        text += QStringLiteral(" (%1)").arg(rating);
    return text;
}

} // namespace

CGameTextFrame::CGameTextFrame(model::CGame& game, QtGameWindows& host, QWidget* parent)
    : QMdiSubWindow(parent), m_game(&game), m_host(host), m_players(new QLabel), m_turn(new QLabel),
      m_moves(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("gameWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_players->setFont(fixed);
    m_players->setObjectName(QStringLiteral("players"));
    m_turn->setObjectName(QStringLiteral("turn"));
    m_moves->setFont(fixed);
    m_moves->setReadOnly(true);
    m_moves->setObjectName(QStringLiteral("moves"));
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(m_players);
    layout->addWidget(m_turn);
    layout->addWidget(m_moves, 1);
    setWidget(body);
    game.setObserver(this);
    refreshStatus();
}

CGameTextFrame::~CGameTextFrame()
{
    if (model::CGame* game = std::exchange(m_game, nullptr))
        m_host.frameClosed(this, game);
}

void CGameTextFrame::detach()
{
    if (m_game)
        m_game->setObserver(nullptr);
    m_game = nullptr;
}

void CGameTextFrame::refreshStatus()
{
    if (!m_game)
        return;
    const model::CGame& game = *m_game;
    setWindowTitle(platform::fromBig5(session::gameCaption(game)));
    refreshClocks();
    const int ply = game.browsedPly();
    QString turn = QStringLiteral("Move %1, %2 to move").arg(ply + 1).arg(game.isRedToMoveBrowsed() ? QStringLiteral("Red") : QStringLiteral("Black"));
    if (game.participation <= model::kPlaying && !game.isBrowsingLive())
        turn += QStringLiteral(" (an earlier position)");
    m_turn->setText(turn);
    QStringList rows;
    for (const std::string& row : session::mainLineRows(game))
        rows << QString::fromLatin1(row.c_str());
    if (m_moves->toPlainText() != rows.join('\n')) {
        m_moves->setPlainText(rows.join('\n'));
        m_moves->moveCursor(QTextCursor::End);
    }
}

void CGameTextFrame::refreshClocks()
{
    if (!m_game)
        return;
    const model::CGame& game = *m_game;
    const bool setUpLocal = game.participation >= model::kServerNotLive && game.customPosition;
    QString clock1, clock2;
    int rating1 = game.redRating;
    int rating2 = game.blackRating;
    if (setUpLocal) {
        // A set-up position shows who moves first instead of clocks.
        clock1 = game.firstMover != 0 ? QStringLiteral(" Black") : QStringLiteral(" RED");
        clock2 = QStringLiteral(" First");
        rating1 = rating2 = 0;
    } else {
        clock1 = QString::fromLatin1(session::clockText(game.times[2]).c_str());
        clock2 = QString::fromLatin1(session::clockText(game.times[3]).c_str());
    }
    m_players->setText(QStringLiteral("%1  %2\n%3  %4")
                           .arg(playerText(fieldText(game.redName), rating1), -24)
                           .arg(clock1)
                           .arg(playerText(fieldText(game.blackName), rating2), -24)
                           .arg(clock2));
}

void CGameTextFrame::refreshIfIdle(const model::CGame& game)
{
    if (!isBusy(game))
        refreshStatus();
}

void CGameTextFrame::moveMade(model::CGame& game, const model::PackedMove&) { refreshIfIdle(game); }

void CGameTextFrame::moveTakenBack(model::CGame& game, const model::PackedMove&) { refreshIfIdle(game); }

void CGameTextFrame::nameChanged(model::CGame& game)
{
    if (!isBusy(game))
        setWindowTitle(platform::fromBig5(session::gameCaption(game)));
}

void CGameTextFrame::positionReset(model::CGame& game) { refreshIfIdle(game); }

void CGameTextFrame::closeEvent(QCloseEvent* event)
{
    model::CGame* game = m_game;
    if (!game) {
        event->accept();
        return;
    }
    if (game->participation <= model::kPlaying) {
        // Leaving a live game is the server's to confirm: it ends the game, which closes
        // the window. Only a closing program does not wait.
        m_host.sendLeave(*game);
        if (!m_host.programClosing()) {
            event->ignore();
            return;
        }
    } else if (game->modified && !m_host.askQuitGame(*game, {})) {
        event->ignore();
        return;
    }
    event->accept();
    detach();
    m_host.frameClosed(this, game);
}

} // namespace marovin::board
