// duckvolt-host: loads a plugin library the way the voice client does and plays a voice
// session against it.
//
//   duckvolt-host [--plugin FILE] [SCENARIO]
//
// Without FILE it loads the plugin built beside it; without SCENARIO it reads the steps from
// standard input, with a prompt when that is a terminal.

#include <dlfcn.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "plugin_exports.h"
#include "session.h"

namespace {
constexpr int hostApiVersion = 11;

int failWith(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "duckvolt-host: %s\n", message.c_str());
  return 1;
}

std::string pluginBesideHost() {
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path() / DUCKVOLT_PLUGIN_FILE_NAME).string();
}
}  // namespace

int main(int argc, char** argv) {
  std::string pluginFile;
  std::string scenarioFile;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
      pluginFile = argv[++i];
    } else if (argv[i][0] == '-') {
      std::fprintf(stderr, "usage: duckvolt-host [--plugin FILE] [SCENARIO]\n");
      return 2;
    } else {
      scenarioFile = argv[i];
    }
  }
  if (pluginFile.empty()) pluginFile = pluginBesideHost();

  // The voice client is a Qt application and plugins open their windows in it. Without a
  // display the dialog runs on Qt's offscreen platform.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Qt sees none of our options: it would take --plugin for one of its own.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);

  std::ifstream scenario;
  if (!scenarioFile.empty()) {
    scenario.open(scenarioFile);
    if (!scenario) return failWith("cannot read scenario " + scenarioFile);
  }

  void* library = dlopen(pluginFile.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return failWith(std::string("cannot load plugin: ") + dlerror());

  PluginExports plugin{};
  const std::vector<std::string> missing = resolvePluginExports(library, plugin);
  if (!missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    return failWith(pluginFile + " lacks " + names);
  }
  if (plugin.apiVersion() != hostApiVersion)
    return failWith(pluginFile + " is built for plugin API " + std::to_string(plugin.apiVersion()) +
                    ", this host speaks " + std::to_string(hostApiVersion));

  std::printf("loaded %s: %s %s by %s, plugin API %d\n  %s\n",
              std::filesystem::path(pluginFile).filename().c_str(), plugin.name(), plugin.version(),
              plugin.author(), plugin.apiVersion(), plugin.description());
  std::fflush(stdout);

  Session session(plugin);
  try {
    if (scenarioFile.empty())
      session.play(std::cin, isatty(STDIN_FILENO) != 0);
    else
      session.play(scenario, false);
  } catch (const ScenarioError& error) {
    return failWith(error.what());
  }
  session.finish();
  dlclose(library);
  std::printf("unloaded\n");
  return 0;
}
