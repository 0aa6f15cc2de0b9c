// Arbitrary text as the answer of a stored command, and the challenge lines of the match
// dialog: entries are "K  word" with a word that holds no blank or line end, and choosing
// one sends exactly one line; a challenge read from anything gives terms that compose a
// match line of one line.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "session/match_request.h"
#include "session/stored_list.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool oneLine(const std::string& text, bool withEnd)
{
    const std::size_t end = text.find_first_of("\r\n");
    return withEnd ? end == text.size() - 2 && text.compare(end, 2, "\r\n") == 0 : end == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace marovin::session;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& entry : parseStoredList(text)) {
        check(entry.size() >= 4 && entry.compare(1, 2, "  ") == 0);
        check(static_cast<unsigned char>(entry[0]) > ' ');
        for (const auto command : {std::optional<std::string_view>(), std::optional<std::string_view>("restart")}) {
            const StoredChoice choice = chooseStoredGame(entry, command, "me");
            check(oneLine(choice.line, true));
            check(choice.closeWindow == (entry[0] == 'A'));
        }
    }
    LastMatch last;
    if (admitMatchDialog(last, {MatchOpening::From::Challenge, text}, 0)) {
        check(last.openMatchDialogs == 1);
        check(last.terms.name.size() <= static_cast<std::size_t>(kMatchNameLength));
        check(oneLine(composeMatchLine(last.terms), false));
    }
    return 0;
}
