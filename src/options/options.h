#pragma once
// The options record: every user setting in one 15258-byte image, stored byte for byte
// as the settings file. The layout is fixed (older files are read over it byte by byte),
// so every field sits at its offset, checked at compile time below. Integers are 32-bit
// little-endian, colours 0x00BBGGRR, texts NUL-terminated in fixed fields (read them with
// fieldText, write them with copyBounded: a file may hold a field without its NUL).

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "support/ports.h"

namespace marovin {

static_assert(std::endian::native == std::endian::little, "the options image is little-endian");

using Colour = std::uint32_t; // 0x00BBGGRR

#pragma pack(push, 1)

// The 60-byte rich-text character format (font face, size, style, colour).
struct TextFormat {
    std::uint32_t cbSize;        // 60
    std::uint32_t mask;          // which of the fields below are valid (kMask*)
    std::uint32_t effects;       // kEffectBold | kEffectItalic
    std::int32_t height;         // in twips (1/20 point)
    std::int32_t offset;         // baseline offset, unused
    Colour textColour;
    std::uint8_t charSet;        // 136 is Big5
    std::uint8_t pitchAndFamily; // bit 0 fixed pitch, bit 1 variable pitch
    char faceName[32];
    std::uint8_t padding[2];
};

// The 60-byte font description (used for the custom chess font).
struct FontDescription {
    std::int32_t height; // negative: character height in pixels
    std::int32_t width;
    std::int32_t escapement;
    std::int32_t orientation;
    std::int32_t weight; // 400 normal, 700 bold
    std::uint8_t italic;
    std::uint8_t underline;
    std::uint8_t strikeOut;
    std::uint8_t charSet;
    std::uint8_t outPrecision;
    std::uint8_t clipPrecision;
    std::uint8_t quality;
    std::uint8_t pitchAndFamily;
    char faceName[32];
};

struct Point32 {
    std::int32_t x;
    std::int32_t y;
};

struct Rect32 {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// The 44-byte window placement record.
struct WindowPlacement {
    std::uint32_t length; // 44
    std::uint32_t flags;
    std::uint32_t showCommand; // 1 normal, 2 minimised, 3 maximised
    Point32 minPosition;
    Point32 maxPosition;
    Rect32 normalRect;
};

// A game window's size: its placement, then the split's column widths.
struct WindowSizeRecord {
    WindowPlacement placement;
    std::int32_t boardPaneIdeal;
    std::int32_t boardPaneMinimum;
    std::int32_t notePaneIdeal;
    std::int32_t notePaneMinimum;
};

struct LoginAccount {
    char name[16];     // at most 15 characters
    char password[16]; // at most 15 characters, stored in plain text
};

// One server of the login window's most-recently-used list.
struct ServerEntry {
    char host[51]; // at most 50 characters are edited
    std::int32_t port;
    LoginAccount logins[10];
};

struct Options {
    std::int32_t chineseLocale;
    Colour inputBackColour;
    Colour outputBackColour;
    TextFormat inputTextFormat;
    TextFormat outputTextFormat; // its font is also the list font
    TextFormat warningTextFormat;
    TextFormat normalClientTextFormat;
    TextFormat typedTextFormat;
    TextFormat specialLineFormat[10];
    char specialLineLead[10][51];
    Colour redFaceColour;
    Colour redTextColour;
    Colour blackFaceColour;
    Colour blackTextColour;
    Colour pieceCursorColour;
    std::int32_t twoClickMove;
    std::int32_t promptGameOver;
    std::int32_t resetOptionsAtStart;
    ServerEntry servers[20];
    Colour boardColour;
    Colour lineColour;
    std::int32_t useCustomFont;
    FontDescription customFont;
    char pieceText[14][3];
    WindowPlacement mainPlacement;
    WindowPlacement terminalPlacement;
    WindowSizeRecord playingSize;
    WindowSizeRecord lookingSize;
    WindowPlacement commandWindowPlacement;
    WindowPlacement tellWindowPlacement;
    std::int32_t useBitmapBoard;
    std::int32_t stretchBitmap;
    char boardBitmapPath[280];
    std::int32_t showAliasWindow;
    std::int32_t showFingerWindow;
    std::int32_t showGamesWindow;
    std::int32_t showMatchWindow;
    std::int32_t raiseTerminalOnTell;
    std::int32_t showWhoWindow;
    std::uint8_t reserved9676[20]; // unused, kept zero
    std::int32_t echoTypedText;
    std::int32_t handCursorOnPick;
    std::int32_t tellCollectShout;
    char tellPlayerName[30];
    std::int32_t whoSortKey;
    std::int32_t whoOpenFirst;
    std::int32_t preferredColour;
    std::int32_t autoCommandInterval; // seconds
    char startupCommands[2001];
    char autoCommands[2001];
    char thanksText[121];
    char seekText[121];
    char fastKeyText[8][121];
    std::int32_t showLoginAtStart;
    std::int32_t mergeAppendNotes;
    char lastGameFilePath[280];
    std::int32_t saveNewFormat; // its upper half is the record's final 2-byte word
};

#pragma pack(pop)

constexpr std::size_t kOptionsSize = 15258;

constexpr std::uint32_t kEffectBold = 1;
constexpr std::uint32_t kEffectItalic = 2;
constexpr std::uint32_t kMaskBold = 0x00000001;
constexpr std::uint32_t kMaskItalic = 0x00000002;
constexpr std::uint32_t kMaskSize = 0x80000000;
constexpr std::uint32_t kMaskColour = 0x40000000;
constexpr std::uint32_t kMaskFace = 0x20000000;
constexpr std::uint32_t kMaskCharSet = 0x08000000;
constexpr std::uint8_t kCharSetBig5 = 136;

static_assert(sizeof(TextFormat) == 60);
static_assert(sizeof(FontDescription) == 60);
static_assert(sizeof(WindowPlacement) == 44);
static_assert(sizeof(WindowSizeRecord) == 60);
static_assert(sizeof(ServerEntry) == 375);
static_assert(sizeof(Options) == kOptionsSize);

static_assert(offsetof(ServerEntry, port) == 51);
static_assert(offsetof(ServerEntry, logins) == 55);
static_assert(offsetof(ServerEntry, logins) + offsetof(LoginAccount, password) == 71);

static_assert(offsetof(Options, chineseLocale) == 0);
static_assert(offsetof(Options, inputBackColour) == 4);
static_assert(offsetof(Options, outputBackColour) == 8);
static_assert(offsetof(Options, inputTextFormat) == 12);
static_assert(offsetof(Options, outputTextFormat) == 72);
static_assert(offsetof(Options, warningTextFormat) == 132);
static_assert(offsetof(Options, normalClientTextFormat) == 192);
static_assert(offsetof(Options, typedTextFormat) == 252);
static_assert(offsetof(Options, specialLineFormat) == 312);
static_assert(offsetof(Options, specialLineLead) == 912);
static_assert(offsetof(Options, redFaceColour) == 1422);
static_assert(offsetof(Options, redTextColour) == 1426);
static_assert(offsetof(Options, blackFaceColour) == 1430);
static_assert(offsetof(Options, blackTextColour) == 1434);
static_assert(offsetof(Options, pieceCursorColour) == 1438);
static_assert(offsetof(Options, twoClickMove) == 1442);
static_assert(offsetof(Options, promptGameOver) == 1446);
static_assert(offsetof(Options, resetOptionsAtStart) == 1450);
static_assert(offsetof(Options, servers) == 1454);
static_assert(offsetof(Options, boardColour) == 8954);
static_assert(offsetof(Options, lineColour) == 8958);
static_assert(offsetof(Options, useCustomFont) == 8962);
static_assert(offsetof(Options, customFont) == 8966);
static_assert(offsetof(Options, pieceText) == 9026);
static_assert(offsetof(Options, mainPlacement) == 9068);
static_assert(offsetof(Options, terminalPlacement) == 9112);
static_assert(offsetof(Options, playingSize) == 9156);
static_assert(offsetof(Options, lookingSize) == 9216);
static_assert(offsetof(Options, commandWindowPlacement) == 9276);
static_assert(offsetof(Options, tellWindowPlacement) == 9320);
static_assert(offsetof(Options, useBitmapBoard) == 9364);
static_assert(offsetof(Options, stretchBitmap) == 9368);
static_assert(offsetof(Options, boardBitmapPath) == 9372);
static_assert(offsetof(Options, showAliasWindow) == 9652);
static_assert(offsetof(Options, showFingerWindow) == 9656);
static_assert(offsetof(Options, showGamesWindow) == 9660);
static_assert(offsetof(Options, showMatchWindow) == 9664);
static_assert(offsetof(Options, raiseTerminalOnTell) == 9668);
static_assert(offsetof(Options, showWhoWindow) == 9672);
static_assert(offsetof(Options, echoTypedText) == 9696);
static_assert(offsetof(Options, handCursorOnPick) == 9700);
static_assert(offsetof(Options, tellCollectShout) == 9704);
static_assert(offsetof(Options, tellPlayerName) == 9708);
static_assert(offsetof(Options, whoSortKey) == 9738);
static_assert(offsetof(Options, whoOpenFirst) == 9742);
static_assert(offsetof(Options, preferredColour) == 9746);
static_assert(offsetof(Options, autoCommandInterval) == 9750);
static_assert(offsetof(Options, startupCommands) == 9754);
static_assert(offsetof(Options, autoCommands) == 11755);
static_assert(offsetof(Options, thanksText) == 13756);
static_assert(offsetof(Options, seekText) == 13877);
static_assert(offsetof(Options, fastKeyText) == 13998);
static_assert(offsetof(Options, showLoginAtStart) == 14966);
static_assert(offsetof(Options, mergeAppendNotes) == 14970);
static_assert(offsetof(Options, lastGameFilePath) == 14974);
static_assert(offsetof(Options, saveNewFormat) == 15254);

// ---- defaults, the settings file ---------------------------------------------

constexpr std::uint8_t kFixedPitchModern = 0x31;    // fixed pitch, modern family
constexpr std::uint8_t kVariablePitchSwiss = 0x22;  // variable pitch, swiss family
constexpr std::int32_t kDefaultServerPort = 5555;
constexpr int kMinimumScreenWidth = 700;  // narrower screens are refused at start-up
constexpr int kLargeScreenWidth = 950;    // from here on the larger game window sizes

// What the platform contributes to the defaults. The Qt layer measures it; tests fill it in.
struct PlatformDefaults {
    std::string fixedFontFace = "Monospace"; // the platform's fixed-pitch font
    std::uint8_t fixedFontCharSet = kCharSetBig5;
    std::uint8_t fixedFontPitchAndFamily = kFixedPitchModern;
    FontDescription systemFont{};   // the platform's general font
    int screenWidth = 1024;         // full-screen client width in pixels
    bool paletteDisplay = false;    // a display of 256 colours or fewer
    std::string programDirectory;   // the asset folder, ending in '/'
    std::string languageCode;       // "cht" for Traditional Chinese
};

// The first of the default server entries: the local practice server.
inline constexpr std::string_view kPracticeServerHost = "localhost";

// Game window size records 0..4 (small, medium, large, the two looking sizes).
WindowSizeRecord builtInWindowSize(int index);

// All bytes zero, then every default.
void setDefaultOptions(Options& options, const PlatformDefaults& platform);

// Defaults; then the file read over the start of the record (min(length, record size)
// bytes; a missing or empty file is created holding the defaults); then defaults again
// when resetOptionsAtStart is set. File errors end in the fatal box.
void loadOptions(Options& options, const PlatformDefaults& platform, const std::string& path,
                 DesktopPort& desktop);

// Writes the whole record, creating the file (and its folder) readable by the owner only:
// the record holds passwords. False only when the fatal box's way out was not taken.
bool saveOptions(const Options& options, const std::string& path, DesktopPort& desktop);

bool optionsDiffer(const Options& a, const Options& b);

// The settings file of this run: where it is and whom to tell when it fails.
class SettingsFile {
public:
    SettingsFile(std::string path, DesktopPort& desktop) : m_path(std::move(path)), m_desktop(desktop) {}

    const std::string& path() const { return m_path; }
    void load(Options& options, const PlatformDefaults& platform) const
    {
        loadOptions(options, platform, m_path, m_desktop);
    }
    bool save(const Options& options) const { return saveOptions(options, m_path, m_desktop); }
    // An options dialog's OK: copies edited over live and writes the file, but only when a
    // byte differs. True when something changed.
    bool commit(Options& live, const Options& edited) const;

private:
    std::string m_path;
    DesktopPort& m_desktop;
};

// The list font made from a text format: pixel height (twips + 6) / 12 (kept within
// 1..kMaxListFontPixels whatever the file holds), weight 700 when bold else 400.
// Nothing when the format's face name is empty.
constexpr int kMaxListFontPixels = 200;
struct ListFontSpec {
    std::string faceName; // Big5
    int pixelHeight = 0;
    int weight = 400;
    bool italic = false;
    std::uint8_t charSet = 0;
    std::uint8_t pitchAndFamily = 0;
};
std::optional<ListFontSpec> listFontSpec(const TextFormat& format);

// Formats like printf into a 2000-byte buffer (longer texts are cut) and shows the result
// in a message box captioned "Program message...".
void showProgramMessage(DesktopPort& desktop, const char* pattern, ...) __attribute__((format(printf, 2, 3)));

} // namespace marovin
