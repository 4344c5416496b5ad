// The player "window" on Linux: every MPRIS player on the D-Bus session bus. The talk
// report runs on the host's thread, so nothing here waits on a player: the Volume Set goes
// out without expecting a reply, and the list of players is kept up to date from the bus's
// NameOwnerChanged signals, read without blocking at each look-up.

#include <systemd/sd-bus.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_services.h"

struct PlayerWindow {};

namespace {
constexpr char playerNamePrefix[] = "org.mpris.MediaPlayer2.";
// A healthy bus answers a new connection within a fraction of a millisecond. One that does
// not (its daemon stopped) is waited for this long when connecting, and then only briefly at
// each report until it has answered.
constexpr std::uint64_t connectWaitUsec = 100000;
constexpr std::uint64_t answerWaitUsec = 5000;
constexpr LPARAM setVolumeRequest = 122;
// Sets not yet written to the bus socket. Only the newest volume matters, so beyond this
// backlog (the bus daemon not keeping up, or stopped) a new volume waits in place of the
// previous waiting one instead of queuing behind it: memory stays bounded.
constexpr std::uint64_t maxUnwrittenSets = 64;

PlayerWindow everyPlayer;
sd_bus* bus;
std::vector<std::string> players;
std::optional<double> heldVolume;
bool playersListed;  // the bus has answered which players it has

bool isPlayerName(const char* name) {
  return std::strncmp(name, playerNamePrefix, sizeof playerNamePrefix - 1) == 0;
}

void disconnect() {
  players.clear();
  heldVolume.reset();
  playersListed = false;
  bus = sd_bus_close_unref(bus);
}

int onNameOwnerChanged(sd_bus_message* message, void*, sd_bus_error*) {
  const char* name = nullptr;
  const char* oldOwner = nullptr;
  const char* newOwner = nullptr;
  if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) < 0 || !isPlayerName(name))
    return 0;
  const auto known = std::find(players.begin(), players.end(), name);
  if (*newOwner != '\0') {
    if (known == players.end()) players.emplace_back(name);
  } else if (known != players.end()) {
    players.erase(known);
  }
  return 0;
}

// The players the bus has, added to those that signals may have announced meanwhile.
int onPlayerNames(sd_bus_message* reply, void*, sd_bus_error*) {
  if (sd_bus_message_is_method_error(reply, nullptr) ||
      sd_bus_message_enter_container(reply, 'a', "s") < 0)
    return 0;
  const char* name = nullptr;
  while (sd_bus_message_read(reply, "s", &name) > 0)
    if (isPlayerName(name) && std::find(players.begin(), players.end(), name) == players.end())
      players.emplace_back(name);
  playersListed = true;
  return 0;
}

std::uint64_t monotonicUsec() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000 +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

// Reads the bus until it has said which players it has, for at most `usec`; false when the
// connection broke.
bool awaitPlayerList(std::uint64_t usec) {
  const std::uint64_t deadline = monotonicUsec() + usec;
  int r = 0;
  while (!playersListed) {
    r = sd_bus_process(bus, nullptr);
    if (r < 0) return false;
    if (r > 0) continue;
    const std::uint64_t now = monotonicUsec();
    if (now >= deadline) break;
    if (sd_bus_wait(bus, deadline - now) < 0) return false;
  }
  return true;
}

// Even the authentication with the bus daemon is waited for only as long as connectWaitUsec.
bool connect() {
  if (sd_bus_open_user(&bus) < 0) {
    bus = nullptr;
    return false;
  }
  // The match goes first so that no change after the list is missed.
  int r = sd_bus_add_match_async(bus, nullptr,
                                 "type='signal',sender='org.freedesktop.DBus',"
                                 "interface='org.freedesktop.DBus',member='NameOwnerChanged',"
                                 "arg0namespace='org.mpris.MediaPlayer2'",
                                 onNameOwnerChanged, nullptr, nullptr);
  if (r >= 0)
    r = sd_bus_call_method_async(bus, nullptr, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                 "org.freedesktop.DBus", "ListNames", onPlayerNames, nullptr, "");
  if (r >= 0 && awaitPlayerList(connectWaitUsec)) return true;
  disconnect();
  return false;
}

// Reads what the bus has sent since the last look-up; reconnects when the bus went away.
bool refreshPlayers() {
  if (bus == nullptr) return connect();
  int r = 0;
  while ((r = sd_bus_process(bus, nullptr)) > 0) {
  }
  if (r >= 0 && !playersListed && !awaitPlayerList(answerWaitUsec)) r = -1;
  if (r < 0 || sd_bus_is_open(bus) <= 0) {
    disconnect();
    return connect();
  }
  return true;
}

void sendVolume(const std::string& player, double volume) {
  sd_bus_message* message = nullptr;
  if (sd_bus_message_new_method_call(bus, &message, player.c_str(), "/org/mpris/MediaPlayer2",
                                     "org.freedesktop.DBus.Properties", "Set") >= 0 &&
      sd_bus_message_append(message, "ssv", "org.mpris.MediaPlayer2.Player", "Volume", "d",
                            volume) >= 0 &&
      sd_bus_message_set_expect_reply(message, 0) >= 0)
    sd_bus_send(bus, message, nullptr);
  sd_bus_message_unref(message);
}

bool busIsBacklogged() {
  std::uint64_t unwritten = 0;
  return sd_bus_get_n_queued_write(bus, &unwritten) < 0 || unwritten > maxUnwrittenSets;
}

void setVolume(double volume) {
  if (busIsBacklogged()) {
    heldVolume = volume;
    return;
  }
  heldVolume.reset();
  for (const std::string& player : players) sendVolume(player, volume);
}

// Drops the connection when the library is unloaded.
struct BusConnection {
  ~BusConnection() { disconnect(); }
} busConnection;
}  // namespace

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  if (className == nullptr || std::wcscmp(className, L"Winamp v1.x") != 0 || windowName != nullptr)
    return nullptr;
  if (!refreshPlayers() || players.empty()) return nullptr;
  if (heldVolume) setVolume(*heldVolume);
  return &everyPlayer;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != &everyPlayer || message != WM_USER || lParam != setVolumeRequest || bus == nullptr)
    return 0;
  // The player's scale is 0..255; MPRIS takes 0.0..1.0 and players misread values outside it.
  const auto level = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
  const double volume = std::clamp(level, 0, 255) / 255.0;
  setVolume(volume);
  return 0;
}
