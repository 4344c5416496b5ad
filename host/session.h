#pragma once
// A voice session played against a loaded plugin: scenario lines change the simulated host
// or call into the plugin, and the transcript goes to standard output.

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "player_view.h"
#include "plugin_exports.h"

struct ScenarioError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Session {
 public:
  explicit Session(const PluginExports& plugin);

  // Plays every line; throws ScenarioError at the first line that cannot be played.
  void play(std::istream& lines, bool prompt);
  // Shuts the plugin down if it was started.
  void finish();

 private:
  void execute(const std::vector<std::string>& words);
  void start();
  void talk(const std::vector<std::string>& words);
  void info(const std::vector<std::string>& words);
  void soak(const std::vector<std::string>& words);
  void showPlayers();
  void showSettingsFile();

  PluginExports plugin;
  PlayerView players;
  bool started = false;
  long talkLimitMs = -1;
};
