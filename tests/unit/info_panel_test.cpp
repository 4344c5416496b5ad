#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {
// Info requests come for connection 2 while the host's current tab is connection 1.
constexpr ConnectionId asked = 2;
constexpr ChannelId lobby = 0x100000021;  // beyond 32 bits: the whole ID must reach the host
constexpr std::uint64_t nicknameItem = 0xabcd0109;  // the client is the low 16 bits: 0x109

class InfoPanelTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    simhost::State& host = simhost::state;
    host.servers[2] = simhost::Server{"Beta", "beta.example.org", 9988, 9};
    host.channels[{2, lobby}] = simhost::Channel{"Lobby", "Beta/Lobby"};
    host.clients[{2, 0x109}] = simhost::Client{"me", lobby};
    start();
    simhost::state.calls.clear();
  }

  struct Answer {
    std::string printed;
    bool written = false;  // the out parameter
    std::string text;      // released again through the plugin
  };

  Answer ask(std::uint64_t id, int type) {
    char untouched = '\0';
    char* data = &untouched;
    Answer answer;
    answer.printed = capturedOutput([&] { plugin.infoData(asked, id, type, &data); });
    answer.written = data != &untouched;
    if (answer.written) {
      answer.text = data;
      plugin.freeMemory(data);
    }
    return answer;
  }
};

struct InfoCase {
  const char* name;
  int type;
  std::uint64_t id;
  std::optional<std::string> text;  // nothing: the out parameter stays untouched
  std::vector<std::string> calls;
  std::string printed = "";
  std::set<std::string> failing = {};
};
std::ostream& operator<<(std::ostream& out, const InfoCase& c) { return out << c.name; }

class InfoBlock : public InfoPanelTest, public ::testing::WithParamInterface<InfoCase> {};

TEST_P(InfoBlock, ShowsTheNameOrLeavesTheOutParameter) {
  const InfoCase& c = GetParam();
  simhost::state.failing = c.failing;
  const Answer answer = ask(c.id, c.type);
  EXPECT_EQ(answer.printed, c.printed);
  EXPECT_EQ(answer.written, c.text.has_value());
  EXPECT_EQ(answer.text, c.text.value_or(""));
  EXPECT_EQ(simhost::state.calls, c.calls);
  EXPECT_TRUE(simhost::state.outstandingTexts.empty());
}

// clang-format off
const InfoCase infoCases[] = {
    {"ServerShowsTheServerName", 0, 12345, "The nickname is \"Beta\"",
     {"getServerVariableAsString", "freeMemory"}},
    {"ChannelShowsTheChannelName", 1, lobby, "The nickname is \"Lobby\"",
     {"getChannelVariableAsString", "freeMemory"}},
    {"ClientShowsTheNickname", 2, nicknameItem, "The nickname is \"me\"",
     {"getClientVariableAsString", "freeMemory"}},
    {"ServerNameFails", 0, 12345, std::nullopt, {"getServerVariableAsString"},
     "Error getting virtual server name\n", {"getServerVariableAsString"}},
    {"ChannelNameFails", 1, lobby, std::nullopt, {"getChannelVariableAsString"},
     "Error getting channel name\n", {"getChannelVariableAsString"}},
    {"UnknownChannel", 1, 0x21, std::nullopt, {"getChannelVariableAsString"},
     "Error getting channel name\n"},
    {"NicknameFails", 2, nicknameItem, std::nullopt, {"getClientVariableAsString"},
     "Error getting client nickname\n", {"getClientVariableAsString"}},
    {"TypeThreeIsInvalid", 3, 1, std::nullopt, {}, "Invalid item type: 3\n"},
    {"NegativeTypeIsInvalid", -1, 1, std::nullopt, {}, "Invalid item type: -1\n"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Items, InfoBlock, ::testing::ValuesIn(infoCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InfoPanelTest, LongHostileNamesAreShownWholeAndLiterally) {
  const std::string name = "%s%n%x\"" + std::string(1024, 'n') + "%d";
  simhost::state.servers[2].name = name;
  simhost::state.channels[{2, lobby}].name = name;
  simhost::state.clients[{2, 0x109}].nickname = name;
  for (const int type : {0, 1, 2}) {
    SCOPED_TRACE("type " + std::to_string(type));
    const Answer answer = ask(type == 1 ? lobby : nicknameItem, type);
    EXPECT_EQ(answer.printed, "");
    EXPECT_EQ(answer.text, "The nickname is \"" + name + "\"");
  }
  EXPECT_EQ(simhost::state.freedTexts, 3);
  EXPECT_TRUE(simhost::state.outstandingTexts.empty());
}

// What a plugin event must print, worked out from the event layout: high byte type, low byte
// subtype, each a two's-complement byte.
std::string expectedEventLog(unsigned data, const char* message) {
  static const std::map<int, std::string> typeOneLines = {{1, "Micro on"},
                                                          {2, "Micro off"},
                                                          {5, "Speaker on"},
                                                          {6, "Speaker off"},
                                                          {7, "Away on"},
                                                          {8, "Away off"},
                                                          {9, "Activate micro"},
                                                          {11, "Activate speaker"},
                                                          {12, "Activate away"},
                                                          {13, "Deactivate micro"},
                                                          {15, "Deactivate speakers"},
                                                          {16, "Deactivate away"}};
  const auto asSigned = [](unsigned byte) { return byte < 128 ? int(byte) : int(byte) - 256; };
  const int type = asSigned(data / 256);
  const int subtype = asSigned(data % 256);
  std::string log = "PLUGIN: pluginEvent data = " + std::to_string(data) + "\n";
  if (message != nullptr) log += "Message: " + std::string(message) + "\n";
  log += "Type = " + std::to_string(type) + ", subtype = " + std::to_string(subtype) + "\n";
  const auto line = typeOneLines.find(subtype);
  if (type == 1 && line != typeOneLines.end()) log += line->second + "\n";
  return log;
}

TEST_F(InfoPanelTest, EveryPluginEventIsLoggedByTheRule) {
  EXPECT_EQ(capturedOutput([&] { plugin.pluginEvent(0x0105, "hi"); }),
            "PLUGIN: pluginEvent data = 261\nMessage: hi\nType = 1, subtype = 5\nSpeaker on\n");
  EXPECT_EQ(capturedOutput([&] { plugin.pluginEvent(0x8001, nullptr); }),
            "PLUGIN: pluginEvent data = 32769\nType = -128, subtype = 1\n");

  const char* const message = "%s%n%x";  // on odd values, printed as it is
  for (unsigned high = 0; high < 256; ++high) {
    SCOPED_TRACE("high byte " + std::to_string(high));
    std::string expected;
    for (unsigned low = 0; low < 256; ++low)
      expected += expectedEventLog(high * 256 + low, low % 2 != 0 ? message : nullptr);
    const std::string printed = capturedOutput([&] {
      for (unsigned low = 0; low < 256; ++low)
        plugin.pluginEvent(static_cast<std::uint16_t>(high * 256 + low),
                           low % 2 != 0 ? message : nullptr);
    });
    ASSERT_EQ(printed, expected);
  }
  EXPECT_TRUE(simhost::state.calls.empty());
}

TEST_F(InfoPanelTest, ConnectionChangeShowsBoth64BitValues) {
  simhost::state.current = 0x8000000000000001;
  EXPECT_EQ(capturedOutput([&] { plugin.currentServerConnectionChanged(UINT64_MAX); }),
            "PLUGIN: currentServerConnectionChanged 18446744073709551615 "
            "(9223372036854775809)\n");
  EXPECT_EQ(simhost::state.calls, std::vector<std::string>{"getCurrentServerConnectionHandlerID"});
}
}  // namespace
