#pragma once
// Digits of varying radix packed into one number: the first digit is the least significant.
//
//   N = d0 + r0 * (d1 + r1 * (d2 + ...))
//
// The writer collects (digit, radix) pairs and writes N as little-endian bytes without
// trailing zeros; the reader takes the digits back in order, given each radix, which the
// caller knows from the digits before it. A stream must end in a non-zero digit, so that
// the reader can tell a damaged number (N runs out) from a whole one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::database {

class MixedRadixWriter {
public:
    void put(int digit, int radix) { m_digits.push_back({static_cast<std::uint16_t>(digit), static_cast<std::uint16_t>(radix)}); }
    // Appends the bytes of N to out.
    void appendTo(std::string& out) const;

private:
    struct Digit {
        std::uint16_t value, radix;
    };
    std::vector<Digit> m_digits;
};

class MixedRadixReader {
public:
    explicit MixedRadixReader(std::string_view bytes);
    // The next digit of the given radix (1..65535).
    int take(int radix);
    // Whether nothing is left (every further digit would be 0).
    bool exhausted() const { return m_limbs.empty(); }

private:
    std::vector<std::uint32_t> m_limbs; // little-endian, no leading zero limbs
};

} // namespace marovin::database
