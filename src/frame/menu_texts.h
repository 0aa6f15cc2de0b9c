#pragma once
// The main frame's menu texts that hold Chinese, in Big5 as the program keeps all text.

#include <string_view>

namespace marovin::windows {

inline constexpr std::string_view kStoredGamesItem =
    "My Stored  Games at OMRA(\xA4U\xB9L\xAA\xBA\xB4\xD1\xA7\xBD)";                  // 下過的棋局
inline constexpr std::string_view kRegisterItem = "Register (\xB5\xF9\xA5U)";           // 註冊
inline constexpr std::string_view kAdjournItem = "&Adjourn Game (\xAB\xCA\xB4\xD1)";    // 封棋
inline constexpr std::string_view kPassItem = "&Pass (\xA9M\xB4\xD1)";                  // 和棋
inline constexpr std::string_view kUndoMoveItem = "&Undo (\xAE\xAC\xB4\xD1)";           // 悔棋
inline constexpr std::string_view kAddTimeItem = "Add Time (\xA5[\xB9\xEF\xA4\xE2\xAE\xC9\xB6\xA1)"; // 加對手時間
inline constexpr std::string_view kAllObserversItem =
    "All Observers (\xA5\xBB\xBDL\xC6[\xB4\xD1\xAA\xCC)";                              // 本盤觀棋者
inline constexpr std::string_view kTimeLeftItem =
    "&Time Left (\xAC" "d\xB8\xDF\xB3\xD1\xBEl\xAE\xC9\xB6\xA1)";                      // 查詢剩餘時間
inline constexpr std::string_view kKibitzItem = "&Kibitz (\xB4\xD1\xB5\xFB)";           // 棋評
inline constexpr std::string_view kSetupItem = "Setup Piece Positions (\xC2\x5C\xB4\xDD\xA7\xBD)"; // 擺殘局
inline constexpr std::string_view kTextRecordItem = "\xC2\xE0\xA6\xA8\xA4\xE5\xA6r\xB4\xD1\xC3\xD0\tF12"; // 轉成文字棋譜

} // namespace marovin::windows
