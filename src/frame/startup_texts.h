#pragma once
// Fixed texts of the start-up, in Big5 as the program keeps all text.

#include <string_view>

namespace marovin::shell {

inline constexpr std::string_view kScreenTooNarrowText =
    "Sorry, The screen resolution is probably set at 640x480.\n"
    "This client needs 800x600 or 1024x768 with 16bit color.\n"
    "Press OK to set it now.\n\nThe Following is Chinese in BIG5:\n\n"
    // 對不起，您的電腦螢幕解析度目前可能是640X480，
    "\xB9\xEF\xA4\xA3\xB0_\xA1" "A\xB1z\xAA\xBA\xB9q\xB8\xA3\xBF\xC3\xB9\xF5\xB8\xD1\xAAR\xAB\xD7\xA5\xD8\xAB"
    "e\xA5i\xAF\xE0\xACO640X480\xA1" "A\n"
    // 這個程式需要  800x600或1024x768 以及 16bit 的顏色。
    "\xB3o\xAD\xD3\xB5{\xA6\xA1\xBB\xDD\xADn  800x600\xA9\xCE" "1024x768 \xA5H\xA4\xCE 16bit \xAA\xBA\xC3"
    "C\xA6\xE2\xA1" "C\n"
    // 請按「確定」後選擇「設定值」來設定它們。
    "\xBD\xD0\xAB\xF6\xA1u\xBDT\xA9w\xA1v\xAB\xE1\xBF\xEF\xBE\xDC\xA1u\xB3]\xA9w\xAD\xC8\xA1v\xA8\xD3\xB3]"
    "\xA9w\xA5\xA6\xAD\xCC\xA1" "C";

inline constexpr std::string_view kSocketsFailedText = "Windows sockets initialization failed.";

// The terminal's first line (one row), so that an empty window still says where to begin.
inline constexpr std::string_view kStartHintText =
    "Not connected: press Connect (the first button) or Ctrl+L to log in.";

} // namespace marovin::shell
