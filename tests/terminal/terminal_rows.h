#pragma once
// The rows a terminal view holds, as a test reads them.

#include <string>
#include <vector>

#include "terminal/output_view.h"

namespace marovin::shell {

// The rows held, oldest first.
inline std::vector<std::string> TerminalRows(const COutputView& view)
{
    std::vector<std::string> texts;
    const int oldest = (view.currentRow() - view.rowCount() + kTerminalRows) % kTerminalRows;
    for (int i = 0; i < view.rowCount(); ++i) {
        const TerminalSlot& slot = view.slotAt((oldest + i) % kTerminalRows);
        texts.emplace_back(slot.text, static_cast<std::size_t>(slot.length));
    }
    return texts;
}

// The rows held, oldest first, each followed by a line feed.
inline std::string TerminalText(const COutputView& view)
{
    std::string text;
    for (const std::string& row : TerminalRows(view))
        text.append(row).push_back('\n');
    return text;
}

} // namespace marovin::shell
