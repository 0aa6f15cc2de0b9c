#pragma once
// Zero-filled memory blocks and the out-of-memory guard.
//
// allocZeroed and reallocZeroed never return without a block: when memory runs out they
// show a report of the machine's memory in the fatal box and try again until the
// allocation succeeds or the user ends the program. The guard (CMemNew) routes the
// language's allocation operator through the same report. The report reaches the user
// through the desktop port of the guard that is alive; without one it goes to stderr and
// the program aborts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "support/ports.h"

namespace marovin {

// The machine's memory figures, in bytes.
struct MemoryStatus {
    std::uint32_t percentInUse = 0; // of physical memory
    std::uint64_t totalPhysical = 0;
    std::uint64_t freePhysical = 0;
    std::uint64_t totalPaging = 0; // swap space
    std::uint64_t freePaging = 0;
    std::uint64_t totalAddressSpace = 0; // this process's address-space limit
    std::uint64_t freeAddressSpace = 0;  // the limit less what the process has mapped
};

// Reads /proc/meminfo, /proc/self/status and the address-space limit.
MemoryStatus readMemoryStatus();

// The text of the out-of-memory box for an operation ("new", "AllocMem", "ReAllocMem").
std::string outOfMemoryReport(std::string_view operation, std::size_t size, const MemoryStatus& status);

// Shows the out-of-memory box (retry allowed); returns when the user asks to retry.
void reportOutOfMemory(DesktopPort& desktop, std::string_view operation, std::size_t size);

// A zero-filled block of size bytes (a block of size 0 is valid and distinct).
void* allocZeroed(std::size_t size);
// Resizes block (null: a new block), keeping its contents and zero-filling new bytes.
void* reallocZeroed(void* block, std::size_t size);
// Frees a block from allocZeroed/reallocZeroed and empties the reference; an empty
// reference is left alone. Anything that is not such a block is left untouched and the
// box "FreeMem failed" is shown.
void freeMem(void*& block);

// For std::unique_ptr<T, FreeMemDeleter> owners of zeroed blocks.
struct FreeMemDeleter {
    void operator()(void* block) const { freeMem(block); }
};

// The memory guard: one lives for the whole run, created before the application object.
// While any guard lives, failed allocations of operator new show the report and retry.
class CMemNew {
public:
    // With check set, a guard created when none exists yet but after the application
    // object tells the developer so and ends the program with status 1.
    CMemNew(DesktopPort& desktop, bool check, bool applicationExists);
    ~CMemNew();
    CMemNew(const CMemNew&) = delete;
    CMemNew& operator=(const CMemNew&) = delete;

    static int guardCount();

private:
    CMemNew* m_previous;
    DesktopPort& m_desktop;
    void (*m_previousHandler)();
};

} // namespace marovin
