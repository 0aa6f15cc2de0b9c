#include "session/who_list.h"

#include <algorithm>
#include <cstdio>

#include "session/answer_text.h"
#include "support/fixed_text.h"

namespace marovin::session {

namespace {

constexpr std::size_t kOnePlayerLine = 38;
constexpr std::size_t kTwoPlayerLine = 79;
constexpr std::size_t kSecondPlayerAt = 40;
constexpr std::size_t kBothRatingsLine = 43;

enum class RatingWord { Slow, Fast, Both };

// Reads one player's six words from text. False when there is no name.
bool readPlayer(std::string_view text, RatingWord ratings, WhoRecord& record)
{
    record = WhoRecord{};
    WordReader words(text);
    const std::string_view info = words.word();
    copyBounded(record.info, info, 3);
    record.openMark = info.size() > 3 && info[3] == 'X' ? 'X' : ' ';
    copyBounded(record.play, words.word());
    copyBounded(record.obs, words.word());
    const std::string_view name = words.word();
    if (name.empty())
        return false;
    copyBounded(record.name, name);
    const std::string_view rating = words.word();
    switch (ratings) {
    case RatingWord::Slow:
        copyBounded(record.slowRating, rating);
        break;
    case RatingWord::Fast:
        copyBounded(record.fastRating, rating);
        break;
    case RatingWord::Both:
        copyBounded(record.slowRating, rating.substr(0, 4));
        copyBounded(record.fastRating, rating.substr(std::min<std::size_t>(5, rating.size()), 4));
        break;
    }
    copyBounded(record.idle, words.word());
    return true;
}

long ratingValue(const char (&rating)[5])
{
    return leadingNumber(fieldText(rating), 0);
}

} // namespace

WhoRecords allocateWhoRecords()
{
    return WhoRecords(static_cast<WhoRecord*>(allocZeroed(kWhoRecordCapacity * sizeof(WhoRecord))));
}

int parseWhoList(std::string_view answer, bool slowList, WhoRecord* records)
{
    int count = 0;
    const RatingWord single = slowList ? RatingWord::Slow : RatingWord::Fast;
    const auto take = [&](std::string_view text, RatingWord ratings) {
        if (count < kWhoCountLimit && readPlayer(text, ratings, records[count]))
            ++count;
        return count < kWhoCountLimit;
    };
    forEachAnswerLine(answer, [&](std::string_view line) {
        if (line.empty() || line.back() == 'e')
            return true;
        switch (line.size()) {
        case kOnePlayerLine:
            return take(line, single);
        case kTwoPlayerLine:
            return take(line.substr(0, kSecondPlayerAt), single) && take(line.substr(kSecondPlayerAt), single);
        case kBothRatingsLine:
            return take(line, RatingWord::Both);
        default:
            return true;
        }
    });
    return count;
}

bool whoRecordBefore(const WhoRecord& a, const WhoRecord& b, WhoOrder order)
{
    if (order.openFirst && (a.openMark == 'X') != (b.openMark == 'X'))
        return b.openMark == 'X';
    switch (order.sortKey) {
    case 1:
        return ratingValue(a.slowRating) > ratingValue(b.slowRating);
    case 2:
        return ratingValue(a.fastRating) > ratingValue(b.fastRating);
    default: {
        // Unsigned byte order, as Big5 names compare.
        const std::string_view x = fieldText(a.name);
        const std::string_view y = fieldText(b.name);
        return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
            return static_cast<unsigned char>(p) < static_cast<unsigned char>(q);
        });
    }
    }
}

void sortWhoRecords(WhoRecord* records, int count, WhoOrder order)
{
    std::stable_sort(records, records + std::clamp(count, 0, kWhoRecordCapacity),
                     [order](const WhoRecord& a, const WhoRecord& b) { return whoRecordBefore(a, b, order); });
}

std::string whoListLine(const WhoRecord& r)
{
    // Fields are printed with their lengths: the format never relies on a terminator.
    const auto n = [](const auto& field) { return static_cast<int>(fieldText(field).size()); };
    char line[128];
    const int length = std::snprintf(line, sizeof line, "%3c%5.*s/%4.*s %-15.*s%4.*s%5.*s%4.*s%5.*s",
                                     r.openMark ? r.openMark : ' ', n(r.slowRating), r.slowRating,
                                     n(r.fastRating), r.fastRating, n(r.name), r.name, n(r.info), r.info,
                                     n(r.play), r.play, n(r.obs), r.obs, n(r.idle), r.idle);
    return std::string(line, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(sizeof line) - 1)));
}

int findWhoRecord(const WhoRecord* records, int count, std::string_view name)
{
    for (int i = 0; i < count; ++i)
        if (fieldText(records[i].name) == name)
            return i;
    return -1;
}

int whoImOpen(const WhoRecord* records, int count, std::string_view loggedInName)
{
    for (int i = 0; i < count; ++i)
        if (records[i].openMark == 'X' && fieldText(records[i].name) == loggedInName)
            return 0;
    return 1;
}

bool whoCanMatch(const WhoRecord& record, int imOpen, std::string_view loggedInName)
{
    return record.openMark != 'X' && imOpen == 1 && fieldText(record.name) != loggedInName;
}

bool whoCanObserve(const WhoRecord& record)
{
    return leadingNumber(fieldText(record.play), 0) > 0;
}

std::string whoCommandLine(WhoCommand command, const WhoRecord& record)
{
    const std::string name(fieldText(record.name));
    switch (command) {
    case WhoCommand::Stored:
        return "stored " + name + "\r\n";
    case WhoCommand::Finger:
        return "finger " + name + "\r\n";
    case WhoCommand::Observe:
        return "observe " + std::string(fieldText(record.play)) + "\r\n";
    case WhoCommand::AliasList:
        return "alias -l " + name + "\r\n";
    case WhoCommand::History:
        return "history " + name + "\r\n";
    }
    return {};
}

} // namespace marovin::session
