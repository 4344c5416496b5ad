#include <optional>

#include "plugin_fixture.h"

namespace {
constexpr std::uintptr_t lower = 51;   // 20 %
constexpr std::uintptr_t raise = 204;  // 80 %
constexpr std::nullopt_t nothing = std::nullopt;

// Connection 1: own client 7. Connection 2: own client 9.
struct Report {
  ConnectionId connection;
  ClientId client;
  int status;
  std::optional<std::uintptr_t> sent;  // the volume on the wire after the report
  bool playerRunning = true;
  int whisper = 0;
};

struct Sequence {
  const char* name;
  std::vector<Report> reports;
  std::set<std::string> failing = {};
};
std::ostream& operator<<(std::ostream& out, const Sequence& c) { return out << c.name; }

class TalkTracking : public PluginTest, public ::testing::WithParamInterface<Sequence> {};

TEST_P(TalkTracking, SendsTheVolumeForTheCountAfterEveryReport) {
  writeSettings("20\n80\n");
  simhost::state.servers[2] = simhost::Server{"Beta", "beta.example.org", 9988, 9};
  start();
  simhost::state.failing = GetParam().failing;

  int step = 0;
  for (const Report& report : GetParam().reports) {
    SCOPED_TRACE("report " + std::to_string(++step));
    recorder::reset();
    recorder::playerRunning = report.playerRunning;
    plugin.onTalkStatusChangeEvent(report.connection, report.status, report.whisper,
                                   report.client);

    ASSERT_EQ(recorder::lookups.size(), 1u);
    EXPECT_EQ(recorder::lookups[0].className, L"Winamp v1.x");
    EXPECT_FALSE(recorder::lookups[0].hasTitle);
    if (!report.sent) {
      EXPECT_TRUE(recorder::messages.empty());
      continue;
    }
    ASSERT_EQ(recorder::messages.size(), 1u);
    const recorder::Message& sent = recorder::messages[0];
    EXPECT_EQ(sent.window, recorder::playerWindow());
    EXPECT_EQ(sent.message, 0x0400u);
    EXPECT_EQ(sent.wParam, *report.sent);
    EXPECT_EQ(sent.lParam, 122);
  }
}

const Sequence sequences[] = {
    {"OthersStartAndStop",
     {{1, 20, 1, lower}, {1, 21, 1, lower}, {1, 20, 0, lower}, {1, 21, 0, raise}}},
    {"StopOfUnseenClientRepeatsTheVolume",
     {{1, 20, 0, raise}, {1, 7, 1, lower}, {1, 21, 0, lower}, {1, 7, 0, raise}}},
    {"OtherStatusChangesNoCounter", {{1, 20, 1, lower}, {1, 20, 2, lower}, {1, 20, 0, raise}}},
    {"OwnClientCountsOnce",
     {{1, 7, 1, lower}, {1, 7, 1, lower}, {1, 7, 0, raise}, {1, 7, 0, raise}, {1, 20, 1, lower}}},
    {"NegativeCountSendsNothing",
     {{1, 20, 1, lower},
      {1, 7, 1, lower},
      {1, 20, 0, lower},
      {1, 21, 0, raise},
      {1, 7, 0, nothing},
      {1, 22, 1, raise},
      {1, 22, 1, lower}}},
    {"AllConnectionsFeedOneCount",
     {{1, 20, 1, lower}, {2, 30, 1, lower}, {1, 20, 0, lower}, {2, 30, 0, raise}}},
    {"OwnClientIsPerConnection",
     {{2, 9, 1, lower}, {2, 9, 1, lower}, {1, 9, 1, lower}, {2, 9, 0, lower}, {1, 9, 0, raise}}},
    {"WhispersCountLikeSpeech",
     {{1, 20, 1, lower, true, 1}, {1, 20, 0, raise, true, 1}}},
    {"WithoutOwnIdEveryClientIsAnOther",
     {{1, 7, 1, lower}, {1, 7, 1, lower}, {1, 7, 0, lower}, {1, 7, 0, raise}},
     {"getClientID"}},
    {"CountingGoesOnWithoutPlayer",
     {{1, 20, 1, nothing, false},
      {1, 20, 0, nothing, false},
      {1, 21, 0, raise},
      {1, 21, 1, lower}}},
};

INSTANTIATE_TEST_SUITE_P(Sequences, TalkTracking, ::testing::ValuesIn(sequences),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginTest, StartUpAndShutDownSendNothingToThePlayer) {
  writeSettings("20\n80\n");
  start();
  capturedOutput([&] { plugin.shutdown(); });
  EXPECT_TRUE(recorder::lookups.empty());
  EXPECT_TRUE(recorder::messages.empty());
}
}  // namespace
