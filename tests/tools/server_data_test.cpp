// The practice server's data files: a journal counts only whole batches, merges into its
// base file without losing a change, and a write that fails is kept and done later.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "accounts.h"
#include "data_folder.h"
#include "record_file.h"

namespace marovin::server {
namespace {

using namespace std::chrono_literals;

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        char pattern[] = "/tmp/marovin-data-test-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path); }
    std::string path;
};

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> loaded(RecordFile& file)
{
    std::string error;
    std::vector<std::string> records = file.load(error);
    EXPECT_EQ(error, "");
    return records;
}

TEST(ServerRecordFile, TheJournalCountsWholeBatchesAndMergesIntoTheBase)
{
    TemporaryFolder folder;
    const std::string path = folder.path + "/accounts.txt";
    writeFile(path, "Alice\told\nbob\tone\nbob\ttwo\ncarol\tc\n"); // a base file as older servers wrote it
    writeFile(path + ".journal",
              RecordFile::batch({{"alice", {"Alice\tnew"}}}) + RecordFile::batch({{"bob", {}}}) +
                  "\nB\nK\tcarol\nL\tcarol\tlost\n" // a batch whose append failed half-way
                  "L\tcaro");
    RecordFile file(path);
    EXPECT_EQ(loaded(file), (std::vector<std::string>{"Alice\tnew", "carol\tc"}));

    // A later batch is read in full after the torn one.
    ASSERT_EQ(file.append(RecordFile::batch({{"dave", {"Dave\t1", "Dave\t2"}}, {"CAROL", {"carol\tnew"}}})), "");
    const std::vector<std::string> expected = {"Alice\tnew", "carol\tnew", "Dave\t1", "Dave\t2"};
    EXPECT_EQ(loaded(file), expected);

    // Grown past the floor and the base file, the journal is merged and emptied.
    std::string changes;
    while (changes.size() < RecordFile::kMinJournalToCompact)
        changes += RecordFile::batch({{"dave", {"Dave\t1", "Dave\t2"}}});
    ASSERT_EQ(file.append(changes), "");
    ASSERT_TRUE(file.wantsCompaction());
    ASSERT_EQ(file.compact(), "");
    EXPECT_EQ(std::filesystem::file_size(path + ".journal"), 0u);
    RecordFile reopened(path);
    EXPECT_EQ(loaded(reopened), expected);
    EXPECT_FALSE(reopened.wantsCompaction());
}

TEST(ServerRecordFile, AFailedAppendCountsForNothingAndAnUnreadableFileIsReported)
{
    TemporaryFolder folder;
    const std::string path = folder.path + "/games.txt";
    std::filesystem::create_directory(path + ".journal"); // in the way of the journal
    RecordFile file(path);
    std::string error;
    file.load(error);
    EXPECT_NE(error.find("cannot read " + path + ".journal"), std::string::npos) << error;
    EXPECT_NE(file.append(RecordFile::batch({{"1", {"1\tA"}}})).find("cannot write " + path + ".journal"),
              std::string::npos);
    std::filesystem::remove(path + ".journal");
    ASSERT_EQ(file.append(RecordFile::batch({{"2", {"2\tF"}}})), "");
    EXPECT_EQ(loaded(file), std::vector<std::string>{"2\tF"});
}

TEST(ServerDataFolder, AFailedWriteIsReportedKeptInOrderAndDoneLater)
{
    TemporaryFolder folder;
    const std::string journal = folder.path + "/messages.txt.journal";
    std::vector<std::string> reports;
    {
        DataFolder data(folder.path);
        ASSERT_EQ(data.open(), "");
        std::filesystem::create_directory(journal);
        data.write(DataFolder::Table::Messages, {{"bob", {"bob\tfirst"}}});
        data.write(DataFolder::Table::Messages, {{"bob", {"bob\tsecond"}}});
        EXPECT_FALSE(data.waitUntilWritten(300ms));
        reports = data.takeReports();
        std::filesystem::remove(journal);
        EXPECT_TRUE(data.waitUntilWritten(5s));
        for (std::string& report : data.takeReports())
            reports.push_back(std::move(report));
    }
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].rfind("cannot save messages.txt: cannot write " + journal, 0), 0u) << reports[0];
    EXPECT_EQ(reports[1].rfind("saved messages.txt again after ", 0), 0u) << reports[1];
    DataFolder again(folder.path);
    ASSERT_EQ(again.open(), "");
    EXPECT_EQ(again.takeRecords(DataFolder::Table::Messages), std::vector<std::string>{"bob\tsecond"});
}

TEST(ServerAccountStore, ChangesAreTakenInSlicesWithoutLosingOne)
{
    AccountStore store;
    for (int i = 0; i < 2500; ++i)
        store.create("p" + std::to_string(i), "pw", 0);
    store.find("p7")->plan = {"changed after creation"};
    store.markChanged("P7");
    std::set<std::string> keys;
    std::vector<std::size_t> slices;
    for (RecordChanges changes; !(changes = store.takeAccountChanges(1000)).empty();) {
        slices.push_back(changes.size());
        for (const auto& [key, records] : changes) {
            EXPECT_TRUE(keys.insert(key).second) << key << " taken twice";
            ASSERT_EQ(records.size(), 1u);
        }
    }
    EXPECT_EQ(slices, (std::vector<std::size_t>{1000, 1000, 500}));
    EXPECT_EQ(keys.size(), 2500u);
}

} // namespace
} // namespace marovin::server
