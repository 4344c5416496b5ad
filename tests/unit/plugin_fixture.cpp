#include "plugin_fixture.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string capturedOutput(const std::function<void()>& action) {
  std::fflush(stdout);
  std::FILE* sink = std::tmpfile();
  const int saved = dup(STDOUT_FILENO);
  dup2(fileno(sink), STDOUT_FILENO);
  action();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::string text;
  std::rewind(sink);
  for (int c; (c = std::fgetc(sink)) != EOF;) text += static_cast<char>(c);
  std::fclose(sink);
  return text;
}

namespace {
template <typename Function>
void resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  ASSERT_NE(function, nullptr) << name;
}
}  // namespace

void PluginTest::SetUp() {
  recorder::reset();
  fakehost::reset();
  previousDir = std::filesystem::current_path();
  char pattern[] = "/tmp/duckvolt-unit-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  workDir = pattern;
  std::filesystem::current_path(workDir);

  library = dlopen(DUCKVOLT_LIBRARY_UNDER_TEST, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  resolve(library, "ts3plugin_name", plugin.name);
  resolve(library, "ts3plugin_version", plugin.version);
  resolve(library, "ts3plugin_apiVersion", plugin.apiVersion);
  resolve(library, "ts3plugin_author", plugin.author);
  resolve(library, "ts3plugin_description", plugin.description);
  resolve(library, "ts3plugin_setFunctionPointers", plugin.setFunctionPointers);
  resolve(library, "ts3plugin_init", plugin.init);
  resolve(library, "ts3plugin_shutdown", plugin.shutdown);
  resolve(library, "ts3plugin_registerPluginID", plugin.registerPluginID);
  resolve(library, "ts3plugin_requestAutoload", plugin.requestAutoload);
  resolve(library, "ts3plugin_offersConfigure", plugin.offersConfigure);
  resolve(library, "ts3plugin_configure", plugin.configure);
  resolve(library, "ts3plugin_onTalkStatusChangeEvent", plugin.onTalkStatusChangeEvent);
  resolve(library, "ts3plugin_commandKeyword", plugin.commandKeyword);
  resolve(library, "ts3plugin_processCommand", plugin.processCommand);
  resolve(library, "ts3plugin_infoTitle", plugin.infoTitle);
  resolve(library, "ts3plugin_infoData", plugin.infoData);
  resolve(library, "ts3plugin_pluginEvent", plugin.pluginEvent);
  resolve(library, "ts3plugin_currentServerConnectionChanged",
          plugin.currentServerConnectionChanged);
  resolve(library, "ts3plugin_freeMemory", plugin.freeMemory);
}

void PluginTest::TearDown() {
  if (library != nullptr) dlclose(library);
  std::filesystem::current_path(previousDir);
  std::filesystem::remove_all(workDir);
  fakehost::reset();
}

std::string PluginTest::start() {
  plugin.setFunctionPointers(fakehost::table());
  return capturedOutput([&] { EXPECT_EQ(plugin.init(), 0); });
}

void PluginTest::writeSettings(const std::string& content) {
  std::ofstream("duckvolt.cfg", std::ios::binary) << content;
}

std::string PluginTest::readSettings() {
  std::ifstream file("duckvolt.cfg", std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}
