#include "session/stored_list.h"

#include "session/answer_text.h"

namespace marovin::session {

std::vector<std::string> parseStoredList(std::string_view answer)
{
    std::vector<std::string> entries;
    forEachAnswerLine(answer, [&](std::string_view line) {
        // The first kind letter is the line's very first byte; the others follow blanks.
        WordReader items(line);
        for (int pair = 0; pair < 3 && !items.atEnd(); ++pair) {
            const char kind = pair == 0 ? items.rawCharacter() : items.character();
            const std::string_view word = items.word();
            // A kind is a visible letter: a line that begins with a blank or a control
            // byte holds no entry.
            if (static_cast<unsigned char>(kind) <= ' ' || kind == '\x7f' || word.empty())
                break;
            entries.push_back(std::string(1, kind) + "  " + std::string(word));
        }
        return true;
    });
    return entries;
}

StoredPlayers storedPlayers(std::string_view entry)
{
    std::string_view word = entry.substr(std::min<std::size_t>(2, entry.size()));
    while (!word.empty() && static_cast<unsigned char>(word.front()) < '!')
        word.remove_prefix(1);
    const std::size_t dot = word.find('.');
    if (dot == std::string_view::npos)
        return {word, {}};
    const std::string_view after = word.substr(dot + 1);
    return {word.substr(0, dot), after.substr(0, after.find('.'))};
}

StoredChoice chooseStoredGame(std::string_view entry, std::optional<std::string_view> command,
                              std::string_view loggedInName)
{
    StoredChoice choice;
    const bool adjourned = !entry.empty() && entry.front() == 'A';
    if (!command) {
        const StoredPlayers players = storedPlayers(entry);
        const bool own = !loggedInName.empty() && (players.first == loggedInName || players.second == loggedInName);
        choice.setOpenFirst = adjourned && own;
        command = choice.setOpenFirst ? "restart" : "sendfile";
    }
    choice.line = std::string(*command) + " " + std::string(entry.substr(std::min<std::size_t>(1, entry.size()))) +
                  "\r\n";
    choice.closeWindow = adjourned;
    return choice;
}

} // namespace marovin::session
