#include "support/memory.h"

#include <sys/resource.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>

#include "support/fatal_box.h"

namespace marovin {
namespace {

// Every block carries a small header in front of it: its size (so that a resize knows
// which bytes are new) and a mark that tells our blocks from anything else.
struct BlockHeader {
    std::uint64_t size;
    std::uint64_t mark;
};
static_assert(sizeof(BlockHeader) == 16, "keeps the block aligned as malloc aligns");

constexpr std::uint64_t kBlockMark = 0x4D61726F76696E21ull; // "Marovin!"
constexpr std::uint64_t kFreedMark = 0x66726565642E2E2Eull;

// The allocation operator's handler has no arguments, so it can only reach the user
// through process-wide state: the innermost live guard, which owns the desktop port.
CMemNew* g_activeGuard = nullptr;
int g_guardCount = 0;
DesktopPort* g_reportDesktop = nullptr;

void reportOrAbort(std::string_view operation, std::size_t size)
{
    if (g_reportDesktop) {
        reportOutOfMemory(*g_reportDesktop, operation, size);
        return;
    }
    const std::string text = outOfMemoryReport(operation, size, readMemoryStatus());
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::abort();
}

void outOfMemoryHandler()
{
    // The operator does not tell its handler how much it asked for.
    reportOrAbort("new", 0);
}

BlockHeader* headerOf(void* block)
{
    return reinterpret_cast<BlockHeader*>(static_cast<char*>(block) - sizeof(BlockHeader));
}

bool totalSize(std::size_t size, std::size_t& total)
{
    if (size > std::numeric_limits<std::size_t>::max() - sizeof(BlockHeader))
        return false;
    total = size + sizeof(BlockHeader);
    return true;
}

std::uint64_t procValueKiB(const char* file, std::string_view key, bool& found)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == ':') {
            found = true;
            return std::strtoull(line.c_str() + key.size() + 1, nullptr, 10);
        }
    }
    return 0;
}

std::uint64_t procValue(const char* file, std::string_view key)
{
    bool found = false;
    return procValueKiB(file, key, found) * 1024;
}

} // namespace

MemoryStatus readMemoryStatus()
{
    MemoryStatus status;
    status.totalPhysical = procValue("/proc/meminfo", "MemTotal");
    bool haveAvailable = false;
    status.freePhysical = procValueKiB("/proc/meminfo", "MemAvailable", haveAvailable) * 1024;
    if (!haveAvailable)
        status.freePhysical = procValue("/proc/meminfo", "MemFree");
    status.totalPaging = procValue("/proc/meminfo", "SwapTotal");
    status.freePaging = procValue("/proc/meminfo", "SwapFree");
    if (status.totalPhysical > 0 && status.freePhysical <= status.totalPhysical)
        status.percentInUse = static_cast<std::uint32_t>((status.totalPhysical - status.freePhysical) * 100 /
                                                         status.totalPhysical);

    // Without a limit the process may use the whole user half of the address space.
    status.totalAddressSpace = sizeof(void*) == 8 ? (std::uint64_t{1} << 47) : (std::uint64_t{3} << 30);
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        status.totalAddressSpace = limit.rlim_cur;
    const std::uint64_t mapped = procValue("/proc/self/status", "VmSize");
    status.freeAddressSpace = mapped < status.totalAddressSpace ? status.totalAddressSpace - mapped : 0;
    return status;
}

std::string outOfMemoryReport(std::string_view operation, std::size_t size, const MemoryStatus& status)
{
    const std::string op(operation.substr(0, 64));
    char text[1024];
    std::snprintf(text, sizeof text,
                  "Out of memory:   %s\n\nPlease exit other programs to obtain more free memory\n"
                  "Click Retry to allocate memory again\nClick Cancel to exit this program\n\n"
                  "Requested memory = %zu bytes (%zu K)\nPercent of memory in use = %" PRIu32 "%%\n"
                  "Total physical memory = %" PRIu64 " K\nFree  physical memory = %" PRIu64 " K\n"
                  "Total paging file = %" PRIu64 " K\nFree  paging file = %" PRIu64 " K\n"
                  "Total user address space = %" PRIu64 " K\nFree  user address space = %" PRIu64 " K\n",
                  op.c_str(), size, size / 1024, status.percentInUse, status.totalPhysical / 1024,
                  status.freePhysical / 1024, status.totalPaging / 1024, status.freePaging / 1024,
                  status.totalAddressSpace / 1024, status.freeAddressSpace / 1024);
    return text;
}

void reportOutOfMemory(DesktopPort& desktop, std::string_view operation, std::size_t size)
{
    showFatalBox(desktop, outOfMemoryReport(operation, size, readMemoryStatus()), "Memory operation error!", true);
}

void* allocZeroed(std::size_t size)
{
    for (;;) {
        std::size_t total = 0;
        if (totalSize(size, total)) {
            if (void* base = std::calloc(1, total)) {
                auto* header = static_cast<BlockHeader*>(base);
                header->size = size;
                header->mark = kBlockMark;
                return header + 1;
            }
        }
        reportOrAbort("AllocMem", size);
    }
}

void* reallocZeroed(void* block, std::size_t size)
{
    if (!block)
        return allocZeroed(size);
    BlockHeader* header = headerOf(block);
    if (header->mark != kBlockMark) {
        if (g_reportDesktop)
            g_reportDesktop->messageBox("ReAllocMem failed");
        return allocZeroed(size);
    }
    const std::uint64_t oldSize = header->size;
    for (;;) {
        std::size_t total = 0;
        if (totalSize(size, total)) {
            if (void* base = std::realloc(header, total)) {
                header = static_cast<BlockHeader*>(base);
                if (size > oldSize)
                    std::memset(reinterpret_cast<char*>(header + 1) + oldSize, 0, size - oldSize);
                header->size = size;
                return header + 1;
            }
        }
        reportOrAbort("ReAllocMem", size);
    }
}

void freeMem(void*& block)
{
    if (!block)
        return;
    BlockHeader* header = headerOf(block);
    if (header->mark != kBlockMark) {
        if (g_reportDesktop)
            g_reportDesktop->messageBox("FreeMem failed");
        else
            std::fputs("FreeMem failed\n", stderr);
        return;
    }
    header->mark = kFreedMark;
    std::free(header);
    block = nullptr;
}

CMemNew::CMemNew(DesktopPort& desktop, bool check, bool applicationExists)
    : m_previous(g_activeGuard), m_desktop(desktop), m_previousHandler(nullptr)
{
    if (check && g_guardCount == 0 && applicationExists) {
        desktop.messageBox("The memory guard CMemNew must be created in the application object's constructor.");
        desktop.exitProgram(1);
    }
    ++g_guardCount;
    g_activeGuard = this;
    g_reportDesktop = &m_desktop;
    m_previousHandler = std::set_new_handler(outOfMemoryHandler);
}

CMemNew::~CMemNew()
{
    std::set_new_handler(m_previousHandler);
    --g_guardCount;
    g_activeGuard = m_previous;
    g_reportDesktop = m_previous ? &m_previous->m_desktop : nullptr;
}

int CMemNew::guardCount()
{
    return g_guardCount;
}

} // namespace marovin
