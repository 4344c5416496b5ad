#include "player_view.h"

#include <systemd/sd-bus.h>
#include <time.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint64_t answerTimeoutUsec = 500 * 1000;

std::vector<std::string> playerNames(sd_bus* bus) {
  std::vector<std::string> names;
  sd_bus_message* reply = nullptr;
  if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "ListNames", nullptr, &reply, "") < 0)
    return names;
  const char* name = nullptr;
  if (sd_bus_message_enter_container(reply, 'a', "s") >= 0)
    while (sd_bus_message_read(reply, "s", &name) > 0)
      if (std::strncmp(name, "org.mpris.MediaPlayer2.", 23) == 0) names.emplace_back(name);
  sd_bus_message_unref(reply);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<double> volumeOf(sd_bus* bus, const std::string& name) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  double volume = 0;
  const int r =
      sd_bus_get_property_trivial(bus, name.c_str(), "/org/mpris/MediaPlayer2",
                                  "org.mpris.MediaPlayer2.Player", "Volume", &error, 'd', &volume);
  sd_bus_error_free(&error);
  if (r < 0) return std::nullopt;
  return volume;
}
}  // namespace

PlayerView::PlayerView() = default;
PlayerView::~PlayerView() { sd_bus_flush_close_unref(bus); }

bool PlayerView::connect() {
  if (bus != nullptr && sd_bus_is_open(bus) > 0) return true;
  bus = sd_bus_flush_close_unref(bus);
  if (sd_bus_open_user(&bus) < 0) {
    bus = nullptr;
    return false;
  }
  sd_bus_set_method_call_timeout(bus, answerTimeoutUsec);
  return true;
}

std::vector<PlayerReading> PlayerView::read() {
  std::vector<PlayerReading> readings;
  if (!connect()) return readings;
  for (const std::string& name : playerNames(bus)) readings.push_back({name, volumeOf(bus, name)});
  return readings;
}

bool PlayerView::waitForName(const std::string& name, int timeoutMs, bool present) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    if (connect()) {
      const std::vector<std::string> names = playerNames(bus);
      if ((std::find(names.begin(), names.end(), name) != names.end()) == present) return true;
    }
    const timespec tenMs{0, 10 * 1000 * 1000};
    nanosleep(&tenMs, nullptr);
  }
  return false;
}

bool PlayerView::setVolume(const std::string& name, double volume) {
  if (!connect()) return false;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  const int r = sd_bus_set_property(bus, name.c_str(), "/org/mpris/MediaPlayer2",
                                    "org.mpris.MediaPlayer2.Player", "Volume", &error, "d", volume);
  sd_bus_error_free(&error);
  return r >= 0;
}
