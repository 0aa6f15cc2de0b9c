// Arbitrary text as the answer of a who command: the records never overrun a field, at
// most 249 are taken, and sorting and showing them works on anything that was read.
//
// Input: byte 0 chooses the list kind (bit 0: a plain "who") and the sort settings, the
// rest is the answer.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "session/who_list.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

template <std::size_t N>
void checkField(const char (&field)[N])
{
    check(std::memchr(field, 0, N) != nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace marovin::session;
    if (size < 1)
        return 0;
    static const WhoRecords records = allocateWhoRecords();
    const std::string_view answer(reinterpret_cast<const char*>(data + 1), size - 1);
    const int count = parseWhoList(answer, (data[0] & 1) != 0, records.get());
    check(count >= 0 && count <= kWhoCountLimit);
    sortWhoRecords(records.get(), count, WhoOrder{(data[0] >> 1) % 3, (data[0] & 8) != 0});
    for (int i = 0; i < count; ++i) {
        const WhoRecord& r = records[i];
        checkField(r.name);
        checkField(r.slowRating);
        checkField(r.fastRating);
        checkField(r.info);
        checkField(r.play);
        checkField(r.obs);
        checkField(r.idle);
        check(r.name[0] != 0);
        check(r.openMark == 'X' || r.openMark == ' ');
        check(whoListLine(r).size() <= 64);
        check(findWhoRecord(records.get(), count, r.name) <= i);
        if (i > 0)
            check(!whoRecordBefore(r, records[i - 1], WhoOrder{(data[0] >> 1) % 3, (data[0] & 8) != 0}));
    }
    return 0;
}
