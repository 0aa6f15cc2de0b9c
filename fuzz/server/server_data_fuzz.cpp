// Feeds arbitrary bytes to the practice server's readers of its data files, as a damaged
// or hand-edited folder might hold them: the part before the first byte 0x00 is the base
// file, the rest the journal. The merged records are read as accounts, messages and
// stored games, and the changes made from them are taken again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "accounts.h"
#include "game_archive.h"
#include "record_file.h"

namespace {

std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace marovin::server;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::vector<std::string> records =
        mergeRecords(linesOf(input.substr(0, split)),
                     split == std::string_view::npos ? std::vector<std::string>{} : linesOf(input.substr(split + 1)));
    AccountStore accounts;
    accounts.load(records, records);
    GameArchive archive;
    archive.load(records);
    for (const Account* a : accounts.all()) {
        accounts.markChanged(a->name);
        archive.gamesOf(a->name, 'A', 5);
    }
    accounts.takeAccountChanges(1000);
    archive.takeChanges(1000);
    return 0;
}
