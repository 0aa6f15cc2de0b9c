// Arbitrary bytes as the command window's file shout.txt, and as the text of a message or
// plan: the entries are bounded, written back they read the same, and the paced lines and
// a reply's recipient stay within what they were cut from.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "session/command_list.h"
#include "session/paced_text.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace marovin::session;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> entries = parseCommandList(bytes);
    check(entries.size() <= kCommandEntryLimit);
    for (const std::string& entry : entries)
        check(entry.find('\n') == std::string::npos);
    if (entries.size() < kCommandEntryLimit)
        check(parseCommandList(formatCommandList(entries)) == entries);

    CommandList list;
    list.load({entries, true});
    check(list.entries().size() >= kCommandListMinimum);
    list.select(static_cast<int>(size % 40));
    list.insertNew();
    check(list.selectedText().empty() || list.selected() < 0);

    const std::vector<std::string> lines = editLines(bytes);
    check(!lines.empty());
    for (const std::string& line : lines)
        check(line.size() <= kPacedLineLimit && line.find('\n') == std::string::npos);

    const std::string_view recipient = replyRecipient(bytes);
    check(recipient.size() <= bytes.size());
    check(recipient.find(' ') == std::string_view::npos);
    return 0;
}
