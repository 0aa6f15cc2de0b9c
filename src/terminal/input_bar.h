#pragma once
// The input-line bar across the main window: the state label, the input line, the
// buttons of the game windows ("Left", "Cen", "Right", "Next", shown while game windows
// exist) and the up/down control that scrolls the terminal.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include <QAction>
#include <QLabel>
#include <QToolBar>

#include "terminal/input_line.h"
#include "options/options.h"

namespace marovin::shell {

class CScrollSpin;

// Control ids of the bar, kept for the commands that name them.
constexpr int kInputBarResource = 102;
constexpr int kInputBarId = 103;
constexpr int kInputLineId = 1177;
constexpr int kStateLabelId = 1178;
constexpr int kHistorySpinId = 1196;
constexpr int kWindowLeftId = 32900;
constexpr int kWindowCentreId = 32901;
constexpr int kWindowRightId = 32902;
constexpr int kNextWindowButtonId = 32903;
constexpr int kInputLineLimit = 1400;

// The label's texts that need the input line: while it asks for the password, what the
// user types is a password.
inline constexpr std::string_view kInitialLabelText = "Input Line";
inline constexpr std::string_view kPasswordLabelText = "Password";

class CInputBar : public QToolBar {
    Q_OBJECT
public:
    explicit CInputBar(const Options& options, QWidget* parent = nullptr);

    CInputLine* inputLine() const { return m_input; }
    QLabel* stateLabel() const { return m_label; }
    CScrollSpin* scrollSpin() const { return m_spin; }
    // The button with one of the ids kWindowLeftId ... kNextWindowButtonId, or null.
    QAction* gameButton(int id) const;

    // Where typed lines go and what the scrolling moves; null: nowhere.
    void setHost(InputLineHost* host);
    InputLineHost* host() const { return m_host; }

    // Background colour and font of the input line from the options record.
    void applyInputFormat(const Options& options);
    // Colour none keeps the current one; a text (Big5), when given, shows as " " + text.
    // The label is repainted either way.
    void setStatusLabel(std::optional<std::uint32_t> colour, std::optional<std::string_view> text);
    std::uint32_t labelColour() const { return m_labelColour; }
    // Shows or hides the four game-window buttons together.
    void showGameButtons(bool show);
    // A fast key's text (Big5), sent as typed; an empty text sends nothing.
    void sendFastKey(std::string_view text);

private:
    InputLineHost* m_host = nullptr;
    QLabel* m_label;
    CInputLine* m_input;
    CScrollSpin* m_spin;
    std::array<QAction*, 4> m_gameButtons{};
    std::uint32_t m_labelColour = 0;
};

} // namespace marovin::shell
