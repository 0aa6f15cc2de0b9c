#pragma once
// The text of a PDF file as a PDF reader extracts it (pdftotext of poppler-utils, in
// UTF-8), so that a test can check that names and moves went in as text, not pictures.

#include <cstdio>
#include <optional>
#include <string>

namespace marovin::testkit {

// The extracted text, or nothing when the extractor could not run or failed on the file.
inline std::optional<std::string> PdfText(const std::string& path)
{
    const std::string command = "pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    return ::pclose(pipe) == 0 ? std::optional<std::string>(text) : std::nullopt;
}

// The number of pages of a PDF file (0 when it cannot be read), from pdfinfo.
inline int PdfPages(const std::string& path)
{
    const std::string command = "pdfinfo '" + path + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return 0;
    int pages = 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
        std::sscanf(line, "Pages: %d", &pages);
    ::pclose(pipe);
    return pages;
}

} // namespace marovin::testkit
