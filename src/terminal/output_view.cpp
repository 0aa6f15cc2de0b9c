#include "terminal/output_view.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/big5_text.h"
#include "platform/platform_defaults.h"
#include "support/big5.h"

namespace marovin::shell {

namespace {

constexpr int kTabColumns = 8;

bool isAscii(char c)
{
    return (static_cast<unsigned char>(c) & 0x80) == 0;
}

void appendShown(ShownText& shown, const QString& text, std::size_t offset)
{
    shown.text += text;
    shown.byteOffsets.insert(shown.byteOffsets.end(), static_cast<std::size_t>(text.size()),
                             static_cast<std::uint8_t>(offset));
}

// A run of Big5 characters [begin, end) that are not ASCII: converted at once when every
// character gives one shown character (so each maps to its bytes), else one by one.
void appendWideRun(ShownText& shown, std::string_view row, std::size_t begin, std::size_t end)
{
    std::size_t units = 0;
    for (std::size_t i = begin; i < end; i += big5CharLength(row, i))
        ++units;
    const QString converted = platform::fromBig5(row.substr(begin, end - begin));
    const bool oneEach = static_cast<std::size_t>(converted.size()) == units;
    qsizetype unit = 0;
    for (std::size_t i = begin; i < end;) {
        const std::size_t length = big5CharLength(row, i);
        appendShown(shown, oneEach ? converted.mid(unit++, 1) : platform::fromBig5(row.substr(i, length)), i);
        i += length;
    }
}

} // namespace

ShownText shownTextOf(std::string_view row)
{
    ShownText shown;
    shown.byteOffsets.reserve(row.size() + 8);
    std::size_t i = 0;
    while (i < row.size()) {
        if (row[i] == '\t') {
            const auto spaces = kTabColumns - shown.text.size() % kTabColumns;
            appendShown(shown, QString(spaces, QLatin1Char(' ')), i);
            ++i;
        } else if (isAscii(row[i])) {
            std::size_t end = i;
            while (end < row.size() && isAscii(row[end]) && row[end] != '\t')
                ++end;
            for (std::size_t j = i; j < end; ++j) {
                // Control characters have no glyph: they take the room of a blank.
                const unsigned char c = static_cast<unsigned char>(row[j]);
                appendShown(shown, QString(QLatin1Char(c < 0x20 || c == 0x7F ? ' ' : row[j])), j);
            }
            i = end;
        } else {
            std::size_t end = i;
            while (end < row.size() && !isAscii(row[end]))
                end += big5CharLength(row, end);
            appendWideRun(shown, row, i, end);
            i = end;
        }
    }
    shown.byteOffsets.push_back(static_cast<std::uint8_t>(row.size()));
    return shown;
}

COutputView::COutputView(const Options& options, QWidget* parent)
    : QAbstractScrollArea(parent), m_options(options),
      m_slots(std::make_unique<std::array<TerminalSlot, kTerminalRows>>())
{
    setObjectName(QStringLiteral("outputView"));
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(80, 40);
    setFrameShape(QFrame::NoFrame);
    viewport()->setCursor(Qt::ArrowCursor);
    std::memset(m_slots->data(), 0, sizeof(TerminalSlot) * kTerminalRows);
    for (TerminalSlot& slot : *m_slots)
        slot.format = TextFormatId::Output;
    for (ShownText& shown : m_shown)
        shown.byteOffsets.assign(1, 0);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(kHorizontalStep);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &COutputView::onVerticalAction);
    rebuildStyles();
    updateScrollBars();
}

COutputView::~COutputView() = default;

// ---- the text formats ----

void COutputView::rebuildStyles()
{
    for (int i = 0; i < kFormatCount; ++i) {
        const TextFormat& format = textFormatOf(m_options, static_cast<TextFormatId>(i));
        Style& style = m_styles[static_cast<std::size_t>(i)];
        style.font = platform::fontFromTextFormat(format).value_or(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        style.colour = platform::qColour(format.textColour);
        const QFontMetrics metrics(style.font);
        style.ascent = metrics.ascent();
        style.height = std::max(1, metrics.lineSpacing());
    }
}

const COutputView::Style& COutputView::styleOf(TextFormatId format) const
{
    const auto index = static_cast<std::size_t>(format);
    return m_styles[index < m_styles.size() ? index : 0];
}

void COutputView::reformat()
{
    rebuildStyles();
    for (int slot = 0; slot < kTerminalRows; ++slot)
        measureRow(slot);
    m_widest = 0;
    for (const TerminalSlot& slot : *m_slots)
        m_widest = std::max(m_widest, slot.width);
    updateScrollBars();
    viewport()->update();
}

// ---- the ring ----

void COutputView::storeRow(int slot, TextFormatId format, std::string_view text)
{
    TerminalSlot& row = m_slots->at(static_cast<std::size_t>(slot));
    const std::size_t length = std::min(text.size(), kSlotBytes);
    std::memcpy(row.text, text.data(), length);
    row.text[length] = '\0';
    row.length = static_cast<std::int16_t>(length);
    row.format = format;
    m_shown[static_cast<std::size_t>(slot)] = shownTextOf({row.text, length});
    measureRow(slot);
}

void COutputView::measureRow(int slot)
{
    TerminalSlot& row = m_slots->at(static_cast<std::size_t>(slot));
    const Style& style = styleOf(row.format);
    row.width = QFontMetrics(style.font).horizontalAdvance(m_shown[static_cast<std::size_t>(slot)].text);
    row.height = style.height;
}

int COutputView::oldestSlot() const
{
    return (m_writeIndex - m_count + kTerminalRows) % kTerminalRows;
}

int COutputView::positionOf(int slot) const
{
    return (slot - oldestSlot() + kTerminalRows) % kTerminalRows;
}

int COutputView::slotAtPosition(int position) const
{
    return (oldestSlot() + position) % kTerminalRows;
}

void COutputView::writeOutputLine(TextFormatId format, std::string_view text)
{
    if (m_suspended)
        return;
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(text.size() >= 2 && text[text.size() - 2] == '\r' ? 2 : 1);
    do {
        const std::size_t length = nextRowLength(text);
        const int slot = m_writeIndex;
        const bool overwritesTop = m_count == kTerminalRows && slot == m_top;
        storeRow(slot, format, text.substr(0, length));
        text.remove_prefix(length);
        m_writeIndex = (m_writeIndex + 1) % kTerminalRows;
        m_count = std::min(m_count + 1, kTerminalRows);
        // A user who scrolled back to the oldest row keeps seeing the oldest row.
        if (overwritesTop)
            m_top = m_writeIndex;
        if (m_selection.active && m_selection.slot == slot)
            m_selection.active = false; // the row being selected is gone
        m_widest = std::max(m_widest, m_slots->at(static_cast<std::size_t>(slot)).width);
    } while (!text.empty());
    if (format == TextFormatId::Typed && !m_selection.active && m_horizontalOffset != 0)
        m_horizontalOffset = 0;
    updateScrollBars();
    viewport()->update();
}

void COutputView::writeServerLine(std::string_view text)
{
    if (m_suspended)
        return;
    if (m_replaceRow >= 0) {
        // The line that was shown while it arrived takes its row back; what does not fit in
        // the row wraps into new rows, as any long line does.
        const int slot = m_replaceRow;
        m_replaceRow = -1;
        const TextFormatId format = slotAt(slot).format;
        const std::size_t length = nextRowLength(text);
        storeRow(slot, format, text.substr(0, length));
        m_widest = std::max(m_widest, slotAt(slot).width);
        if (length < text.size()) {
            writeOutputLine(format, text.substr(length));
            return;
        }
        updateScrollBars();
        viewport()->update();
        return;
    }
    const int lead = matchLeadingString(m_options, text);
    const bool loggedIn = m_loggedIn && m_loggedIn();
    writeOutputLine(loggedIn && lead >= 0 ? specialFormat(lead) : TextFormatId::Output, text);
}

void COutputView::writeClientText(std::string_view text, bool normal)
{
    const TextFormatId format = normal ? TextFormatId::NormalClient : TextFormatId::Warning;
    forEachClientLine(text, [&](std::string_view line) { writeOutputLine(format, line); });
}

void COutputView::writeClientTextFormatted(int normal, const char* pattern, ...)
{
    char buffer[kFormattedTextSize];
    va_list arguments;
    va_start(arguments, pattern);
    const int written = std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    if (written < 0)
        return;
    const std::string_view text(buffer, std::min<std::size_t>(static_cast<std::size_t>(written), sizeof buffer - 1));
    if (normal < 0)
        writeServerLine(text);
    else
        writeClientText(text, normal != 0);
}

void COutputView::setReplaceRow(int slot)
{
    m_replaceRow = slot >= 0 && slot < kTerminalRows ? slot : -1;
}

void COutputView::showPartialLine(std::string_view text)
{
    if (m_suspended)
        return;
    const int row = m_replaceRow >= 0 ? m_replaceRow : m_writeIndex;
    writeServerLine(text.substr(0, kSlotBytes));
    m_replaceRow = row;
}

void COutputView::resetTerminal()
{
    for (int slot = 0; slot < kTerminalRows; ++slot)
        storeRow(slot, TextFormatId::Output, "A");
    m_writeIndex = 0;
    m_count = kTerminalRows;
    m_top = 0;
    m_replaceRow = -1;
    m_horizontalOffset = 0;
    m_following = true;
    m_selection = Selection{};
    m_widest = slotAt(0).width;
    updateScrollBars();
    viewport()->update();
    emit titleRequested(QStringLiteral("Terminal window"));
}

// ---- scrolling ----

// How many rows, from the one at position down, fit into the window (at least one).
int COutputView::rowsFittingFrom(int position) const
{
    const int height = viewport()->height();
    int used = 0;
    int rows = 0;
    for (int p = position; p < m_count; ++p) {
        used += slotAt(slotAtPosition(p)).height;
        if (used > height)
            break;
        ++rows;
    }
    return std::max(rows, 1);
}

// The top position at which the newest rows fill the window.
int COutputView::newestTopPosition() const
{
    const int height = viewport()->height();
    int used = 0;
    int position = m_count;
    while (position > 0) {
        used += slotAt(slotAtPosition(position - 1)).height;
        if (used > height)
            break;
        --position;
    }
    return std::min(position, std::max(m_count - 1, 0));
}

void COutputView::updateScrollBars()
{
    m_syncingBars = true;
    const int newestTop = newestTopPosition();
    if (m_following && !m_selection.active)
        m_top = slotAtPosition(newestTop);
    int position = positionOf(m_top);
    if (position > newestTop) { // the window grew: nothing below the newest row
        position = newestTop;
        m_top = slotAtPosition(position);
    }
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, newestTop);
    vertical->setPageStep(rowsFittingFrom(position));
    vertical->setValue(position);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, m_widest + 2 * kTerminalMargin - viewport()->width()));
    horizontal->setPageStep(std::max(1, viewport()->width()));
    horizontal->setValue(m_horizontalOffset);
    m_horizontalOffset = horizontal->value();
    m_syncingBars = false;
}

void COutputView::scrollContentsBy(int, int)
{
    if (m_syncingBars)
        return;
    const QScrollBar* vertical = verticalScrollBar();
    m_top = slotAtPosition(vertical->value());
    m_following = vertical->value() >= vertical->maximum();
    m_horizontalOffset = horizontalScrollBar()->value();
    viewport()->update();
}

void COutputView::onVerticalAction(int action)
{
    const QScrollBar* vertical = verticalScrollBar();
    if (action == QAbstractSlider::SliderSingleStepAdd && vertical->value() >= vertical->maximum() &&
        m_input.markReady)
        m_input.markReady();
}

void COutputView::scrollLines(int lines)
{
    QScrollBar* vertical = verticalScrollBar();
    if (lines > 0 && vertical->value() >= vertical->maximum() && m_input.markReady)
        m_input.markReady();
    vertical->setValue(vertical->value() + lines);
}

void COutputView::scrollPages(int pages)
{
    scrollLines(pages * verticalScrollBar()->pageStep());
}

void COutputView::scrollToOldest()
{
    verticalScrollBar()->setValue(0);
}

void COutputView::showNewest()
{
    m_following = true;
    updateScrollBars();
    viewport()->update();
}

void COutputView::scrollHorizontally(int steps)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + steps * kHorizontalStep);
}

void COutputView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

} // namespace marovin::shell
