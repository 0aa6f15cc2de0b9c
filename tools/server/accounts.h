#pragma once
// Player accounts, their settings, plans, aliases and stored messages. On disk they are
// two tables of tab-separated records (accounts.txt, messages.txt); the store reads
// their records and says which records changed, and DataFolder does the writing.
//
// Names are unique without regard to case; the case chosen at registration is kept and
// is what the server reports.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "record_file.h"

namespace marovin::server {

constexpr std::size_t kMaxNameLength = 15;
constexpr int kInitialRating = 1500;
// Ratings stay within four digits: the lists show them in four characters.
constexpr int kRatingFloor = 1000;
constexpr int kRatingCeiling = 9999;

struct Account {
    std::string name;
    std::string password;
    std::string email;
    bool bot = false;
    // Player settings ("set ..."): open for matches, hear shouts, quiet, bell on moves,
    // e-mail address hidden, rating hidden.
    bool open = true;
    bool shout = true;
    bool quiet = false;
    bool bell = false;
    bool hideAddress = false;
    bool hideRating = false;
    int slowRating = kInitialRating;
    int fastRating = kInitialRating;
    int slowGames = 0;
    int fastGames = 0;
    int wins = 0;
    int losses = 0;
    int draws = 0;
    std::int64_t registered = 0; // seconds since the epoch
    std::int64_t lastSeen = 0;
    std::vector<std::string> plan;
    std::vector<std::pair<std::string, std::string>> aliases;
};

struct StoredMessage {
    std::string from;
    std::int64_t time = 0;
    std::string text;
};

// A valid player name: 2 to 15 ASCII letters and digits, beginning with a letter.
bool isValidName(std::string_view name);
// Lower-case form used as the key of a name.
std::string nameKey(std::string_view name);

class AccountStore {
public:
    // Takes the records of both tables; damaged ones are skipped.
    void load(const std::vector<std::string>& accountRecords, const std::vector<std::string>& messageRecords);
    // Notes that an account's fields were changed through find() (create, addMessage and
    // takeMessages note their own changes).
    void markChanged(std::string_view name) { m_changedAccounts.insert(nameKey(name)); }
    // The records changed since they were last taken, of at most limit keys (the others
    // stay for the next call).
    RecordChanges takeAccountChanges(std::size_t limit);
    RecordChanges takeMessageChanges(std::size_t limit);

    Account* find(std::string_view name);
    const Account* find(std::string_view name) const;
    // Creates an account; the name must be valid and free.
    Account& create(std::string_view name, std::string_view password, std::int64_t now);
    std::vector<const Account*> all() const;

    void addMessage(std::string_view to, StoredMessage message);
    // Removes and returns the messages stored for a player, oldest first.
    std::vector<StoredMessage> takeMessages(std::string_view to);
    std::size_t messageCount(std::string_view to) const;

    static constexpr std::size_t kMaxMessagesPerPlayer = 100;

private:
    std::map<std::string, std::unique_ptr<Account>> m_accounts;
    std::map<std::string, std::vector<StoredMessage>> m_messages;
    std::set<std::string> m_changedAccounts; // name keys
    std::set<std::string> m_changedMessages;
};

} // namespace marovin::server
