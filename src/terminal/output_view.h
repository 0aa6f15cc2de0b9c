#pragma once
// The terminal window's view: the last 300 rows of the session, each drawn in its own text
// format. Every line written is cut into rows of at most 80 bytes (79 when the line goes
// on, never splitting a two-byte character); the rows live in a ring whose oldest row is
// overwritten. A row refers to one of the options record's text formats, so a change of
// settings redraws every row in the new format (see reformat()).
//
// While the view shows the newest rows ("following"), new rows scroll it; once the user
// scrolls back it stays where it is. A drag with the left button inside one row selects
// text, which goes into the input line and onto the clipboard; the middle button pastes
// the clipboard into the input line. All text arrives in Big5 and is shown through the
// project's converter.

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "options/options.h"
#include "terminal/terminal_lines.h"
#include "support/ports.h"

namespace marovin::shell {

constexpr int kTerminalRows = 300;
constexpr int kTerminalMargin = 4;         // pixels left of the text
constexpr int kHorizontalStep = 300;       // pixels per horizontal scroll step
constexpr std::size_t kFormattedTextSize = 3000;

// A row's bytes as drawn: Big5 through the converter, tabs expanded to every eighth column.
// byteOffsets maps each shown character (and the end) back to the row's bytes.
struct ShownText {
    QString text;
    std::vector<std::uint8_t> byteOffsets;
};
ShownText shownTextOf(std::string_view row);

// One row of the terminal.
struct TerminalSlot {
    char text[kSlotBytes + 1]; // NUL-terminated
    std::int16_t length;
    std::int32_t width;  // drawn width in pixels, tabs expanded
    std::int32_t height; // drawn height in pixels
    TextFormatId format; // one of the options record's formats, shared with other rows
};

// What the view asks of the input line. Unset members do nothing.
struct InputLineLink {
    std::function<void(const QString&)> insertText; // at the caret
    std::function<bool()> canPaste;
    std::function<void()> pasteClipboard;            // pasteClipboardIntoInput
    std::function<void()> requestFocus;              // the input line takes the focus back
    std::function<void()> markReady;                 // the label turns to its ready colour
};

class COutputView : public QAbstractScrollArea, public TerminalPort {
    Q_OBJECT
public:
    explicit COutputView(const Options& options, QWidget* parent = nullptr);
    ~COutputView() override;

    // ---- writing (Big5 text) ----
    // Appends text (one trailing line end removed), wrapped into rows, in the given format.
    void writeOutputLine(TextFormatId format, std::string_view text) override;
    // Overwrites the replace row when one is set (in its format; what does not fit in the
    // row wraps into new rows), else appends with leading-string colouring (only after
    // login; the output format otherwise).
    void writeServerLine(std::string_view text) override;
    // Appends each line of text in the warning format (normal false) or the normal client
    // format; an empty line is written as a single blank.
    void writeClientText(std::string_view text, bool normal) override;
    // Formats into a 3000-byte buffer (longer texts are cut); normal < 0 writes it as a
    // server line, otherwise as client text (0 warning, else normal).
    void writeClientTextFormatted(int normal, const char* pattern, ...) __attribute__((format(printf, 3, 4)));

    // The slot the next row goes to.
    int currentRow() const { return m_writeIndex; }
    // The slot that the next server line overwrites (-1: none).
    int replaceRow() const { return m_replaceRow; }
    void setReplaceRow(int slot);
    // A line still being received (at most 80 bytes shown): written as a server line into
    // the row of the previous partial line, or a new row; the next server line replaces it.
    void showPartialLine(std::string_view text);
    // Every slot holds the row "A" in the output format; scrolling starts over.
    void resetTerminal();

    // ---- what the view needs from outside ----
    void setLoggedInQuery(std::function<bool()> loggedIn) { m_loggedIn = std::move(loggedIn); }
    void setInputLink(InputLineLink link) { m_input = std::move(link); }
    // While suspended (the program is shutting down) every write is dropped.
    void setOutputSuspended(bool suspended) { m_suspended = suspended; }
    // The text formats changed: measure every row again, lay out and redraw.
    void reformat();

    // ---- scrolling ----
    void scrollLines(int lines); // negative: towards older rows
    void scrollPages(int pages);
    void scrollToOldest();
    // Back to the newest rows, following again.
    void showNewest();
    void scrollHorizontally(int steps);

    // ---- what the view holds ----
    const TerminalSlot& slotAt(int slot) const { return m_slots->at(static_cast<std::size_t>(slot)); }
    int rowCount() const { return m_count; }
    // The slot of the row shown at the top.
    int topIndex() const { return m_top; }
    bool following() const { return m_following; }
    int horizontalOffset() const { return m_horizontalOffset; }
    bool selecting() const { return m_selection.active; }
    // A row's text as drawn (Unicode, tabs expanded).
    QString shownText(int slot) const { return m_shown.at(static_cast<std::size_t>(slot)).text; }
    // The rectangle of the row in slot inside the viewport (empty when it is not shown).
    QRect rowRect(int slot) const;
    // The row under a point of the viewport, or -1.
    int slotAtPoint(QPoint point) const;

signals:
    // resetTerminal asks its frame for this title.
    void titleRequested(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    struct Style {
        QFont font;
        QColor colour;
        int ascent = 0;
        int height = 1;
    };
    struct Selection {
        bool active = false;
        int slot = -1;
        int anchor = 0; // character boundaries in the shown text
        int caret = 0;
    };

    void storeRow(int slot, TextFormatId format, std::string_view text);
    void measureRow(int slot);
    void rebuildStyles();
    const Style& styleOf(TextFormatId format) const;
    int oldestSlot() const;
    int positionOf(int slot) const;
    int slotAtPosition(int position) const;
    int newestTopPosition() const;
    int rowsFittingFrom(int position) const;
    void updateScrollBars();
    int boundaryAt(int slot, int x) const;
    int boundaryX(int slot, int boundary) const;
    void finishSelection();
    void onVerticalAction(int action);

    const Options& m_options;
    std::unique_ptr<std::array<TerminalSlot, kTerminalRows>> m_slots;
    std::array<ShownText, kTerminalRows> m_shown;
    std::array<Style, kFormatCount> m_styles;
    int m_writeIndex = 0;
    int m_count = 0; // rows held
    int m_top = 0;
    int m_replaceRow = -1;
    int m_horizontalOffset = 0;
    int m_widest = 0;
    bool m_following = true;
    bool m_suspended = false;
    bool m_syncingBars = false;
    Selection m_selection;
    std::function<bool()> m_loggedIn;
    InputLineLink m_input;
};

} // namespace marovin::shell
