#include "support/guarded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "support/fatal_box.h"

namespace marovin {

std::string_view fileErrorText(int cause)
{
    switch (cause) {
    case 0: return "Maybe no error occurred.";
    case 1: return "An unspecified error occurred.";
    case 2: return "The file could not be located/found.";
    case 3: return "All or part of the path is invalid.";
    case 4: return "The permitted number of open files was exceeded.";
    case 5: return "The file could not be accessed.";
    case 6: return "There was an attempt to use an invalid file handle.";
    case 7: return "The current working directory cannot be removed.";
    case 8: return "There are no more directory entries.";
    case 9: return "There was an error trying to set the file pointer.";
    case 10: return "There was a hardware error.";
    case 11: return "SHARE.EXE was not loaded, or a shared region was locked.";
    case 12: return "There was an attempt to lock a region that was already locked.";
    case 13: return "The disk is full.";
    case 14: return "The end of file was reached.";
    default: return "Unknown CFileException";
    }
}

FileErrorCause fileErrorCause(int errnoValue)
{
    switch (errnoValue) {
    case 0: return FileErrorCause::None;
    case ENOENT: return FileErrorCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return FileErrorCause::BadPath;
    case EMFILE:
    case ENFILE: return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return FileErrorCause::AccessDenied;
    case EBADF: return FileErrorCause::InvalidFile;
    case EBUSY: return FileErrorCause::RemoveCurrentDir;
    case EMLINK: return FileErrorCause::DirectoryFull;
    case ESPIPE:
    case EOVERFLOW: return FileErrorCause::BadSeek;
    case EIO: return FileErrorCause::HardwareIO;
    case ETXTBSY: return FileErrorCause::SharingViolation;
    case EDEADLK:
    case ENOLCK: return FileErrorCause::LockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FileErrorCause::DiskFull;
    default: return FileErrorCause::Generic;
    }
}

std::string fileErrorReport(std::string_view path, FileErrorCause cause, std::string_view operation)
{
    std::string text(path);
    text += '\n';
    text += fileErrorText(static_cast<int>(cause));
    if (!operation.empty()) {
        text += '\n';
        text += operation;
        text += '!';
    }
    return text;
}

GuardedFile::~GuardedFile()
{
    if (m_file)
        std::fclose(m_file);
}

void GuardedFile::report(FileErrorCause cause, std::string_view operation)
{
    showFatalBox(m_desktop, fileErrorReport(m_path, cause, operation), "File operation error!", false);
}

bool GuardedFile::open(std::string_view path, bool truncate, FileAccess access)
{
    closeFile();
    m_path.assign(path);
    m_lastWasWrite = false;
    const mode_t mode = access == FileAccess::OwnerOnly ? 0600 : 0666;
    int flags = O_RDWR | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0);
    int fd = ::open(m_path.c_str(), flags, mode);
    const char* streamMode = "r+b";
    if (fd < 0 && !truncate && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // Reading a file we may not write is still reading.
        fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        streamMode = "rb";
    }
    if (fd >= 0 && access == FileAccess::OwnerOnly && ::fchmod(fd, 0600) != 0) {
        const int err = errno;
        ::close(fd);
        fd = -1;
        errno = err;
    }
    if (fd >= 0) {
        m_file = ::fdopen(fd, streamMode);
        if (!m_file) {
            const int err = errno;
            ::close(fd);
            errno = err;
        }
    }
    if (!m_file) {
        report(fileErrorCause(errno), "Can not open file");
        return false;
    }
    return true;
}

bool GuardedFile::openForReading(std::string_view path)
{
    return open(path, false, FileAccess::Shared);
}

bool GuardedFile::openForWriting(std::string_view path, FileAccess access)
{
    return open(path, true, access);
}

void GuardedFile::prepareFor(bool writing)
{
    // A stream opened for update must be repositioned between reading and writing.
    if (m_file && writing != m_lastWasWrite) {
        std::fseek(m_file, 0, SEEK_CUR);
        m_lastWasWrite = writing;
    }
}

bool GuardedFile::readBytes(void* buffer, std::size_t count)
{
    if (!buffer) {
        report(FileErrorCause::None, "NULL buffer pointer: Cread()");
        return false;
    }
    if (count == 0) {
        report(FileErrorCause::None, "Cread size is zero");
        return false;
    }
    if (!m_file) {
        report(FileErrorCause::InvalidFile, "Read");
        return false;
    }
    prepareFor(false);
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, count, m_file);
    if (got < count) {
        if (std::ferror(m_file)) {
            const int err = errno;
            std::clearerr(m_file);
            report(fileErrorCause(err), "Read");
        } else {
            std::clearerr(m_file);
            report(FileErrorCause::None, "Read Lost or Read Error");
        }
        return false;
    }
    return true;
}

bool GuardedFile::writeBytes(const void* buffer, std::size_t count)
{
    if (!buffer) {
        report(FileErrorCause::None, "NULL buffer pointer:Cwrite");
        return false;
    }
    if (count == 0) {
        report(FileErrorCause::None, "Cwrite Size Zero");
        return false;
    }
    if (!m_file) {
        report(FileErrorCause::InvalidFile, "Write");
        return false;
    }
    prepareFor(true);
    errno = 0;
    if (std::fwrite(buffer, 1, count, m_file) < count) {
        const int err = errno;
        std::clearerr(m_file);
        report(fileErrorCause(err), "Write");
        return false;
    }
    return true;
}

bool GuardedFile::closeFile()
{
    if (!m_file)
        return true;
    std::FILE* file = m_file;
    m_file = nullptr;
    errno = 0;
    // Buffered bytes reach the disk here, so a full disk shows up at the close.
    if (std::fclose(file) != 0) {
        report(fileErrorCause(errno), "Close");
        return false;
    }
    return true;
}

std::int64_t GuardedFile::length()
{
    if (!m_file)
        return -1;
    if (m_lastWasWrite)
        std::fflush(m_file);
    struct stat info {};
    if (::fstat(::fileno(m_file), &info) != 0)
        return -1;
    return info.st_size;
}

std::int64_t GuardedFile::position()
{
    return m_file ? static_cast<std::int64_t>(::ftello(m_file)) : -1;
}

bool GuardedFile::readLine(std::string& line)
{
    line.clear();
    const std::int64_t end = length();
    const std::int64_t at = position();
    if (end < 0 || at < 0 || at >= end)
        return false;
    std::int64_t remaining = end - at;
    bool heldReturn = false;
    prepareFor(false);
    while (remaining-- > 0) {
        // Byte by byte through the stream's buffer; a byte missing below the length is
        // reported as readBytes reports a short read.
        const int next = getc_unlocked(m_file);
        if (next == EOF) {
            char c = 0;
            return readBytes(&c, 1);
        }
        const char c = static_cast<char>(next);
        if (heldReturn) {
            if (c == '\n')
                return true;
            line += '\r';
            heldReturn = false;
        }
        if (c == '\r')
            heldReturn = true;
        else
            line += c;
    }
    return true; // a carriage return held at the end of the file is dropped
}

bool GuardedFile::writeLine(std::string_view line)
{
    if (!line.empty() && !writeBytes(line.data(), line.size()))
        return false;
    return writeBytes("\r\n", 2);
}

bool fileExists(std::string_view path)
{
    struct stat info {};
    if (::stat(std::string(path).c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) || info.st_size > 0;
}

bool readWholeFile(DesktopPort& desktop, std::string_view path, std::vector<char>& out, std::size_t maximum)
{
    out.clear();
    GuardedFile file(desktop);
    if (!file.openForReading(path))
        return false;
    const std::int64_t length = file.length();
    if (length <= 0) {
        file.closeFile();
        return false;
    }
    std::size_t count = static_cast<std::size_t>(length);
    if (maximum != 0 && count >= maximum)
        count = maximum;
    out.resize(count);
    const bool ok = file.readBytes(out.data(), count);
    file.closeFile();
    if (!ok)
        out.clear();
    return ok;
}

bool writeWholeFile(DesktopPort& desktop, std::string_view path, const void* buffer, std::size_t count)
{
    GuardedFile file(desktop);
    if (count != 0 && file.openForReading(path)) {
        const bool ok = file.writeBytes(buffer, count);
        return file.closeFile() && ok;
    }
    file.closeFile();
    return false;
}

} // namespace marovin
