#pragma once
// A scratch file for fuzz targets that read through the file system: made once per run
// under the temporary folder, and rewritten with each input.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace marovin::testkit {

class FuzzFile {
public:
    // name goes into the file's name, to tell the targets' files apart.
    explicit FuzzFile(const std::string& name)
    {
        std::string pattern = "/tmp/marovin-fuzz-" + name + "-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0)
            ::close(fd);
        m_path = pattern;
    }
    const std::string& path() const { return m_path; }
    // Replaces the file's contents with the input.
    void write(const std::uint8_t* data, std::size_t size) const
    {
        if (std::FILE* out = std::fopen(m_path.c_str(), "wb")) {
            std::fwrite(data, 1, size, out);
            std::fclose(out);
        }
    }

private:
    std::string m_path;
};

} // namespace marovin::testkit
