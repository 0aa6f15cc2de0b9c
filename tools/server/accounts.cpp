#include "accounts.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "storage.h"

namespace marovin::server {

namespace {

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i)
        joined += (i ? "\n" : "") + lines[i];
    return joined;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

std::string flagsText(const Account& a)
{
    std::string flags;
    if (a.bot) flags += 'B';
    if (a.open) flags += 'o';
    if (a.shout) flags += 's';
    if (a.quiet) flags += 'q';
    if (a.bell) flags += 'b';
    if (a.hideAddress) flags += 'a';
    if (a.hideRating) flags += 'u';
    return flags;
}

void applyFlags(Account& a, std::string_view flags)
{
    const auto has = [&](char c) { return flags.find(c) != std::string_view::npos; };
    a.bot = has('B');
    a.open = has('o');
    a.shout = has('s');
    a.quiet = has('q');
    a.bell = has('b');
    a.hideAddress = has('a');
    a.hideRating = has('u');
}

std::vector<std::string> accountRecord(const Account& a)
{
    std::vector<std::string> aliases;
    for (const auto& [word, expansion] : a.aliases)
        aliases.push_back(word + " " + expansion);
    return {a.name, a.password, a.email, flagsText(a), std::to_string(a.slowRating),
            std::to_string(a.fastRating), std::to_string(a.slowGames), std::to_string(a.fastGames),
            std::to_string(a.wins), std::to_string(a.losses), std::to_string(a.draws),
            std::to_string(a.registered), std::to_string(a.lastSeen), joinLines(a.plan), joinLines(aliases)};
}

} // namespace

bool isValidName(std::string_view name)
{
    if (name.size() < 2 || name.size() > kMaxNameLength || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

std::string nameKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

void AccountStore::load(const std::vector<std::string>& accountRecords, const std::vector<std::string>& messageRecords)
{
    for (const std::string& line : accountRecords) {
        const std::vector<std::string> f = splitRecord(line);
        if (f.size() < 15 || !isValidName(f[0]) || find(f[0]))
            continue; // a damaged record is skipped rather than taking the others down
        auto a = std::make_unique<Account>();
        a->name = f[0];
        a->password = f[1];
        a->email = f[2];
        applyFlags(*a, f[3]);
        const auto rating = [](const std::string& field) {
            return parseNumber(field, kRatingFloor, kRatingCeiling).value_or(kInitialRating);
        };
        const auto count = [](const std::string& field) {
            return parseNumber(field, 0, std::numeric_limits<int>::max()).value_or(0);
        };
        a->slowRating = rating(f[4]);
        a->fastRating = rating(f[5]);
        a->slowGames = count(f[6]);
        a->fastGames = count(f[7]);
        a->wins = count(f[8]);
        a->losses = count(f[9]);
        a->draws = count(f[10]);
        a->registered = toInteger(f[11]);
        a->lastSeen = toInteger(f[12]);
        a->plan = splitLines(f[13]);
        for (const std::string& alias : splitLines(f[14])) {
            const std::size_t blank = alias.find(' ');
            if (blank != std::string::npos)
                a->aliases.emplace_back(alias.substr(0, blank), alias.substr(blank + 1));
        }
        m_accounts.emplace(nameKey(a->name), std::move(a));
    }
    for (const std::string& line : messageRecords) {
        const std::vector<std::string> f = splitRecord(line);
        if (f.size() >= 4 && find(f[0]))
            m_messages[nameKey(f[0])].push_back({f[1], toInteger(f[2]), f[3]});
    }
}

RecordChanges AccountStore::takeAccountChanges(std::size_t limit)
{
    return takeChanges(m_changedAccounts, limit, [this](const std::string& key) {
        std::vector<std::string> records;
        if (const Account* a = find(key))
            records.push_back(joinRecord(accountRecord(*a)));
        return records;
    });
}

RecordChanges AccountStore::takeMessageChanges(std::size_t limit)
{
    return takeChanges(m_changedMessages, limit, [this](const std::string& key) {
        std::vector<std::string> records;
        if (const auto it = m_messages.find(key); it != m_messages.end())
            for (const StoredMessage& m : it->second)
                records.push_back(joinRecord({key, m.from, std::to_string(m.time), m.text}));
        return records;
    });
}

Account* AccountStore::find(std::string_view name)
{
    const auto it = m_accounts.find(nameKey(name));
    return it == m_accounts.end() ? nullptr : it->second.get();
}

const Account* AccountStore::find(std::string_view name) const
{
    const auto it = m_accounts.find(nameKey(name));
    return it == m_accounts.end() ? nullptr : it->second.get();
}

Account& AccountStore::create(std::string_view name, std::string_view password, std::int64_t now)
{
    auto a = std::make_unique<Account>();
    a->name = std::string(name);
    a->password = std::string(password);
    a->registered = now;
    a->lastSeen = now;
    Account& ref = *a;
    m_accounts[nameKey(name)] = std::move(a);
    markChanged(name);
    return ref;
}

std::vector<const Account*> AccountStore::all() const
{
    std::vector<const Account*> list;
    for (const auto& [key, a] : m_accounts)
        list.push_back(a.get());
    return list;
}

void AccountStore::addMessage(std::string_view to, StoredMessage message)
{
    auto& list = m_messages[nameKey(to)];
    if (list.size() >= kMaxMessagesPerPlayer)
        list.erase(list.begin());
    list.push_back(std::move(message));
    m_changedMessages.insert(nameKey(to));
}

std::vector<StoredMessage> AccountStore::takeMessages(std::string_view to)
{
    const auto it = m_messages.find(nameKey(to));
    if (it == m_messages.end())
        return {};
    std::vector<StoredMessage> list = std::move(it->second);
    m_messages.erase(it);
    m_changedMessages.insert(nameKey(to));
    return list;
}

std::size_t AccountStore::messageCount(std::string_view to) const
{
    const auto it = m_messages.find(nameKey(to));
    return it == m_messages.end() ? 0 : it->second.size();
}

} // namespace marovin::server
