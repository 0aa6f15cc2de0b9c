#pragma once
// One player of the server's player list, as the who window keeps it: a fixed record of
// 52 bytes. The list holds up to whoRecordCapacity of them, zero-filled at start-up.

#include <cstddef>
#include <memory>

#include "support/memory.h"

namespace marovin::windows {

struct WhoRecord {
    char name[21];
    char slowRating[5];
    char fastRating[5];
    char info[5];
    char openMark; // 'X' when the player is open for matches, else a blank
    char play[5];
    char obs[5];
    char idle[5];
};
static_assert(sizeof(WhoRecord) == 52);

constexpr std::size_t kWhoRecordCapacity = 250;
constexpr std::size_t kWhoRecordsInUseLimit = 249;

using WhoRecords = std::unique_ptr<WhoRecord[], FreeMemDeleter>;

// The zero-filled array of all records (never fails: out of memory is reported and retried).
inline WhoRecords allocateWhoRecords()
{
    return WhoRecords(static_cast<WhoRecord*>(allocZeroed(kWhoRecordCapacity * sizeof(WhoRecord))));
}

} // namespace marovin::windows
