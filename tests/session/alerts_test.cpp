// Which server events ask for which sound and which desktop notification, through fakes of
// the two ports, with the real scanner and game side.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/alerts.h"
#include "testkit/game_fakes.h"
#include "testkit/session_fakes.h"

namespace marovin::session {
namespace {

struct AlertRig : testkit::GameRig {
    AlertRig()
    {
        context->setAlertPorts(&alerts, &alerts);
        // The user (tester) plays Red in game 12; game 7 is only observed.
        feed("\r\nGame 12 tester vs rival created. 10 min 600 600 0 1500 1500 0\r\n(1) H2-E2\r\nOMRA% ");
        block({"observe: Game 7 BotMa vs BotPao added to your observation list. 10 min 600 590 5 0 0 1", "(1) H2-E2"});
        alerts = {};
    }
    std::vector<std::string> noticeTitles() const
    {
        std::vector<std::string> titles;
        for (const Notice& notice : alerts.notices)
            titles.push_back(notice.title);
        return titles;
    }
    testkit::FakeAlerts alerts;
};

std::string report(int game, int number, const std::string& move)
{
    const std::string players = game == 12 ? " tester vs rival " : " BotMa vs BotPao ";
    return "\r\nGame " + std::to_string(game) + players + std::to_string(number) + " " + move +
           " 590 580 0 1500 1500 0\r\nOMRA% ";
}

TEST(Alerts, EachEventAsksForItsSoundAndNotice)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<SoundEvent> sounds;
        std::vector<std::string> notices; // titles, with the default settings
    };
    using S = SoundEvent;
    const Case cases[] = {
        {"the user's game starts", "\r\nGame 13 rival vs tester created. 5 min 300 300 0 1500 1500 0\r\nOMRA% ",
         {S::GameStart}, {}},
        {"the opponent moves (move notices are off)", report(12, 2, "H9-G7"), {S::Move}, {}},
        {"a capture", report(12, 2, "B7-B0"), {S::Capture}, {}},
        {"a check (that captures)",
         report(12, 2, "E6-E5") + report(12, 3, "E3-E4") + report(12, 4, "A9-A8") + report(12, 5, "E4-E5"),
         {S::Move, S::Move, S::Move, S::Check}, {}},
        {"a move in an observed game", report(7, 2, "H9-G7"), {}, {}},
        {"a tell", "\r\n#rival>: good luck\r\nOMRA% ", {S::Tell}, {"rival tells you"}},
        {"a challenge",
         "\r\nRated even game in 5 minutes (0 seconds increment) requested with alice as red.\r\nOMRA% ",
         {S::Challenge}, {"A challenge"}},
        {"the user's game ends", "\r\nGame 12 tester vs rival Red resigned. 0-1\r\nOMRA% ", {S::GameEnd},
         {"Game 12 ended"}},
        {"an observed game ends", "\r\nGame 7 BotMa vs BotPao Red resigned. 0-1\r\nOMRA% ", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlertRig rig;
        rig.feed(c.bytes);
        EXPECT_EQ(rig.alerts.sounds, c.sounds);
        EXPECT_EQ(rig.noticeTitles(), c.notices);
    }
}

TEST(Alerts, TheOpponentsMoveIsNamedInChineseAndLeadsToItsGame)
{
    AlertRig rig;
    rig.context->alerts.notices[static_cast<std::size_t>(NoticeEvent::OpponentMoved)] = true;
    rig.feed(report(12, 2, "H9-G7"));
    ASSERT_EQ(rig.alerts.notices.size(), 1u);
    const Notice& notice = rig.alerts.notices[0];
    EXPECT_EQ(notice.event, NoticeEvent::OpponentMoved);
    EXPECT_EQ(notice.title, "rival moved (game 12)");
    EXPECT_EQ(notice.body, "\xB0\xA8\xA2\xB7\xB6i\xA2\xB6 (H9-G7)"); // 馬８進７ in Big5
    EXPECT_EQ(notice.game, rig.live(12));

    // The user's own move comes back from the server with a sound and no notice.
    rig.feed(report(12, 3, "B2-C2"));
    EXPECT_EQ(rig.alerts.notices.size(), 1u);
    EXPECT_EQ(rig.alerts.sounds, (std::vector<SoundEvent>{SoundEvent::Move, SoundEvent::Move}));
}

TEST(Alerts, SwitchedOffAlertsStaySilent)
{
    AlertRig rig;
    rig.context->alerts.sounds.fill(false);
    rig.context->alerts.notices.fill(false);
    rig.feed(report(12, 2, "H9-G7") + "\r\n#rival>: hi\r\nOMRA% \r\nGame 12 tester vs rival Red resigned. 0-1\r\nOMRA% ");
    EXPECT_TRUE(rig.alerts.sounds.empty());
    EXPECT_TRUE(rig.alerts.notices.empty());
}

} // namespace
} // namespace marovin::session
