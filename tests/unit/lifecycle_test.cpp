#include "plugin_fixture.h"

namespace {
TEST_F(PluginTest, IdentityIsConstant) {
  EXPECT_STREQ(plugin.name(), "Duckvolt");
  EXPECT_STREQ(plugin.version(), "1.0");
  EXPECT_EQ(plugin.apiVersion(), 11);
  EXPECT_STREQ(plugin.author(), "R.Plovrik");
  EXPECT_STREQ(plugin.description(),
               "This Plugin controls the volume of winamp when somebody is speaking.");
  EXPECT_STREQ(plugin.commandKeyword(), "duckvolt");
  EXPECT_STREQ(plugin.infoTitle(), "Duckvolt plugin info");
  EXPECT_EQ(plugin.requestAutoload(), 0);
  int offer = 0;
  EXPECT_EQ(capturedOutput([&] { offer = plugin.offersConfigure(); }), "PLUGIN: offersConfigure\n");
  EXPECT_EQ(offer, 2);
}

TEST_F(PluginTest, StartUpLogsVersionsAndPaths) {
  EXPECT_EQ(start(),
            "PLUGIN: init\n"
            "PLUGIN: Client API Version: 26, Plugin API Version: 11\n"
            "PLUGIN: App path: /opt/voice\n"
            "Resources path: /opt/voice/resources\n"
            "Config path: /home/user/.voice\n"
            "Plugin path: /home/user/.voice/plugins\n");
  const std::vector<std::string> expected = {"getAPIVersion", "getAppPath(512)",
                                             "getResourcesPath(512)", "getConfigPath(512)",
                                             "getPluginPath(512)"};
  EXPECT_EQ(simhost::state.calls, expected);
}

// What clients really do: shut down without start-up, start twice, free a null text.
TEST_F(PluginTest, ShutDownBeforeStartUpOnlyLogs) {
  plugin.setFunctionPointers(simhost::table());
  EXPECT_EQ(capturedOutput([&] { plugin.shutdown(); }), "PLUGIN: shutdown\n");
  plugin.freeMemory(nullptr);
  EXPECT_TRUE(simhost::state.calls.empty());
}

TEST_F(PluginTest, SecondStartUpRereadsTheFileAndKeepsTheCount) {
  writeSettings("20\n80\n");
  start();
  plugin.onTalkStatusChangeEvent(1, 1, 0, 20);
  writeSettings("40\n60\n");
  EXPECT_EQ(start().rfind("PLUGIN: init\n", 0), 0u);
  plugin.onTalkStatusChangeEvent(1, 1, 0, 21);
  plugin.onTalkStatusChangeEvent(1, 0, 0, 20);
  plugin.onTalkStatusChangeEvent(1, 0, 0, 21);
  std::vector<std::uintptr_t> sent;
  for (const recorder::Message& message : recorder::messages) sent.push_back(message.wParam);
  EXPECT_EQ(sent, (std::vector<std::uintptr_t>{51, 102, 102, 153}));
}

TEST_F(PluginTest, APathFillingItsWholeBufferIsCutAtTheBufferEnd) {
  simhost::state.appPath = std::string(600, 'a');
  const std::string printed = start();
  EXPECT_NE(printed.find("App path: " + std::string(511, 'a') + "\n"), std::string::npos);
}

TEST_F(PluginTest, ShutDownWithoutPluginIdOnlyLogs) {
  start();
  EXPECT_EQ(capturedOutput([&] { plugin.shutdown(); }), "PLUGIN: shutdown\n");
}

TEST_F(PluginTest, PluginIdIsCopiedAndReplaced) {
  start();
  // The command sub-command shows which ID the plugin holds.
  const auto sendHello = [&] {
    return capturedOutput([&] { plugin.processCommand(1, "command hello"); });
  };
  const std::string sending =
      "PLUGIN: process command: 'command hello'\n"
      "PLUGIN: Sending plugin command to current channel: hello\n";

  std::string id = "duckvolt-1";
  EXPECT_EQ(capturedOutput([&] { plugin.registerPluginID(id.c_str()); }),
            "PLUGIN: registerPluginID: duckvolt-1\n");
  id = "overwritten";
  EXPECT_EQ(sendHello(), sending);
  EXPECT_EQ(capturedOutput([&] { plugin.registerPluginID("duckvolt-2"); }),
            "PLUGIN: registerPluginID: duckvolt-2\n");
  EXPECT_EQ(sendHello(), sending);
  ASSERT_EQ(simhost::state.pluginCommands.size(), 2u);
  EXPECT_EQ(simhost::state.pluginCommands[0].pluginId, "duckvolt-1");
  EXPECT_EQ(simhost::state.pluginCommands[1].pluginId, "duckvolt-2");

  EXPECT_EQ(capturedOutput([&] { plugin.shutdown(); }), "PLUGIN: shutdown\n");
  EXPECT_EQ(sendHello(),
            "PLUGIN: process command: 'command hello'\n"
            "PLUGIN: Failed to send plugin command, was not registered.\n");
  EXPECT_EQ(simhost::state.pluginCommands.size(), 2u);
}
}  // namespace
