#include "model/byte_stream.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace marovin::model {

std::size_t StringSource::read(char* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, m_text.size() - m_position);
    std::memcpy(buffer, m_text.data() + m_position, n);
    m_position += n;
    return n;
}

FileStream::FileStream(const std::string& path, bool forWriting)
    : m_file(std::fopen(path.c_str(), forWriting ? "wb" : "rb"))
{
}

FileStream::~FileStream()
{
    close();
}

bool FileStream::write(std::string_view bytes)
{
    if (!m_file || std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        m_failed = true;
    return !m_failed;
}

std::size_t FileStream::read(char* buffer, std::size_t size)
{
    return m_file ? std::fread(buffer, 1, size, m_file) : 0;
}

bool FileStream::close()
{
    if (m_file) {
        if (std::fclose(m_file) != 0)
            m_failed = true;
        m_file = nullptr;
    }
    return !m_failed;
}

bool ReplaceFile(const std::string& path, const std::function<bool(ByteSink&)>& write)
{
    const std::string temporary = path + ".new";
    bool ok = false;
    {
        FileStream file(temporary, true);
        ok = file.ok() && write(file) && file.close();
    }
    std::error_code error;
    if (ok)
        std::filesystem::rename(temporary, path, error);
    if (!ok || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace marovin::model
