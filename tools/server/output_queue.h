#pragma once
// The bytes waiting to be sent on one connection, kept in blocks of at most kBlockSize.
//
// A long queue grows by adding blocks, never by copying what it holds into a buffer twice
// the size (which, for many slow readers at once, costs a burst of copying and fresh pages
// just as memory runs short), and each block is freed as soon as it has been sent, so an
// empty queue holds no buffer at all.

#include <algorithm>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace marovin::server {

class OutputQueue {
public:
    static constexpr std::size_t kBlockSize = 16 * 1024;

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    void append(std::string_view bytes)
    {
        m_size += bytes.size();
        while (!bytes.empty()) {
            if (m_blocks.empty() || m_blocks.back().size() >= kBlockSize) {
                // The first block grows with what it holds (most queues hold one short
                // answer); a queue that needs more blocks gets them whole, so that it
                // leaves no holes of outgrown buffers behind.
                m_blocks.emplace_back();
                if (m_blocks.size() > 1)
                    m_blocks.back().reserve(kBlockSize);
            }
            std::string& last = m_blocks.back();
            const std::size_t take = std::min(bytes.size(), kBlockSize - last.size());
            last.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
        }
    }
    // The next bytes to send (a part of the queue; empty when the queue is).
    std::string_view front() const
    {
        return m_blocks.empty() ? std::string_view() : std::string_view(m_blocks.front()).substr(m_offset);
    }
    // Drops n sent bytes from the front (at most front().size()).
    void consume(std::size_t n)
    {
        m_offset += n;
        m_size -= n;
        if (m_offset == m_blocks.front().size()) {
            m_blocks.pop_front();
            m_offset = 0;
        }
    }
    void clear()
    {
        std::deque<std::string>().swap(m_blocks);
        m_offset = 0;
        m_size = 0;
    }
    // The memory its blocks hold.
    std::size_t capacity() const
    {
        std::size_t total = 0;
        for (const std::string& block : m_blocks)
            total += block.capacity();
        return total;
    }

private:
    std::deque<std::string> m_blocks;
    std::size_t m_offset = 0; // bytes of the first block already sent
    std::size_t m_size = 0;
};

} // namespace marovin::server
