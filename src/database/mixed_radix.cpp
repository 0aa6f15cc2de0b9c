#include "database/mixed_radix.h"

namespace marovin::database {

void MixedRadixWriter::appendTo(std::string& out) const
{
    std::vector<std::uint32_t> limbs;
    for (auto digit = m_digits.rbegin(); digit != m_digits.rend(); ++digit) {
        std::uint64_t carry = digit->value;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t(limb) * digit->radix + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            limbs.push_back(static_cast<std::uint32_t>(carry));
    }
    std::string bytes;
    for (std::uint32_t limb : limbs)
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(limb >> shift);
    while (!bytes.empty() && bytes.back() == 0)
        bytes.pop_back();
    out += bytes;
}

MixedRadixReader::MixedRadixReader(std::string_view bytes)
{
    m_limbs.assign((bytes.size() + 3) / 4, 0);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        m_limbs[i / 4] |= std::uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * (i % 4));
    while (!m_limbs.empty() && m_limbs.back() == 0)
        m_limbs.pop_back();
}

int MixedRadixReader::take(int radix)
{
    if (radix <= 1)
        return 0;
    std::uint64_t remainder = 0;
    for (std::size_t i = m_limbs.size(); i-- > 0;) {
        const std::uint64_t value = remainder << 32 | m_limbs[i];
        m_limbs[i] = static_cast<std::uint32_t>(value / static_cast<std::uint64_t>(radix));
        remainder = value % static_cast<std::uint64_t>(radix);
    }
    while (!m_limbs.empty() && m_limbs.back() == 0)
        m_limbs.pop_back();
    return static_cast<int>(remainder);
}

} // namespace marovin::database
