// Every fixed Chinese text of the start-up and the main frame, as kept in Big5, against
// the code page 950 converter.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/position.h"
#include "session/frame_commands.h"
#include "frame/startup_texts.h"
#include "support/big5.h"
#include "frame/menu_texts.h"

namespace marovin {
namespace {

TEST(FixedTexts, AreTheBig5OfTheirCharacters)
{
    using namespace windows;
    const std::pair<std::string_view, const char*> texts[] = {
        {kStoredGamesItem, "My Stored  Games at OMRA(下過的棋局)"},
        {kRegisterItem, "Register (註冊)"},
        {kAdjournItem, "&Adjourn Game (封棋)"},
        {kPassItem, "&Pass (和棋)"},
        {kUndoMoveItem, "&Undo (悔棋)"},
        {kAddTimeItem, "Add Time (加對手時間)"},
        {kAllObserversItem, "All Observers (本盤觀棋者)"},
        {kTimeLeftItem, "&Time Left (查詢剩餘時間)"},
        {kKibitzItem, "&Kibitz (棋評)"},
        {kSetupItem, "Setup Piece Positions (擺殘局)"},
        {kTextRecordItem, "轉成文字棋譜\tF12"},
        {session::texts::kAccountChanged, "您已經更動了帳號資料，請先離開OMRA，再連線一次"},
        {session::texts::kBadNewPassword, "新密碼過短或含有空白，請再試一次！"},

        {shell::kScreenTooNarrowText,
         "Sorry, The screen resolution is probably set at 640x480.\n"
         "This client needs 800x600 or 1024x768 with 16bit color.\n"
         "Press OK to set it now.\n\nThe Following is Chinese in BIG5:\n\n"
         "對不起，您的電腦螢幕解析度目前可能是640X480，\n"
         "這個程式需要  800x600或1024x768 以及 16bit 的顏色。\n"
         "請按「確定」後選擇「設定值」來設定它們。"},
    };
    for (const auto& [big5, utf8] : texts) {
        EXPECT_EQ(big5, utf8ToBig5(utf8)) << utf8;
        EXPECT_EQ(big5ToUtf8(big5), utf8) << utf8;
    }
    const std::string title = std::string(session::texts::kPasswordTitleHead) + "%s" +
                              session::texts::kPasswordTitleMiddle + "%s" + session::texts::kPasswordTitleTail;
    EXPECT_EQ(big5ToUtf8(title), "Change Password(更改 %s 的密碼(%s))");
}

TEST(FixedTexts, DefaultPieceTextsAreTheFourteenPieceNames)
{
    const char* names[model::kPieceTypeCount] = {"將", "士", "象", "車", "馬", "包", "卒",
                                                 "帥", "仕", "相", "車", "傌", "炮", "兵"};
    for (int type = 0; type < model::kPieceTypeCount; ++type)
        EXPECT_EQ(std::string(model::kPieceNames[type]), utf8ToBig5(names[type])) << names[type];
}

} // namespace
} // namespace marovin
