#pragma once
// Loads a fresh copy of the plugin library for every test, the way the client does, with
// the fake host's table and the recorder as window services, in an empty working directory.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "fake_host.h"
#include "recorder.h"

struct PluginExports {
  const char* (*name)();
  const char* (*version)();
  int (*apiVersion)();
  const char* (*author)();
  const char* (*description)();
  void (*setFunctionPointers)(const HostFunctions);
  int (*init)();
  void (*shutdown)();
  void (*registerPluginID)(const char*);
  int (*requestAutoload)();
  int (*offersConfigure)();
  void (*configure)(void*, void*);
  void (*onTalkStatusChangeEvent)(std::uint64_t, int, int, std::uint16_t);
  const char* (*commandKeyword)();
  int (*processCommand)(std::uint64_t, const char*);
  const char* (*infoTitle)();
  void (*infoData)(std::uint64_t, std::uint64_t, int, char**);
  void (*pluginEvent)(std::uint16_t, const char*);
  void (*currentServerConnectionChanged)(std::uint64_t);
  void (*freeMemory)(void*);
};

// What a piece of code printed on standard output.
std::string capturedOutput(const std::function<void()>& action);

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Hands over the table and runs start-up; returns what start-up printed.
  std::string start();
  // Writes the settings file in the working directory.
  static void writeSettings(const std::string& content);
  static std::string readSettings();

  PluginExports plugin{};
  std::string workDir;

 private:
  void* library = nullptr;
  std::string previousDir;
};
