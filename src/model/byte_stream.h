#pragma once
// Where game files are written to and read from: a file, or a string in memory (the
// transfer code and the tests).

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace marovin::model {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all of bytes; false when they could not be written.
    virtual bool write(std::string_view bytes) = 0;
};

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes into buffer; returns how many, 0 at the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

class StringSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        text.append(bytes);
        ++writes;
        return true;
    }
    std::string text;
    int writes = 0; // number of write calls, to see how output was chunked
};

class StringSource : public ByteSource {
public:
    explicit StringSource(std::string text) : m_text(std::move(text)) {}
    std::size_t read(char* buffer, std::size_t size) override;

private:
    std::string m_text;
    std::size_t m_position = 0;
};

// A file opened for reading or writing (binary). ok() tells whether it opened.
class FileStream : public ByteSink, public ByteSource {
public:
    FileStream(const std::string& path, bool forWriting);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool ok() const { return m_file != nullptr; }
    bool write(std::string_view bytes) override;
    std::size_t read(char* buffer, std::size_t size) override;
    // Flushes and closes; false when anything written was lost.
    bool close();

private:
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

// Writes a new file beside path (path + ".new") with write and renames it over path, so
// that a failed write leaves the old file whole. False when anything failed; the new file
// is then removed.
bool ReplaceFile(const std::string& path, const std::function<bool(ByteSink&)>& write);

} // namespace marovin::model
