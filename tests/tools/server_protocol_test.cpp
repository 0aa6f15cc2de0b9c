// The practice server over loopback: prompts, login and registration, client mode and
// the answers the list windows read, byte for byte.
#include <gtest/gtest.h>

#include "server_harness.h"

namespace marovin::testing {
namespace {

const std::string kNegotiation("\xFF\xFD\x01\xFF\xFD\x03\xFF\xFC\x18\xFF\xFC\x1F\xFF\xFC\x23\xFF\xFC\x27"
                               "\xFF\xFC\x24\xFF\xFC\x20\xFF\xFC\x21\xFF\xFC\x05\r\n",
                               32);

// The lines of an answer (CR LF separated), without the trailing prompt.
std::vector<std::string> linesOf(const std::string& answer)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = answer.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(answer.substr(start, end - start));
    return lines;
}

class ServerProtocol : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(server.port(), 0) << server.startError(); }
    ServerProcess server;
};

TEST_F(ServerProtocol, RegistersANewPlayerWithPromptsWithoutLineEnds)
{
    LineClient c(server.port());
    ASSERT_TRUE(c.connected());
    const ReadResult banner = c.readUntil("Login: ");
    ASSERT_TRUE(banner.ok) << banner.text;
    EXPECT_EQ(c.drain(100), "") << "nothing follows the login prompt";
    c.send(kNegotiation);
    EXPECT_EQ(c.drain(150), "") << "the negotiation and its line end are absorbed silently";
    c.sendLine("alice");
    const ReadResult password = c.readUntil("Password: ");
    ASSERT_TRUE(password.ok) << password.text;
    EXPECT_EQ(password.text.substr(password.text.size() - 12), "\r\nPassword: ");
    c.sendLine("secret");
    EXPECT_EQ(c.readUntilText("verify: "), "Enter your password again to verify: ");
    c.sendLine("secret");
    const std::string welcome = c.readUntilText("OMRA% ");
    EXPECT_EQ(welcome.rfind("Login as alice\r\n", 0), 0u) << welcome;
    EXPECT_EQ(welcome.substr(welcome.size() - 8), "\r\nOMRA% ");
}

TEST_F(ServerProtocol, MismatchedPasswordsSendThePlayerBackToTheLoginPrompt)
{
    LineClient c(server.port());
    c.readUntil("Login: ");
    c.sendLine("bob");
    c.readUntil("Password: ");
    c.sendLine("one");
    c.readUntil("verify: ");
    c.sendLine("two");
    EXPECT_EQ(c.readUntilText("Login: "), "Passwords do not match.\r\nLogin: ");
    // The name is still free: registering again works.
    c.sendLine("bob");
    EXPECT_NE(c.readUntilText("Password: ").find("New player bob"), std::string::npos);
    c.sendLine("pw");
    c.readUntil("verify: ");
    c.sendLine("pw");
    EXPECT_TRUE(c.readUntil("OMRA% ").ok);
}

TEST_F(ServerProtocol, KnownNamesAskForThePasswordAndAWrongOneEndsTheConnection)
{
    {
        LineClient first(server.port());
        ASSERT_TRUE(first.login("carol", "right"));
    }
    LineClient c(server.port());
    c.readUntil("Login: ");
    c.sendLine("CAROL");
    EXPECT_EQ(c.readUntilText("Password: "), "Password: ") << "names are found without regard to case";
    c.sendLine("wrong");
    EXPECT_TRUE(c.waitClosed());

    LineClient again(server.port());
    again.readUntil("Login: ");
    again.sendLine("Carol");
    again.readUntil("Password: ");
    again.sendLine("right");
    EXPECT_EQ(again.readUntilText("\r\n"), "Login as carol\r\n") << "the registered spelling is reported";

    LineClient bad(server.port());
    bad.readUntil("Login: ");
    bad.sendLine("9lives");
    EXPECT_NE(bad.readUntilText("Login: ").find("Invalid name"), std::string::npos);
}

TEST_F(ServerProtocol, KeywordLinesFollowThePromptOnlyInClientMode)
{
    LineClient c(server.port());
    ASSERT_TRUE(c.login("dave", "pw", false));
    const std::string plain = c.command("who");
    EXPECT_EQ(plain.find("who:"), std::string::npos) << plain;
    EXPECT_EQ(plain.rfind("1 player online\r\n", 0), 0u) << plain;

    EXPECT_EQ(c.command("set client on"), "set: client is now on.\r\nOMRA% ");
    const std::string who = c.command("who");
    EXPECT_EQ(who.rfind("who: 1 player online\r\n", 0), 0u) << who;
    EXPECT_EQ(c.command("games").rfind("games: ", 0), 0u);
    EXPECT_EQ(c.command("finger").rfind("finger: Finger of dave:", 0), 0u);
    EXPECT_EQ(c.command("frobnicate"), "Unknown command: frobnicate (type \"help\" for the commands)\r\nOMRA% ");
    EXPECT_EQ(c.command(""), "OMRA% ") << "an empty line just gives the prompt";
    EXPECT_EQ(c.command("telnet other.host 5555").rfind("telnet: Sorry", 0), 0u);
}

TEST_F(ServerProtocol, WhoAnswersHaveTheLineLengthsTheWhoWindowReads)
{
    LineClient a(server.port()), b(server.port()), c(server.port());
    ASSERT_TRUE(a.login("abcdefghijklmno", "pw"));
    ASSERT_TRUE(b.login("xy", "pw"));
    ASSERT_TRUE(c.login("zed", "pw"));
    b.command("set open off");
    struct Case {
        const char* command;
        std::vector<std::size_t> lengths;
    } cases[] = {
        {"who", {38, 38, 38}}, {"who -f", {38, 38, 38}}, {"who -2", {79, 38}}, {"who -b", {43, 43, 43}}};
    for (const Case& k : cases) {
        const auto lines = linesOf(a.command(k.command));
        ASSERT_EQ(lines.size(), k.lengths.size() + 1) << k.command;
        EXPECT_EQ(lines[0], "who: 3 players online") << k.command;
        for (std::size_t i = 0; i < k.lengths.size(); ++i)
            EXPECT_EQ(lines[i + 1].size(), k.lengths[i]) << k.command << ": " << lines[i + 1];
    }
    const auto lines = linesOf(a.command("who"));
    EXPECT_EQ(lines[2].substr(0, 4), "NewX") << "xy is not open: " << lines[2];
    EXPECT_EQ(lines[1].substr(0, 4), "New.");
}

TEST_F(ServerProtocol, TellsAndShoutsReachOthersUnchanged)
{
    LineClient a(server.port()), b(server.port());
    ASSERT_TRUE(a.login("alice", "pw"));
    ASSERT_TRUE(b.login("bob", "pw"));
    const std::string transfer = "\x01send1 12 HGAME";
    EXPECT_EQ(a.command("tell bob " + transfer), "tell: (told bob)\r\nOMRA% ");
    EXPECT_EQ(b.readUntilText("OMRA% "), "\r\n#alice>: " + transfer + "\r\nOMRA% ");
    const std::string big5 = "\xB1\x4E\xA4\x68"; // 將士
    b.command("tell . " + big5);
    EXPECT_EQ(a.readUntilText("OMRA% "), "\r\n#bob>: " + big5 + "\r\nOMRA% ") << "\".\" is the last partner";

    EXPECT_EQ(a.command("tell nobody hi"), "Player nobody does not exist.\r\nOMRA% ");
    a.command("/ game anyone?");
    EXPECT_EQ(b.readUntilText("OMRA% "), "\r\n!alice: game anyone?\r\nOMRA% ");
    b.command("set shout off");
    a.command("shout again");
    EXPECT_EQ(b.drain(200), "") << "shouts off";
}

TEST_F(ServerProtocol, MessagesAreStoredAndAnnounced)
{
    {
        LineClient a(server.port());
        ASSERT_TRUE(a.login("alice", "pw"));
        LineClient b(server.port());
        ASSERT_TRUE(b.login("bob", "pw"));
        b.close();
        EXPECT_EQ(a.command("message bob  see you later"), "Message stored for bob.\r\nOMRA% ");
        EXPECT_EQ(a.command("message nobody hi"), "Player nobody does not exist.\r\nOMRA% ");
    }
    LineClient b(server.port());
    b.readUntil("Login: ");
    b.sendLine("bob");
    b.readUntil("Password: ");
    b.sendLine("pw");
    const std::string welcome = b.readUntilText("OMRA% ");
    EXPECT_NE(welcome.find("\r\nYou have messages.\r\n"), std::string::npos) << welcome;
    b.command("set client on");
    const auto lines = linesOf(b.command("message"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("message: alice (", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("): see you later"), std::string::npos) << lines[0];
    EXPECT_EQ(b.command("message"), "You have no messages.\r\nOMRA% ") << "messages are delivered once";
}

TEST_F(ServerProtocol, PlanFingerAliasAndSettings)
{
    LineClient a(server.port());
    ASSERT_TRUE(a.login("alice", "pw"));
    a.command("plan first line");
    a.command("plan -nsecond line");
    a.command("register alice@example.org");
    const std::string finger = a.command("finger alice");
    EXPECT_NE(finger.find("  1: first line\r\n  2: second line\r\n"), std::string::npos) << finger;
    EXPECT_NE(finger.find("alice@example.org"), std::string::npos);
    a.command("set address on");
    EXPECT_EQ(a.command("finger alice").find("alice@example.org"), std::string::npos) << "address hidden";
    a.command("set unrated on");
    EXPECT_NE(a.command("who").find("----"), std::string::npos) << "rating hidden";

    a.command("alias w who -b");
    EXPECT_NE(a.command("alias -l alice").find("w = who -b"), std::string::npos);
    EXPECT_EQ(a.command("w").rfind("who: ", 0), 0u);
    EXPECT_EQ(a.command("passwd wrong new").rfind("passwd: The old password is not right", 0), 0u);
    EXPECT_EQ(a.command("passwd pw newpw"), "passwd: Password changed.\r\nOMRA% ");
}

TEST_F(ServerProtocol, ControlBytesAndQuit)
{
    LineClient a(server.port());
    ASSERT_TRUE(a.login("alice", "pw"));
    EXPECT_EQ(a.command("\x03"), "OMRA% ") << "Ctrl+Break is harmless";
    a.send("\x04\r\nquit\r\n");
    EXPECT_EQ(a.readUntilText("Goodbye, alice.\r\n"), "OMRA% quit: Goodbye, alice.\r\n");
    EXPECT_TRUE(a.waitClosed());
}

} // namespace
} // namespace marovin::testing
