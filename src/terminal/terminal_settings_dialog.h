#pragma once
// "Terminal settings: font  and color": every text format of the terminal and the input
// line, the user's leading strings and the echo of typed text, with examples drawn in
// the formats. Works on a copy of the options record; OK writes it back and the settings
// file only when a byte changed.

#include <QDialog>

#include <array>
#include <functional>

#include "widgets/font_colour_dialog.h"
#include "options/options.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace marovin::shell {

constexpr int kTerminalSettingsResource = 130;
constexpr int kSpecialButtonCount = 7; // "Shout", "Tell", "Special 1" … "Special 5"

class CTerminalSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // Opens the font and colour dialog for a format and a second colour (mode as that
    // dialog takes it); true with the new values on OK. Tests replace it.
    using FontColourRunner = std::function<bool(TextFormat& format, Colour& second, int mode)>;

    CTerminalSettingsDlg(Options& options, const SettingsFile& settings, FontColourMemory& memory,
                         QWidget* parent = nullptr);

    // True after OK when the record changed (the caller then applies the new formats).
    bool changed() const { return m_changed; }
    const Options& edited() const { return m_copy; }
    void setFontColourRunner(FontColourRunner runner) { m_runFontColour = std::move(runner); }

    // The controls, by the ids the settings are known by.
    QPushButton* button(int id) const;
    QLineEdit* leadEdit(int index) const { return m_leads[static_cast<std::size_t>(index)]; }
    QCheckBox* echoBox() const { return m_echo; }
    QTextEdit* inputSample() const { return m_inputSample; }
    QTextEdit* outputExample() const { return m_outputExample; }

    void accept() override;

private:
    void addFormatButton(int id, const char* text, TextFormat Options::*format, Colour Options::*background);
    void editFormat(TextFormat& format, Colour Options::*background);
    void changeAllFonts();
    void onLeadEdited(int index);
    void refreshExamples();
    bool runFontColour(TextFormat& format, Colour& second, int mode);

    Options& m_options;
    const SettingsFile& m_settings;
    FontColourMemory& m_memory;
    Options m_copy;
    bool m_changed = false;
    FontColourRunner m_runFontColour;
    std::array<QLineEdit*, kSpecialButtonCount> m_leads{};
    std::array<QPushButton*, kSpecialButtonCount> m_specialButtons{};
    QCheckBox* m_echo = nullptr;
    QTextEdit* m_inputSample = nullptr;
    QTextEdit* m_outputExample = nullptr;
};

// The 7 leading-string edits' ids (leading strings 0..6) and the special buttons' ids.
inline constexpr std::array<int, kSpecialButtonCount> kLeadEditIds = {1000, 1017, 1019, 1023, 1025, 1027, 1029};
inline constexpr int kFirstSpecialButtonId = 1008;
inline constexpr int kInputFormatButtonId = 1007;
inline constexpr int kOutputFormatButtonId = 1042;
inline constexpr int kClientFormatButtonId = 1033;
inline constexpr int kTypedFormatButtonId = 1015;
inline constexpr int kChangeAllFontsButtonId = 1201;
inline constexpr std::size_t kLeadingStringLimit = 50;

// The first bytes of a Big5 text, at most limit, never half of a two-byte character.
std::string_view boundedBig5(std::string_view text, std::size_t limit);

} // namespace marovin::shell
