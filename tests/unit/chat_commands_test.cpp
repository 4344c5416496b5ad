#include "commands/chat_commands.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "plugin/lifecycle.h"
#include "plugin_fixture.h"

namespace {
// Commands arrive on connection 2 (own client 9, in channel 33) while the host's current tab
// is connection 1, so every host call shows which connection it was given.
constexpr ConnectionId typedOn = 2;
constexpr const char* pluginId = "duckvolt-id";

void addSecondServer() {
  simhost::State& host = simhost::state;
  host.servers[2] = simhost::Server{"Beta", "beta.example.org", 9988, 9};
  host.clients[{2, 9}] = simhost::Client{"me", 33};
  host.channels[{1, 33}] = simhost::Channel{"Lobby", "Alpha/Lobby"};
  host.channels[{2, 33}] = simhost::Channel{"Lobby", "Beta/Lobby"};
}

// What the plugin did to the host, one readable line per effect.
std::string tab(const std::string& line) { return "tab: " + line; }
std::string logged(int severity, ConnectionId connection, const std::string& channel,
                   const std::string& message) {
  return "log " + std::to_string(severity) + " on " + channel + " under " +
         std::to_string(connection) + ": " + message;
}
std::string logged(int severity, const std::string& message) {
  return logged(severity, typedOn, "Plugin", message);
}
std::string moveRequest(ConnectionId connection, ClientId client, ChannelId channel,
                        const std::string& password, const std::string& returnCode) {
  return "move on " + std::to_string(connection) + " of client " + std::to_string(client) +
         " to channel " + std::to_string(channel) + ", password '" + password + "', return code '" +
         returnCode + "'";
}
std::string moveRequest(ChannelId channel, const std::string& password = "") {
  return moveRequest(typedOn, 9, channel, password, "duckvolt-join");
}
std::string sent(ConnectionId connection, const std::string& id, const std::string& command,
                 int targetMode, bool hasTargets) {
  return "plugin command on " + std::to_string(connection) + " as " + id + ": '" + command +
         "', target mode " + std::to_string(targetMode) +
         (hasTargets ? ", target list" : ", no target list");
}
std::string sent(const std::string& command) { return sent(typedOn, pluginId, command, 0, false); }
std::string connectInfo(ConnectionId connection, ChannelId channel, std::size_t size,
                        bool hasPassword) {
  return "connect info on " + std::to_string(connection) + " for channel " +
         std::to_string(channel) + ", buffer " + std::to_string(size) +
         (hasPassword ? ", password buffer" : ", no password buffer");
}
const std::string serverQuery = connectInfo(1, 0, 256, false);
const std::string channelQuery = connectInfo(1, 33, 512, false);

std::vector<std::string> hostEffects() {
  const simhost::State& host = simhost::state;
  std::vector<std::string> effects;
  for (const std::string& line : host.tabLines) effects.push_back(tab(line));
  for (const simhost::LogEntry& e : host.logEntries)
    effects.push_back(logged(e.severity, e.connection, e.channel, e.message));
  for (const simhost::Move& m : host.moves)
    effects.push_back(moveRequest(m.connection, m.client, m.channel, m.password, m.returnCode));
  for (const simhost::PluginCommand& c : host.pluginCommands)
    effects.push_back(sent(c.connection, c.pluginId, c.command, c.targetMode, c.hasTargets));
  for (const simhost::ConnectInfoQuery& q : host.connectInfoQueries)
    effects.push_back(connectInfo(q.connection, q.channel, q.size, q.hasPassword));
  return effects;
}

class ChatCommandTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    addSecondServer();
    start();
    capturedOutput([&] { plugin.registerPluginID(pluginId); });
    simhost::state.calls.clear();
  }
  // The host shuts the plugin down before unloading it; that releases the plugin ID.
  void TearDown() override {
    capturedOutput([&] { plugin.shutdown(); });
    PluginTest::TearDown();
  }

  // Runs the command on connection 2 and returns what it printed after the echo line.
  std::string run(const std::string& text, int expectedResult) {
    int result = -1;
    const std::string printed =
        capturedOutput([&] { result = plugin.processCommand(typedOn, text.c_str()); });
    EXPECT_EQ(result, expectedResult);
    const std::string echo = "PLUGIN: process command: '" + text + "'\n";
    EXPECT_EQ(printed.substr(0, echo.size()), echo);
    return printed.size() < echo.size() ? "" : printed.substr(echo.size());
  }
};

struct CommandCase {
  const char* name;
  std::string text;
  int result;
  std::vector<std::string> calls;    // host functions, in the order called
  std::vector<std::string> effects;  // tab lines, log entries, moves, plugin commands, queries
  std::string printed = "";          // console output after the echo line
  std::set<std::string> failing = {};
};
std::ostream& operator<<(std::ostream& out, const CommandCase& c) { return out << c.name; }

class ChatCommand : public ChatCommandTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(ChatCommand, DoesExactlyThisToTheHost) {
  const CommandCase& c = GetParam();
  simhost::state.failing = c.failing;
  EXPECT_EQ(run(c.text, c.result), c.printed);
  EXPECT_EQ(simhost::state.calls, c.calls);
  EXPECT_EQ(hostEffects(), c.effects);
}

using Calls = std::vector<std::string>;
const Calls moveCalls = {"getClientID", "requestClientMove"};
const Calls serverInfoCalls = {"getCurrentServerConnectionHandlerID", "getServerConnectInfo",
                               "printMessageToCurrentTab"};
const Calls channelInfoCalls = {"getClientID", "getChannelOfClient",
                                "getCurrentServerConnectionHandlerID", "getChannelConnectInfo",
                                "printMessageToCurrentTab"};
const char* const sending = "PLUGIN: Sending plugin command to current channel: ";

// clang-format off
const CommandCase commandCases[] = {
    // Parsing
    {"NoSubCommandForAnEmptyText", "", 1, {}, {}},
    {"NoSubCommandForSpacesOnly", "    ", 1, {}, {}},
    {"NoSubCommandForAnUnknownWord", "leave 12", 1, {}, {}},
    {"NoSubCommandInUpperCase", "JOIN 12", 1, {}, {}},
    {"NoSubCommandInSecondPlace", "please join 12", 1, {}, {}},
    {"NoSubCommandForAPrefix", "joins 12", 1, {}, {}},
    {"NoSubCommandWithATabAttached", "join\t12", 1, {}, {}},
    {"SpacesAroundAndBetweenSeparateAsOne", "   join   12    secret   ", 0, moveCalls,
     {moveRequest(12, "secret")}},

    // join
    {"JoinAloneAsksForTheChannel", "join", 0, {"printMessageToCurrentTab"},
     {tab("Missing channel ID parameter.")}},
    {"JoinWithoutPasswordSendsAnEmptyOne", "join 12", 0, moveCalls, {moveRequest(12)}},
    {"JoinTakesTheLastWordAsPassword", "join 12 one two three", 0, moveCalls,
     {moveRequest(12, "three")}},
    {"JoinKeepsTabsInsideThePassword", "join 12 pass\tword", 0, moveCalls,
     {moveRequest(12, "pass\tword")}},
    {"JoinWithoutDigitsAsksForChannelZero", "join lobby", 0, moveCalls, {moveRequest(0)}},
    {"JoinReadsDigitsUpToTheFirstOther", "join 12abc", 0, moveCalls, {moveRequest(12)}},
    {"JoinSkipsLeadingWhiteSpaceAndPlus", "join \t+42", 0, moveCalls, {moveRequest(42)}},
    {"JoinLoneSignIsZero", "join -", 0, moveCalls, {moveRequest(0)}},
    {"JoinTwoSignsIsZero", "join +-5", 0, moveCalls, {moveRequest(0)}},
    {"JoinMinusOneSetsAll64Bits", "join -1", 0, moveCalls, {moveRequest(UINT64_MAX)}},
    {"JoinAtTheTop32BitLimit", "join 2147483647", 0, moveCalls, {moveRequest(2147483647)}},
    {"JoinSaturatesAboveTheTop", "join 99999999999999999999999", 0, moveCalls,
     {moveRequest(2147483647)}},
    {"JoinAtTheBottom32BitLimit", "join -2147483648", 0, moveCalls,
     {moveRequest(0xffffffff80000000u)}},
    {"JoinSaturatesBelowTheBottom", "join -2147483649", 0, moveCalls,
     {moveRequest(0xffffffff80000000u)}},
    {"JoinStopsWhenTheClientIdIsUnknown", "join 12 secret", 0, {"getClientID", "logMessage"},
     {logged(1, "Error querying client ID")}, "", {"getClientID"}},
    {"JoinLogsARefusedMove", "join 12 secret", 0,
     {"getClientID", "requestClientMove", "logMessage"},
     {logged(4, "Error requesting client move"), moveRequest(12, "secret")}, "",
     {"requestClientMove"}},

    // command
    {"CommandAloneAsksForTheText", "command", 0, {"printMessageToCurrentTab"},
     {tab("Missing command parameter.")}},
    {"CommandSendsItsWordToTheChannel", "command hello", 0, {"sendPluginCommand"},
     {sent("hello")}, std::string(sending) + "hello\n"},
    {"CommandSendsOnlyTheFirstWord", "command hello world", 0, {"sendPluginCommand"},
     {sent("hello")}, std::string(sending) + "hello\n"},

    // serverinfo
    {"ServerInfoShowsTheCurrentTabsServer", "serverinfo", 0, serverInfoCalls,
     {tab("Server Connect Info: alpha.example.org:9987"), serverQuery}},
    {"ServerInfoIgnoresParameters", "serverinfo beta 2 3", 0, serverInfoCalls,
     {tab("Server Connect Info: alpha.example.org:9987"), serverQuery}},
    {"ServerInfoReportsAFailedQuery", "serverinfo", 0, serverInfoCalls,
     {tab("No server connect info available."), serverQuery}, "", {"getServerConnectInfo"}},

    // channelinfo
    {"ChannelInfoShowsTheOwnChannelOnTheCurrentTab", "channelinfo", 0, channelInfoCalls,
     {tab("Channel Connect Info: Alpha/Lobby"), channelQuery}},
    {"ChannelInfoIgnoresParameters", "channelinfo 5 6", 0, channelInfoCalls,
     {tab("Channel Connect Info: Alpha/Lobby"), channelQuery}},
    {"ChannelInfoStopsWhenTheClientIdIsUnknown", "channelinfo", 0, {"getClientID", "logMessage"},
     {logged(1, "Error querying client ID")}, "", {"getClientID"}},
    {"ChannelInfoStopsWhenTheChannelIsUnknown", "channelinfo", 0,
     {"getClientID", "getChannelOfClient", "logMessage"},
     {logged(1, "Error querying channel ID")}, "", {"getChannelOfClient"}},
    {"ChannelInfoReportsAFailedQuery", "channelinfo", 0, channelInfoCalls,
     {tab("No channel connect info available."), channelQuery}, "", {"getChannelConnectInfo"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Commands, ChatCommand, ::testing::ValuesIn(commandCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChatCommandTest, CommandWithoutPluginIdSendsNothing) {
  plugin.shutdown();
  EXPECT_EQ(run("command hello", 0),
            "PLUGIN: Failed to send plugin command, was not registered.\n");
  EXPECT_TRUE(simhost::state.calls.empty());
}

TEST_F(ChatCommandTest, LongCommandReachesTheMoveWhole) {
  const std::string password = "p" + std::string(4088, 'w') + "d";
  const std::string text = "join 12 " + password;
  ASSERT_GE(text.size(), 4096u);
  EXPECT_EQ(run(text, 0), "");
  EXPECT_EQ(hostEffects(), std::vector<std::string>{moveRequest(12, password)});
}

TEST_F(ChatCommandTest, FormatDirectivesInTheCommandArePrintedLiterally) {
  EXPECT_EQ(run("command %s%n%x", 0), std::string(sending) + "%s%n%x\n");
  EXPECT_EQ(hostEffects(), std::vector<std::string>{sent("%s%n%x")});
}

// The host cuts its answer to the buffer we give it; whatever it returns is shown whole, and
// an answer without a terminator is cut at the buffer's end.
TEST_F(ChatCommandTest, ConnectInfoFillingTheHostBufferIsShownWhole) {
  simhost::state.servers[1].host = "%s%n%x" + std::string(1024, 'h');
  simhost::state.channels[{1, 33}].path = "%s%n%x" + std::string(1024, 'c');
  for (const bool unterminated : {false, true}) {
    SCOPED_TRACE(unterminated ? "unterminated" : "terminated");
    simhost::state.unterminatedConnectInfo = unterminated;
    simhost::state.tabLines.clear();
    run("serverinfo", 0);
    run("channelinfo", 0);
    const std::vector<std::string> lines = {
        "Server Connect Info: %s%n%x" + std::string(249, 'h') + ":9987",
        "Channel Connect Info: %s%n%x" + std::string(505, 'c')};
    EXPECT_EQ(simhost::state.tabLines, lines);
  }
}

// The slots are invisible to the host (every move carries the same return code), so this
// drives the subsystem linked into the test program and looks at them directly.
class MoveReturnCodeSlots : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    addSecondServer();
    copyHostFunctions(simhost::table());
    capturedOutput([] { startPlugin(); });
  }

  static void join(bool moveRefused) {
    simhost::state.failing.clear();
    if (moveRefused) simhost::state.failing.insert("requestClientMove");
    capturedOutput([] { EXPECT_EQ(processCommand(typedOn, "join 12"), 0); });
  }

  static std::vector<std::string> slots() {
    std::vector<std::string> texts;
    for (const char* slot : moveReturnCodeSlots) texts.emplace_back(slot);
    return texts;
  }
};

TEST_F(MoveReturnCodeSlots, FillFromTheFirstAndEmptyOnlyForARefusedMove) {
  const std::string code = "duckvolt-join";
  using Slots = std::vector<std::string>;
  EXPECT_EQ(slots(), Slots(5, ""));

  join(true);
  EXPECT_EQ(slots(), Slots(5, ""));
  join(false);
  EXPECT_EQ(slots(), (Slots{code, "", "", "", ""}));
  join(true);
  EXPECT_EQ(slots(), (Slots{code, "", "", "", ""}));

  for (int i = 0; i < 4; ++i) join(false);
  EXPECT_EQ(slots(), Slots(5, code));
  simhost::state.moves.clear();
  simhost::state.logEntries.clear();
  join(false);
  join(true);
  EXPECT_EQ(slots(), Slots(5, code));
  ASSERT_EQ(simhost::state.moves.size(), 2u);
  for (const simhost::Move& m : simhost::state.moves) EXPECT_EQ(m.returnCode, code);
  ASSERT_EQ(simhost::state.logEntries.size(), 1u);
  EXPECT_EQ(simhost::state.logEntries[0].message, "Error requesting client move");

  capturedOutput([] { startPlugin(); });
  EXPECT_EQ(slots(), Slots(5, ""));
}
}  // namespace
