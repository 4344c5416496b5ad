#pragma once
// Loads a fresh copy of the plugin library for every test, the way the client does, with
// the fake host's table and the recorder as window services, in an empty working directory.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "plugin_exports.h"
#include "recorder.h"
#include "simulated_host.h"

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
