#pragma once
// What the media players on the session bus report, read by the stand-in host on a
// connection of its own (not the plugin's).

#include <optional>
#include <string>
#include <vector>

struct PlayerReading {
  std::string busName;
  std::optional<double> volume;  // empty when the player did not answer
};

class PlayerView {
 public:
  PlayerView();
  ~PlayerView();
  PlayerView(const PlayerView&) = delete;
  PlayerView& operator=(const PlayerView&) = delete;

  // Every MPRIS player on the bus with its Volume, sorted by bus name; empty without a bus.
  std::vector<PlayerReading> read();
  // Waits until NAME has an owner on the bus (or, with present false, has none any more);
  // false when the time is up first.
  bool waitForName(const std::string& name, int timeoutMs, bool present = true);
  // Sets a player's Volume, as the user turning its knob would; false when it did not answer.
  bool setVolume(const std::string& name, double volume);

 private:
  bool connect();
  struct sd_bus* bus = nullptr;
};
