#pragma once
// The default options image as a table of offsets and bytes, written out from the
// record's documented layout rather than from the struct, so that a test comparing a
// settings file with it catches a field that moved or a default that changed.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace marovin::testkit {

struct ImageField {
    const char* name;
    std::size_t offset;
    std::string bytes;
};

inline std::string int32Bytes(std::int32_t value)
{
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

// A NUL-terminated text followed by the zero rest of its field.
inline std::string textField(const std::string& text, std::size_t width)
{
    std::string bytes = text;
    bytes.resize(width, '\0');
    return bytes;
}

inline std::string placementBytes(std::int32_t showCommand, std::int32_t right = 0, std::int32_t bottom = 0)
{
    std::string bytes = int32Bytes(showCommand ? 44 : 0) + int32Bytes(0) + int32Bytes(showCommand);
    bytes += std::string(16, '\0');
    bytes += int32Bytes(0) + int32Bytes(0) + int32Bytes(right) + int32Bytes(bottom);
    return bytes;
}

inline std::string sizeRecordBytes(int width, int height, int boardPane, int notePane)
{
    return placementBytes(1, width, height) + int32Bytes(boardPane) + int32Bytes(101) + int32Bytes(notePane) +
           int32Bytes(101);
}

// Every default that does not depend on the platform's fonts or folders.
inline std::vector<ImageField> defaultImageFields(bool largeScreen)
{
    std::vector<ImageField> fields = {
        {"inputBackColour", 4, int32Bytes(0xFFFFFF)},
        {"outputBackColour", 8, int32Bytes(0xFFFFFF)},
        {"inputTextFormat size and mask", 12, int32Bytes(60) + int32Bytes(static_cast<std::int32_t>(0xE8000003u))},
        {"inputTextFormat effects and height", 20, int32Bytes(0) + int32Bytes(240)},
        {"outputTextFormat colour", 72 + 20, int32Bytes(0)},
        {"warningTextFormat colour", 132 + 20, int32Bytes(0x0000FF)},
        {"specialLineFormat[0] colour", 312 + 20, int32Bytes(0x008000)},
        {"specialLineFormat[1] colour", 372 + 20, int32Bytes(0xFF0000)},
        {"specialLineFormat[2] colour", 432 + 20, int32Bytes(0x0000FF)},
        {"specialLineFormat[9] colour", 852 + 20, int32Bytes(0)},
        {"specialLineLead[0]", 912, textField("!", 51)},
        {"specialLineLead[1]", 963, textField("#", 51)},
        {"specialLineLead[2]", 1014, textField("{tovalk", 51)},
        {"specialLineLead[3..9]", 1065, std::string(7 * 51, '\0')},
        {"piece colours, move style, prompts, reset", 1422,
         int32Bytes(0xFFFFFF) + int32Bytes(0x0000FF) + int32Bytes(0) + int32Bytes(0xFFFFFF) +
             int32Bytes(0xFF0000) + int32Bytes(0) + int32Bytes(1) + int32Bytes(0)},
        {"servers[0] host", 1454, textField("localhost", 51)},
        {"servers[0] port and accounts", 1505, int32Bytes(5555) + std::string(320, '\0')},
        {"servers[19] port", 1454 + 19 * 375 + 51, int32Bytes(5555)},
        {"servers[1] host", 1454 + 375, std::string(51, '\0')},
        {"boardColour, lineColour, useCustomFont", 8954, int32Bytes(0x00CCFF) + int32Bytes(0) + int32Bytes(0)},
        {"pieceText", 9026,
         std::string("\xB1\x4E\0\xA4\x68\0\xB6\x48\0\xA8\xAE\0\xB0\xA8\0\xA5\x5D\0\xA8\xF2\0"
                     "\xAB\xD3\0\xA5\x4B\0\xAC\xDB\0\xA8\xAE\0\xD8\x58\0\xAC\xB6\0\xA7\x4C\0",
                     42)},
        {"mainPlacement", 9068, placementBytes(1)},
        {"terminalPlacement", 9112, placementBytes(1)},
        {"playingSize", 9156, largeScreen ? sizeRecordBytes(450, 530, 432, 0) : sizeRecordBytes(372, 445, 355, 0)},
        {"lookingSize", 9216, largeScreen ? sizeRecordBytes(696, 530, 432, 240) : sizeRecordBytes(597, 445, 360, 220)},
        {"commandWindowPlacement", 9276, placementBytes(1)},
        {"tellWindowPlacement", 9320, placementBytes(0)},
        {"useBitmapBoard, stretchBitmap", 9364, int32Bytes(0) + int32Bytes(0)},
        {"output windows, unused bytes, echo, hand cursor, collect shout", 9652,
         int32Bytes(1) + int32Bytes(1) + int32Bytes(1) + int32Bytes(1) + int32Bytes(0) + int32Bytes(1) +
             std::string(20, '\0') + int32Bytes(1) + int32Bytes(1) + int32Bytes(0)},
        {"tellPlayerName, who settings, colour, interval", 9708, std::string(30 + 16, '\0')},
        {"startupCommands", 9754, textField("who -2\r\n", 2001)},
        {"autoCommands", 11755, textField("/ hi all\r\n# who -2\r\n", 2001)},
        {"thanksText", 13756, textField("Thanks!", 121)},
        {"seekText", 13877, textField("Game any one???", 121)},
        {"fastKeyText", 13998, std::string(8 * 121, '\0')},
        {"showLoginAtStart, mergeAppendNotes", 14966, int32Bytes(0) + int32Bytes(0)},
        {"lastGameFilePath", 14974, std::string(280, '\0')},
        {"saveNewFormat and the last word", 15254, int32Bytes(1)},
    };
    return fields;
}

} // namespace marovin::testkit
