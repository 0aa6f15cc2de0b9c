#pragma once
// One file with guarded operations: every failure is reported in the fatal box with the
// file's path, the cause and the operation, and the only way on is to end the program.
// Callers therefore see false only where an operation defines it (end of file in
// readLine, an empty file in readWholeFile, a count of 0 in writeWholeFile).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "support/ports.h"

namespace marovin {

// Causes of a file failure, with the text the user reads for each.
enum class FileErrorCause : int {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardwareIO = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

// The user-facing text of a cause (any value outside the table has its own text).
std::string_view fileErrorText(int cause);
// The cause that an errno value stands for.
FileErrorCause fileErrorCause(int errnoValue);
// The fatal box's text: path, cause text, and "\n" + operation + "!" when there is one.
std::string fileErrorReport(std::string_view path, FileErrorCause cause, std::string_view operation);

// Who may read a file that openForWriting creates.
enum class FileAccess : std::uint8_t {
    Shared,    // the usual permissions (within the user's umask)
    OwnerOnly, // readable and writable by its owner only, also when it existed before
};

class GuardedFile {
public:
    explicit GuardedFile(DesktopPort& desktop) : m_desktop(desktop) {}
    ~GuardedFile(); // closes without reporting
    GuardedFile(const GuardedFile&) = delete;
    GuardedFile& operator=(const GuardedFile&) = delete;

    // Read and write access, created if missing, never truncated. A file that exists but
    // may not be written is opened for reading only. Closes an open file first.
    bool openForReading(std::string_view path);
    // Read and write access, created, truncated to length 0. Closes an open file first.
    bool openForWriting(std::string_view path, FileAccess access = FileAccess::Shared);
    // Reads exactly count bytes (a null buffer, a count of 0 or a short read is reported).
    bool readBytes(void* buffer, std::size_t count);
    // Writes count bytes (a null buffer or a count of 0 is reported).
    bool writeBytes(const void* buffer, std::size_t count);
    // Closes the file if open; true also when it was not open.
    bool closeFile();
    // The next line ended by "\r\n" (neither kept; a lone CR or LF is part of the line).
    // False at the end of the file; a last line without line end is still a line.
    bool readLine(std::string& line);
    // Writes line and "\r\n" (an empty line writes only "\r\n").
    bool writeLine(std::string_view line);

    bool isOpen() const { return m_file != nullptr; }
    const std::string& path() const { return m_path; }
    // Length and position in bytes; -1 when the file is not open.
    std::int64_t length();
    std::int64_t position();

private:
    bool open(std::string_view path, bool truncate, FileAccess access);
    void report(FileErrorCause cause, std::string_view operation);
    void prepareFor(bool writing);

    DesktopPort& m_desktop;
    std::FILE* m_file = nullptr;
    std::string m_path;
    bool m_lastWasWrite = false;
};

// True when path names a directory or a file of non-zero size (an empty file counts as absent).
bool fileExists(std::string_view path);

// Reads the file into out (resized to what was read): all of it when maximum is 0, else at
// most maximum bytes. False for an empty file. Opens like openForReading (a missing file is
// created empty).
bool readWholeFile(DesktopPort& desktop, std::string_view path, std::vector<char>& out, std::size_t maximum);

// Writes count bytes over the start of the file without truncating it (bytes of a longer
// file beyond count stay). False, and nothing written, when count is 0.
bool writeWholeFile(DesktopPort& desktop, std::string_view path, const void* buffer, std::size_t count);

} // namespace marovin
