#include "support/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <new>

#include "support/fatal_box.h"
#include "testkit/fakes.h"

namespace marovin {
namespace {

using testkit::FakeDesktop;
using testkit::ProgramExit;

TEST(FatalBox, AbortEndsWithStatusOneAfterTwoBeeps)
{
    FakeDesktop desktop;
    try {
        showFatalBox(desktop, "text", "caption", true);
        FAIL() << "Abort must end the program";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, 1);
    }
    EXPECT_EQ(desktop.beeps, 2);
    ASSERT_EQ(desktop.fatalTexts.size(), 1u);
    EXPECT_EQ(desktop.fatalCaptions[0], "caption");
}

TEST(FatalBox, RetryReturnsOnlyWhenAllowedAndIgnoreAsksAgain)
{
    FakeDesktop allowed;
    allowed.fatalAnswers = {FatalBoxAnswer::Ignore, FatalBoxAnswer::Retry};
    showFatalBox(allowed, "t", "c", true);
    EXPECT_EQ(allowed.fatalTexts.size(), 2u);

    FakeDesktop refused;
    refused.fatalAnswers = {FatalBoxAnswer::Retry, FatalBoxAnswer::Ignore, FatalBoxAnswer::Abort};
    EXPECT_THROW(showFatalBox(refused, "t", "c", false), ProgramExit);
    EXPECT_EQ(refused.fatalTexts.size(), 3u);
}

TEST(OutOfMemoryReport, ShowsTheRequestAndEveryFigureInKilobytes)
{
    MemoryStatus status;
    status.percentInUse = 42;
    status.totalPhysical = 8ull << 30;
    status.freePhysical = 3ull << 30;
    status.totalPaging = 2048 * 1024;
    status.freePaging = 1024 * 1024;
    status.totalAddressSpace = 1ull << 47;
    status.freeAddressSpace = (1ull << 47) - (1ull << 30);
    EXPECT_EQ(outOfMemoryReport("AllocMem", 3000, status),
              "Out of memory:   AllocMem\n\nPlease exit other programs to obtain more free memory\n"
              "Click Retry to allocate memory again\nClick Cancel to exit this program\n\n"
              "Requested memory = 3000 bytes (2 K)\nPercent of memory in use = 42%\n"
              "Total physical memory = 8388608 K\nFree  physical memory = 3145728 K\n"
              "Total paging file = 2048 K\nFree  paging file = 1024 K\n"
              "Total user address space = 137438953472 K\nFree  user address space = 137437904896 K\n");
}

TEST(OutOfMemoryReport, ReadsThisMachinesFigures)
{
    const MemoryStatus status = readMemoryStatus();
    EXPECT_GT(status.totalPhysical, 0u);
    EXPECT_LE(status.freePhysical, status.totalPhysical);
    EXPECT_LE(status.percentInUse, 100u);
    EXPECT_GT(status.totalAddressSpace, status.freeAddressSpace);
}

TEST(ZeroedBlocks, AllocateResizeAndFree)
{
    void* block = allocZeroed(100);
    ASSERT_NE(block, nullptr);
    const auto* bytes = static_cast<unsigned char*>(block);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
    std::memset(block, 0xAB, 100);

    block = reallocZeroed(block, 5000);
    bytes = static_cast<unsigned char*>(block);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(bytes[i], i < 100 ? 0xAB : 0) << "byte " << i;

    block = reallocZeroed(block, 10); // shrinking keeps the first bytes
    EXPECT_EQ(static_cast<unsigned char*>(block)[9], 0xAB);

    freeMem(block);
    EXPECT_EQ(block, nullptr);
    freeMem(block); // an empty reference is left alone

    void* empty = allocZeroed(0);
    EXPECT_NE(empty, nullptr);
    freeMem(empty);
}

TEST(ZeroedBlocks, FreeingSomethingElseIsRefusedAndReported)
{
    FakeDesktop desktop;
    CMemNew guard(desktop, false, false);
    alignas(16) unsigned char foreign[64] = {};
    void* notABlock = foreign + 32;
    freeMem(notABlock);
    EXPECT_EQ(notABlock, foreign + 32) << "the reference is emptied only on success";
    EXPECT_EQ(desktop.boxes, std::vector<std::string>{"FreeMem failed"});
}

TEST(ZeroedBlocks, AnImpossibleSizeIsReportedUntilTheUserEndsTheProgram)
{
    FakeDesktop desktop;
    CMemNew guard(desktop, false, false);
    desktop.fatalAnswers = {FatalBoxAnswer::Retry, FatalBoxAnswer::Retry, FatalBoxAnswer::Abort};
    const std::size_t impossible = std::numeric_limits<std::size_t>::max() - 4;
    EXPECT_THROW(allocZeroed(impossible), ProgramExit);
    ASSERT_EQ(desktop.fatalTexts.size(), 3u) << "each retry tries again and reports again";
    EXPECT_EQ(desktop.fatalCaptions[0], "Memory operation error!");
    EXPECT_EQ(desktop.fatalTexts[0].rfind("Out of memory:   AllocMem\n", 0), 0u);

    void* block = allocZeroed(8);
    EXPECT_THROW(reallocZeroed(block, impossible), ProgramExit);
    EXPECT_EQ(desktop.fatalTexts.back().rfind("Out of memory:   ReAllocMem\n", 0), 0u);
    freeMem(block); // the failed resize left the block as it was
}

TEST(MemoryGuard, RoutesTheAllocationOperatorThroughTheReport)
{
    FakeDesktop desktop;
    const std::new_handler before = std::get_new_handler();
    {
        CMemNew guard(desktop, true, false);
        EXPECT_EQ(CMemNew::guardCount(), 1);
        const std::new_handler handler = std::get_new_handler();
        ASSERT_NE(handler, nullptr);
        desktop.fatalAnswers = {FatalBoxAnswer::Retry};
        handler(); // what operator new runs when memory is out; Retry lets it try again
        ASSERT_EQ(desktop.fatalTexts.size(), 1u);
        EXPECT_EQ(desktop.fatalTexts[0].rfind("Out of memory:   new\n", 0), 0u);
    }
    EXPECT_EQ(CMemNew::guardCount(), 0);
    EXPECT_EQ(std::get_new_handler(), before);
}

TEST(MemoryGuard, MustBeCreatedBeforeTheApplicationObject)
{
    FakeDesktop desktop;
    EXPECT_THROW(CMemNew(desktop, true, true), ProgramExit);
    EXPECT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(CMemNew::guardCount(), 0);
    CMemNew unchecked(desktop, false, true); // without the check it is fine
    EXPECT_EQ(CMemNew::guardCount(), 1);
}

} // namespace
} // namespace marovin
