#pragma once
// The command window's ready-made texts: an editable list kept in the text file
// "shout.txt" of the data folder, one entry per line.
//
//   who -2\r\n                one entry per line; lines end in CR LF (a bare LF, as
//   / Game any one?\r\n       editors on this system write, ends a line too; a CR not
//   \r\n                      followed by LF stays in the entry); an empty line is an
//   tell . thanks             empty entry; the last line needs no line end
//
// The list holds at least 30 entries (padded with empty ones). A file too large to be read
// whole is used as far as it was read but never written back, so that nothing in it is lost.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "support/ports.h"

namespace marovin::session {

inline constexpr std::string_view kCommandFileName = "shout.txt";
constexpr std::size_t kCommandListMinimum = 30;
constexpr std::size_t kCommandTextLimit = 1000;          // the edit field, and what one entry sends
constexpr std::size_t kCommandFileLimit = 4 * 1024 * 1024; // bytes read of the file
constexpr std::size_t kCommandEntryLimit = 10000;        // entries read of the file

// The entries of a file's bytes (no padding; nothing for an empty file), at most
// kCommandEntryLimit of them; whole, when given, tells whether that was every entry.
std::vector<std::string> parseCommandList(std::string_view bytes, bool* whole = nullptr);
// Every entry followed by CR LF.
std::string formatCommandList(const std::vector<std::string>& entries);

struct CommandFile {
    std::vector<std::string> entries;
    bool whole = true; // false: the file was larger than the limits, or could not be read
};
// Reads path: a missing or empty file gives no entries. A file that cannot be read is
// reported in a message box (and gives no entries).
CommandFile readCommandFile(const std::string& path, DesktopPort& desktop);
// Replaces the file with the entries (written beside it, then renamed over it, so that a
// failed write keeps the old file). A failure is reported in a message box; false then.
bool writeCommandFile(const std::string& path, const std::vector<std::string>& entries, DesktopPort& desktop);

class CommandList {
public:
    // The entries of a file, padded to 30; entry 0 selected; not modified.
    void load(CommandFile file);

    const std::vector<std::string>& entries() const { return m_entries; }
    // -1 when no entry is selected.
    int selected() const { return m_selected; }
    // Any index outside the list selects none.
    void select(int index);
    // The selected entry's text, empty when none is selected.
    std::string_view selectedText() const;
    // The edit field changed: the selected entry takes its text.
    void setSelectedText(std::string_view text);
    // An empty entry before the selected one, which it becomes.
    void insertNew();
    // Deletes the selected entry, asking first when it is not empty (No keeps it: false).
    // An empty entry is appended, so that the count stays, and the same position stays
    // selected.
    bool deleteSelected(DesktopPort& desktop);

    bool modified() const { return m_modified; }
    // Whether the list may be written over its file (it was read whole).
    bool writable() const { return m_writable; }
    // Writes the list when it was modified. A list that may not be written says so (once)
    // and stays modified. True when nothing is left unsaved.
    bool save(const std::string& path, DesktopPort& desktop);

private:
    std::vector<std::string> m_entries;
    int m_selected = -1;
    bool m_modified = false;
    bool m_writable = true;
    bool m_refusalShown = false;
};

} // namespace marovin::session
