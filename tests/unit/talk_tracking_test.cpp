#include "plugin_fixture.h"
#include "talk_sequences.h"

namespace talk_sequences {
// Test names in the runner's output.
std::ostream& operator<<(std::ostream& out, const Sequence& c) { return out << c.name; }
}  // namespace talk_sequences

namespace {
using talk_sequences::Report;
using talk_sequences::Sequence;

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
    plugin.onTalkStatusChangeEvent(report.connection, report.status, report.whisper, report.client);

    ASSERT_EQ(recorder::lookups.size(), 1u);
    EXPECT_EQ(recorder::lookups[0].className(), L"Winamp v1.x");
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

INSTANTIATE_TEST_SUITE_P(Sequences, TalkTracking, ::testing::ValuesIn(talk_sequences::sequences),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginTest, StartUpAndShutDownSendNothingToThePlayer) {
  writeSettings("20\n80\n");
  start();
  capturedOutput([&] { plugin.shutdown(); });
  EXPECT_TRUE(recorder::lookups.empty());
  EXPECT_TRUE(recorder::messages.empty());
}
}  // namespace
