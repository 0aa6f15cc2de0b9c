#include "session/alerts.h"

#include "model/game.h"
#include "model/legality.h"
#include "model/move_notation.h"
#include "session/client_context.h"
#include "support/big5.h"
#include "support/fixed_text.h"

namespace marovin::session {

void alertSound(ClientContext& context, SoundEvent event)
{
    if (context.alerts.soundOn(event))
        context.sounds().playSound(event);
}

void alertNotice(ClientContext& context, const Notice& notice)
{
    if (context.alerts.noticeOn(notice.event))
        context.notifications().notify(notice);
}

void alertGameMove(ClientContext& context, const model::CGame& game, const model::Board& before,
                   model::SquarePair move)
{
    const int moverSide = model::SideOf(before[move.from]);
    model::Board after = before;
    model::ApplyMove(after, move.from, move.to);
    if (model::IsInCheck(after, moverSide != model::kRed))
        alertSound(context, SoundEvent::Check);
    else if (before[move.to] != 0)
        alertSound(context, SoundEvent::Capture);
    else
        alertSound(context, SoundEvent::Move);
    if (moverSide == game.userSide)
        return;
    const std::string_view mover = fieldText(moverSide == model::kRed ? game.redName : game.blackName);
    Notice notice;
    notice.event = NoticeEvent::OpponentMoved;
    notice.title = std::string(mover) + " moved (game " + std::to_string(game.gameNumber) + ")";
    notice.body = utf8ToBig5(model::MoveText(before, move.from, move.to, model::MoveNotation::Chinese)) + " (" +
                  model::FormatCoordinateMove(move.from, move.to) + ")";
    notice.game = &game;
    alertNotice(context, notice);
}

void alertGameStart(ClientContext& context)
{
    alertSound(context, SoundEvent::GameStart);
}

void alertGameEnd(ClientContext& context, const model::CGame& game, std::string_view endText)
{
    alertSound(context, SoundEvent::GameEnd);
    Notice notice;
    notice.event = NoticeEvent::GameEnded;
    notice.title = "Game " + std::to_string(game.gameNumber) + " ended";
    notice.body = std::string(fieldText(game.redName)) + " vs " + std::string(fieldText(game.blackName)) + ": " +
                  std::string(endText);
    notice.game = &game;
    alertNotice(context, notice);
}

void alertTell(ClientContext& context, std::string_view sender, std::string_view line)
{
    alertSound(context, SoundEvent::Tell);
    Notice notice;
    notice.event = NoticeEvent::Tell;
    notice.title = sender.empty() ? std::string("A tell") : std::string(sender) + " tells you";
    const std::size_t blank = line.find(' ');
    notice.body = std::string(blank == std::string_view::npos ? line : line.substr(blank + 1));
    alertNotice(context, notice);
}

void alertChallenge(ClientContext& context, std::string_view line)
{
    alertSound(context, SoundEvent::Challenge);
    Notice notice;
    notice.event = NoticeEvent::Challenge;
    notice.title = "A challenge";
    notice.body = std::string(line);
    alertNotice(context, notice);
}

} // namespace marovin::session
