#include "game_window/game_engine.h"

#include <QTimer>

#include "game_window/analysis_strip.h"
#include "engine/engine_position.h"
#include "model/fen.h"
#include "model/legality.h"
#include "platform/big5_text.h"

namespace marovin::board {

namespace {

// The strip shows this many moves of a variation.
constexpr std::size_t kShownMoves = 12;

} // namespace

QString gameEndMessage(model::GameStatus status, bool redToMove)
{
    const QString loser = redToMove ? QStringLiteral("Red") : QStringLiteral("Black");
    const QString winner = redToMove ? QStringLiteral("Black") : QStringLiteral("Red");
    switch (status) {
    case model::GameStatus::Playing:
        return {};
    case model::GameStatus::Checkmate:
        return QStringLiteral("%1 wins: %2 is checkmated.").arg(winner, loser);
    case model::GameStatus::Stalemate:
        return QStringLiteral("%1 wins: %2 has no legal move.").arg(winner, loser);
    }
    return {};
}

GameEngine::GameEngine(model::CGame& game, AnalysisStrip& strip, platform::EnginePool& pool, QObject* parent)
    : QObject(parent), m_game(&game), m_strip(strip), m_pool(pool)
{
    connect(&strip, &AnalysisStrip::playRequested, this, &GameEngine::playFirstMove);
    connect(&pool, &platform::EnginePool::takenAway, this, &GameEngine::onTakenAway);
    // A window left waiting (every engine was busy) takes one that comes free.
    connect(&pool, &platform::EnginePool::freed, this, [this] {
        if (engineActive() && !session() && m_pool.hasFree())
            settingsChanged();
    });
    updateStripVisibility();
}

void GameEngine::detach()
{
    m_game = nullptr;
    m_analysing = false;
    m_play.reset();
    release();
}

void GameEngine::release()
{
    m_pool.giveBack(this);
    m_asked.reset();
    m_thinking = false;
}

void GameEngine::settingsChanged()
{
    m_asked.reset(); // a restarted engine is asked again
    positionChanged();
}

void GameEngine::setOptions(const engine::EngineOptions& options)
{
    m_pool.setOptions(options);
    settingsChanged();
}

void GameEngine::activated()
{
    if (!session())
        settingsChanged();
}

void GameEngine::onTakenAway(QObject* borrower)
{
    if (borrower != this)
        return;
    m_asked.reset();
    m_thinking = false;
    if (engineActive())
        m_strip.showMessage(tr("The engine works for another window; it comes back when this window is active."));
}

void GameEngine::setAnalysing(bool on)
{
    if (on == m_analysing)
        return;
    m_analysing = on;
    if (!on && !m_play) {
        release();
    } else if (!m_thinking) {
        // A search of the user's position gives way to what is asked now; the engine's
        // own move in play goes on.
        if (platform::EngineSession* engine = session(); engine && m_asked)
            engine->stop();
        m_asked.reset();
    }
    if (on)
        m_strip.showMessage(tr("Starting the engine..."));
    updateStripVisibility();
    positionChanged();
    emit modeChanged();
}

bool GameEngine::canPlay() const
{
    return m_game && m_game->participation == model::kLocalGame;
}

void GameEngine::startPlaying(const EnginePlaySettings& settings)
{
    if (!canPlay())
        return;
    m_play = settings;
    m_engineScore.clear();
    if (platform::EngineSession* engine = session())
        engine->stop();
    m_asked.reset();
    m_strip.showMessage(tr("The engine plays %1.").arg(settings.engineSide == model::kRed ? tr("Red") : tr("Black")));
    updateStripVisibility();
    positionChanged();
    emit modeChanged();
}

void GameEngine::stopPlaying()
{
    if (!m_play)
        return;
    m_play.reset();
    if (!m_analysing) {
        release();
    } else if (m_thinking) {
        // The engine's move is no longer wanted: the analysis takes the engine back.
        if (platform::EngineSession* engine = session())
            engine->stop();
        m_asked.reset();
        m_thinking = false;
        positionChanged();
    }
    updateStripVisibility();
    emit modeChanged();
}

void GameEngine::setSuspended(bool suspended)
{
    if (suspended == m_suspended)
        return;
    m_suspended = suspended;
    if (suspended) {
        release();
    } else {
        positionChanged();
    }
}

std::optional<GameEngine::Position> GameEngine::shownPosition() const
{
    if (!m_game)
        return std::nullopt;
    return Position{m_game->browsedBoard, m_game->isRedToMoveBrowsed(), model::ShownCounts(*m_game)};
}

void GameEngine::positionChanged()
{
    if (!engineActive())
        return;
    // Replays and file readings pass through many positions: only the one they end on counts.
    if (m_game->mode != model::kModeNormal && m_game->mode != model::kModeEditing &&
        m_game->mode != model::kModeGameOver)
        return;
    const auto position = shownPosition();
    if (!position || (m_asked && *m_asked == *position))
        return;
    if (m_play) {
        if (checkGameEnd(*position))
            return;
        const bool enginesTurn = position->redToMove == (m_play->engineSide == model::kRed);
        const bool atEnd = m_game->browsedPly() >= m_game->pathLength();
        if (enginesTurn && atEnd) {
            askEngine(*position, true);
            return;
        }
        if (!m_analysing) {
            if (platform::EngineSession* engine = session(); engine && m_asked)
                engine->stop();
            m_asked.reset();
            m_thinking = false;
            if (enginesTurn)
                m_strip.showMessage(tr("The engine moves at the end of the game."));
            else if (m_engineScore.isEmpty())
                m_strip.showMessage(tr("Your move."));
            else
                m_strip.showMessage(tr("Your move. The engine's score: %1").arg(m_engineScore));
            return;
        }
    }
    askEngine(*position, false);
}

void GameEngine::askEngine(const Position& position, bool enginesMove)
{
    // The start of the record and the moves to the shown position, so that the engine
    // sees repetitions; the shown board alone where the record does not lead to it.
    const engine::EnginePosition request = engine::PositionOfBrowsed(*m_game);
    m_asked = position;
    m_variation.clear();
    m_strip.clearOtherLines();
    m_thinking = enginesMove;
    platform::EngineSession* engine = session();
    if (!engine) {
        engine = m_pool.borrow(this);
        if (!engine) {
            m_thinking = false;
            m_strip.showMessage(tr("Every engine is busy analysing a game (the engine settings may allow more)."));
            return;
        }
        connect(engine, &platform::EngineSession::analysisArrived, this, &GameEngine::onAnalysis);
        connect(engine, &platform::EngineSession::bestMoveArrived, this, &GameEngine::onBestMove);
        connect(engine, &platform::EngineSession::failed, this, &GameEngine::onFailed);
    }
    engine::SearchLimits limits;
    if (enginesMove)
        limits.movetimeMs = m_play->movetimeMs;
    else
        limits.multiPv = m_pool.settings().lines;
    m_searchId = engine->search(request, limits);
}

void GameEngine::onAnalysis(const engine::EngineAnalysis& analysis)
{
    if (analysis.searchId != m_searchId || !m_asked)
        return;
    if (analysis.multipv > 1) { // the engine's other choices, below its best one
        m_strip.showOtherLine(analysis.multipv, QString::fromStdString(engine::FormatScore(analysis.score)),
                              platform::fromBig5(engine::ChineseVariation(analysis.board, analysis.pv, kShownMoves)));
        return;
    }
    m_variation = analysis.pv;
    const std::string first = engine::ChineseVariation(analysis.board, analysis.pv, 1);
    std::string rest;
    if (analysis.pv.size() > 1) {
        model::Board after = analysis.board;
        model::ApplyMove(after, analysis.pv[0].from, analysis.pv[0].to);
        const std::vector<model::SquarePair> tail(analysis.pv.begin() + 1, analysis.pv.end());
        rest = engine::ChineseVariation(after, tail, kShownMoves - 1);
    }
    const QString score = QString::fromStdString(engine::FormatScore(analysis.score));
    if (m_thinking)
        m_engineScore = score;
    // While the engine plays, its line is not offered for playing by click.
    m_strip.showAnalysis(score, analysis.depth,
                         m_thinking ? QString() : platform::fromBig5(first),
                         platform::fromBig5(m_thinking ? first + (rest.empty() ? "" : " " + rest) : rest));
}

void GameEngine::onBestMove(int searchId, std::optional<model::SquarePair> move)
{
    if (searchId != m_searchId || !m_thinking || !m_play || !m_game)
        return;
    m_thinking = false;
    const auto position = shownPosition();
    if (!position || !m_asked || !(*position == *m_asked))
        return; // the board changed while the engine thought: it is asked again
    if (!move) {
        m_strip.showMessage(tr("The engine found no move."));
        stopPlaying();
        return;
    }
    m_asked.reset();
    m_game->PlayMove(move->from, move->to, model::MoveKind::User);
    // The window's notice of the move asks for the next step; make sure it happens.
    positionChanged();
}

void GameEngine::onFailed(const QString& message)
{
    // The position stays asked: the engine starts again for the next position, not over
    // and over for this one.
    m_thinking = false;
    m_strip.showMessage(message);
    if (m_play && m_game) {
        stopPlaying();
        m_game->ports().desktop.messageBox(platform::toBig5(message));
    }
}

bool GameEngine::checkGameEnd(const Position& position)
{
    const QString ended = gameEndMessage(model::EvaluatePosition(position.board, position.redToMove),
                                         position.redToMove);
    if (ended.isEmpty())
        return false;
    m_strip.showMessage(ended);
    stopPlaying();
    // Shown after the move that ended the game has been drawn.
    QTimer::singleShot(0, this, [this, ended] {
        if (m_game)
            m_game->ports().desktop.messageBox(platform::toBig5(ended));
    });
    return true;
}

void GameEngine::playFirstMove()
{
    if (!m_game || m_thinking || m_variation.empty() || !m_asked)
        return;
    if (m_game->mode != model::kModeNormal || m_game->participation == model::kPlaying)
        return; // a move of a game played on the server goes to the server, not here
    const auto position = shownPosition();
    if (!position || !(*position == *m_asked))
        return;
    const model::SquarePair move = m_variation.front();
    m_game->PlayMove(move.from, move.to, model::MoveKind::User);
}

void GameEngine::updateStripVisibility()
{
    m_strip.setVisible(m_game && (m_analysing || m_play));
}

} // namespace marovin::board
