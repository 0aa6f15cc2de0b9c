#include "storage.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marovin::server {

std::string escapeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        switch (ch) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += ch;
        }
    }
    return out;
}

std::string unescapeField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        switch (field[++i]) {
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        default: out += field[i];
        }
    }
    return out;
}

std::vector<std::string> splitRecord(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(unescapeField(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start)));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

std::string joinRecord(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += '\t';
        line += escapeField(fields[i]);
    }
    return line;
}

void syncFolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string writeFileAtomically(const std::string& path, std::string_view content)
{
    const std::string temporary = path + ".tmp";
    // Only the server's own user may read the files: the accounts hold passwords.
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        const std::string error = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return "cannot write " + temporary + ": " + error;
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    const std::string error = std::strerror(errno);
    std::fclose(file);
    if (!written || !flushed) {
        std::remove(temporary.c_str());
        return "cannot write " + temporary + ": " + error;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        return "cannot replace " + path + ": " + std::strerror(errno);
    syncFolderOf(path);
    return {};
}

std::string readLines(const std::string& path, std::vector<std::string>& lines)
{
    // Not blocking: a pipe or device in the place of a data file must not stop the server.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? std::string() : "cannot read " + path + ": " + std::strerror(errno);
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return "cannot read " + path + ": not a regular file";
    }
    std::string content;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            content.append(buffer, static_cast<std::size_t>(n));
    const std::string error = n < 0 ? "cannot read " + path + ": " + std::strerror(errno) : std::string();
    close(fd);
    for (std::size_t start = 0; start < content.size();) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return error;
}

std::optional<long long> parseInteger(std::string_view text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

long long toInteger(std::string_view text, long long fallback) { return parseInteger(text).value_or(fallback); }

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string defaultDataDirectory()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/marovin/server";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/marovin/server";
    return "marovin-server-data";
}

} // namespace marovin::server
