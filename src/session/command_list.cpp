#include "session/command_list.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "support/paths.h"

namespace marovin::session {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

std::string failureText(std::string_view verb, const std::string& path, int error)
{
    return "Cannot " + std::string(verb) + " the command texts in " + path + ": " + std::strerror(error) + ".";
}

} // namespace

std::vector<std::string> parseCommandList(std::string_view bytes, bool* whole)
{
    std::vector<std::string> entries;
    while (!bytes.empty() && entries.size() < kCommandEntryLimit) {
        const std::size_t lineFeed = bytes.find('\n');
        std::string_view line = bytes.substr(0, lineFeed);
        if (lineFeed != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        entries.emplace_back(line);
        bytes.remove_prefix(lineFeed == std::string_view::npos ? bytes.size() : lineFeed + 1);
    }
    if (whole)
        *whole = bytes.empty();
    return entries;
}

std::string formatCommandList(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

CommandFile readCommandFile(const std::string& path, DesktopPort& desktop)
{
    CommandFile file;
    errno = 0;
    const FilePointer in(std::fopen(path.c_str(), "rb"));
    if (!in) {
        if (errno != ENOENT) {
            desktop.messageBox(failureText("read", path, errno));
            file.whole = false;
        }
        return file;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t count = 0;
    while (bytes.size() <= kCommandFileLimit && (count = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        bytes.append(buffer, count);
    if (std::ferror(in.get())) {
        desktop.messageBox(failureText("read", path, errno ? errno : EIO));
        file.whole = false;
        return file;
    }
    if (bytes.size() > kCommandFileLimit) {
        bytes.resize(kCommandFileLimit);
        file.whole = false;
    }
    bool allEntries = true;
    file.entries = parseCommandList(bytes, &allEntries);
    file.whole = file.whole && allEntries;
    return file;
}

bool writeCommandFile(const std::string& path, const std::vector<std::string>& entries, DesktopPort& desktop)
{
    ensureFolder(folderOf(path));
    const std::string temporary = path + ".new";
    const std::string text = formatCommandList(entries);
    errno = 0;
    FilePointer out(std::fopen(temporary.c_str(), "wb"));
    bool written = out && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
    const int writeError = errno;
    if (out)
        written = std::fclose(out.release()) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = writeError ? writeError : (errno ? errno : EIO);
        std::remove(temporary.c_str());
        desktop.messageBox(failureText("write", path, error));
        return false;
    }
    return true;
}

void CommandList::load(CommandFile file)
{
    m_entries = std::move(file.entries);
    if (m_entries.size() < kCommandListMinimum)
        m_entries.resize(kCommandListMinimum);
    m_writable = file.whole;
    m_refusalShown = false;
    m_modified = false;
    m_selected = 0;
}

void CommandList::select(int index)
{
    m_selected = index >= 0 && static_cast<std::size_t>(index) < m_entries.size() ? index : -1;
}

std::string_view CommandList::selectedText() const
{
    return m_selected >= 0 ? std::string_view(m_entries[static_cast<std::size_t>(m_selected)]) : std::string_view();
}

void CommandList::setSelectedText(std::string_view text)
{
    if (m_selected < 0)
        return;
    m_entries[static_cast<std::size_t>(m_selected)] = std::string(text);
    m_modified = true;
}

void CommandList::insertNew()
{
    if (m_selected >= 0)
        m_entries.insert(m_entries.begin() + m_selected, std::string());
    m_modified = true;
}

bool CommandList::deleteSelected(DesktopPort& desktop)
{
    if (m_selected >= 0) {
        const std::string& text = m_entries[static_cast<std::size_t>(m_selected)];
        if (!text.empty() && !desktop.askYesNo("Delete the following text?\n\n" + text, true))
            return false;
        m_entries.erase(m_entries.begin() + m_selected);
        m_entries.emplace_back();
    }
    m_modified = true;
    return true;
}

bool CommandList::save(const std::string& path, DesktopPort& desktop)
{
    if (!m_modified)
        return true;
    if (!m_writable) {
        if (!m_refusalShown)
            desktop.messageBox("The command texts are not saved: " + path +
                               " could not be read whole, and writing it would lose what was not read.");
        m_refusalShown = true;
        return false;
    }
    if (!writeCommandFile(path, m_entries, desktop))
        return false;
    m_modified = false;
    return true;
}

} // namespace marovin::session
