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

void PluginTest::SetUp() {
  recorder::reset();
  simhost::reset();
  previousDir = std::filesystem::current_path();
  char pattern[] = "/tmp/duckvolt-unit-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  workDir = pattern;
  std::filesystem::current_path(workDir);

  library = dlopen(DUCKVOLT_LIBRARY_UNDER_TEST, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const std::vector<std::string> missing = resolvePluginExports(library, plugin);
  ASSERT_TRUE(missing.empty()) << missing.front();
}

void PluginTest::TearDown() {
  if (library != nullptr) dlclose(library);
  std::filesystem::current_path(previousDir);
  std::filesystem::remove_all(workDir);
  simhost::reset();
}

std::string PluginTest::start() {
  plugin.setFunctionPointers(simhost::table());
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
