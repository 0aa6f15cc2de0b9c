#pragma once
// The answer of a "stored" command as the stored games window lists it, and the commands
// that restart or fetch a stored game.
//
//   A alice.bob.12  F alice.carol.7  F bob.alice.9
//
// Up to three items a line, each a kind letter ("A" adjourned, "F" finished, "P" playing)
// and a word "red.black[.more]". An entry of the list is "K  word".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovin::session {

// The entries of an answer, in order. A kind must be a visible byte.
std::vector<std::string> parseStoredList(std::string_view answer);

// The two player names of an entry's word: up to the first ".", and from there to the
// second "." or the end (empty when the word has no ".").
struct StoredPlayers {
    std::string_view first;
    std::string_view second;
};
StoredPlayers storedPlayers(std::string_view entry);

// What choosing an entry sends: "set open on" first when asked, then "COMMAND   word";
// closeWindow for an adjourned game.
struct StoredChoice {
    bool setOpenFirst = false;
    std::string line; // with its line end
    bool closeWindow = false;
};

// command: "restart" or "sendfile"; none (a double click) restarts an adjourned game of
// the user's own (after "set open on") and fetches every other one.
StoredChoice chooseStoredGame(std::string_view entry, std::optional<std::string_view> command,
                              std::string_view loggedInName);

} // namespace marovin::session
