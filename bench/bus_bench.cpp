// Talk reports through the built plugin library against the players on the session bus, timed
// on the calling thread, next to bare sd-bus calls to the same player in the same run.
//
//   duckvolt_bus_bench host-thread PLUGIN REPORTS [--players K] [--gap-us G]
//       the host-thread time of each report (whatever players there are, or no bus at all);
//       with --players, first waits until exactly K MPRIS players are on the bus
//   duckvolt_bus_bench live PLUGIN REPORTS PLAYER (--fake-log FILE | --mpv-ipc SOCKET) [--gap-us G]
//       PLAYER must be the only player. Phase 1: each report's host-thread time, next to
//       one bare no-reply Set from our own connection, and one such Set after draining that
//       connection (the plugin's way of following the players). Phase 2: each report's
//       end-to-end time (until the player has taken the volume: the fake player's log of
//       Sets, or mpv's volume property seen on its IPC socket), each followed by one Set
//       whose reply is awaited (the round trip).
//
// Prints one line per figure: NAME MEDIAN_NS P99_NS MAX_NS SAMPLES.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "loaded_plugin.h"

namespace {
constexpr const char* playerPath = "/org/mpris/MediaPlayer2";
constexpr const char* playerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* playerPrefix = "org.mpris.MediaPlayer2.";
constexpr std::uint64_t connection = 1;
constexpr std::uint16_t otherClient = 5;
// What the plugin sends with the default percentages (lower 0, raise 100 -> 254 of 255).
constexpr double loweredVolume = 0.0;
constexpr double restoredVolume = 254.0 / 255.0;
// What our own Sets send: never a value of the plugin's, so that every Set is a change.
constexpr double ownVolumes[] = {0.25, 0.75};

struct Options {
  const char* plugin = nullptr;
  std::size_t reports = 0;
  const char* player = nullptr;
  const char* fakeLog = nullptr;
  const char* mpvIpc = nullptr;
  int players = -1;
  long gapMicroseconds = 200;
};

int fail(const char* what) {
  std::fprintf(stderr, "duckvolt_bus_bench: %s\n", what);
  return 1;
}

void printFigure(const char* name, const std::vector<std::int64_t>& samples) {
  std::int64_t max = 0;
  for (std::int64_t sample : samples) max = std::max(max, sample);
  const Spread spread = spreadOf(samples);
  std::printf("%s %.0f %.0f %lld %zu\n", name, spread.median, spread.p99,
              static_cast<long long>(max), samples.size());
}

void pause(long microseconds) {
  const timespec gap{0, microseconds * 1000};
  clock_nanosleep(CLOCK_MONOTONIC, 0, &gap, nullptr);
}

// Another client starts (status 1: the lowered volume) and stops (0: the restored one) in turn.
struct Talker {
  LoadedPlugin& plugin;
  int status = 1;
  double report() {
    plugin.exports.onTalkStatusChangeEvent(connection, status, 0, otherClient);
    const double sent = status == 1 ? loweredVolume : restoredVolume;
    status ^= 1;
    return sent;
  }
};

// The message the plugin sends, built and sent the same way, without expecting a reply.
bool bareSet(sd_bus* bus, const char* player, double volume) {
  sd_bus_message* message = nullptr;
  const bool sent =
      sd_bus_message_new_method_call(bus, &message, player, playerPath,
                                     "org.freedesktop.DBus.Properties", "Set") >= 0 &&
      sd_bus_message_append(message, "ssv", playerInterface, "Volume", "d", volume) >= 0 &&
      sd_bus_message_set_expect_reply(message, 0) >= 0 && sd_bus_send(bus, message, nullptr) >= 0;
  sd_bus_message_unref(message);
  return sent;
}

bool setAwaitingReply(sd_bus* bus, const char* player, double volume) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  const int r =
      sd_bus_call_method(bus, player, playerPath, "org.freedesktop.DBus.Properties", "Set", &error,
                         &reply, "ssv", playerInterface, "Volume", "d", volume);
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return r >= 0;
}

int countPlayers(sd_bus* bus) {
  sd_bus_message* reply = nullptr;
  if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "ListNames", nullptr, &reply, "") < 0)
    return -1;
  int count = 0;
  const char* name = nullptr;
  if (sd_bus_message_enter_container(reply, 'a', "s") >= 0)
    while (sd_bus_message_read(reply, "s", &name) > 0)
      if (std::strncmp(name, playerPrefix, std::strlen(playerPrefix)) == 0) ++count;
  sd_bus_message_unref(reply);
  return count;
}

bool waitForPlayerCount(int wanted) {
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) return false;
  bool reached = false;
  for (int attempt = 0; attempt < 300 && !reached; ++attempt) {
    reached = countPlayers(bus) == wanted;
    if (!reached) pause(10000);
  }
  sd_bus_flush_close_unref(bus);
  return reached;
}

// Load, then a few reports before the timed ones: the first connects to the bus.
bool startTalking(const Options& options, LoadedPlugin& plugin, Talker& talker) {
  if (!openPlugin(options.plugin, plugin) || !startPlugin(plugin)) return false;
  std::vector<std::int64_t> first(1);
  const std::int64_t start = monotonicNanoseconds();
  talker.report();
  first[0] = monotonicNanoseconds() - start;
  printFigure("first_report", first);
  for (int i = 0; i < 19; ++i) {
    pause(options.gapMicroseconds);
    talker.report();
  }
  pause(options.gapMicroseconds);
  return true;
}

int hostThread(const Options& options) {
  if (options.players >= 0 && !waitForPlayerCount(options.players))
    return fail("the bus does not show the expected number of players");
  LoadedPlugin plugin;
  Talker talker{plugin};
  if (!startTalking(options, plugin, talker)) return 1;
  std::vector<std::int64_t> reports(options.reports);
  for (std::int64_t& sample : reports) {
    const std::int64_t start = monotonicNanoseconds();
    talker.report();
    sample = monotonicNanoseconds() - start;
    pause(options.gapMicroseconds);
  }
  printFigure("host_thread", reports);
  closePlugin(plugin);
  return 0;
}

// The fake player logs "NANOSECONDS VOLUME" for every Set it takes, ours and the plugin's.
std::vector<std::pair<std::int64_t, double>> readSetLog(const char* file) {
  std::vector<std::pair<std::int64_t, double>> sets;
  std::ifstream log(file);
  long long when = 0;
  double volume = 0;
  while (log >> when >> volume) sets.emplace_back(when, volume);
  return sets;
}

int onSignal(sd_bus_message*, void* count, sd_bus_error*) {
  ++*static_cast<unsigned*>(count);
  return 0;
}

bool waitForSignals(sd_bus* bus, const unsigned& seen, unsigned wanted) {
  const std::int64_t deadline = monotonicNanoseconds() + 5000000000LL;
  while (seen < wanted) {
    const int r = sd_bus_process(bus, nullptr);
    if (r < 0 || monotonicNanoseconds() > deadline) return false;
    if (r == 0) sd_bus_wait(bus, 100000);
  }
  return true;
}

// mpv's JSON IPC: observes "volume" (0..100) and waits for the value that a Set brings.
struct MpvVolume {
  int socket = -1;
  std::string pending;

  bool open(const char* path) {
    socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path);
    if (socket < 0 || connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      return false;
    const char observe[] = "{\"command\":[\"observe_property\",1,\"volume\"]}\n";
    return write(socket, observe, sizeof observe - 1) == ssize_t(sizeof observe - 1);
  }

  // Reads events until mpv reports VOLUME (an MPRIS value, 0..1); returns false on time-out.
  bool waitFor(double volume) {
    const std::int64_t deadline = monotonicNanoseconds() + 5000000000LL;
    for (;;) {
      std::size_t end = 0;
      while ((end = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        const std::size_t data = line.find("\"data\":");
        if (line.find("\"property-change\"") == std::string::npos ||
            line.find("\"volume\"") == std::string::npos || data == std::string::npos)
          continue;
        if (std::fabs(std::strtod(line.c_str() + data + 7, nullptr) - volume * 100) < 0.01)
          return true;
      }
      const std::int64_t left = deadline - monotonicNanoseconds();
      pollfd ready{socket, POLLIN, 0};
      if (left <= 0 || poll(&ready, 1, int(left / 1000000) + 1) <= 0) return false;
      char buffer[4096];
      const ssize_t got = read(socket, buffer, sizeof buffer);
      if (got <= 0) return false;
      pending.append(buffer, std::size_t(got));
    }
  }
};

// Reads and dispatches whatever has come in; returns how many messages that was.
std::size_t drain(sd_bus* bus) {
  std::size_t read = 0;
  while (sd_bus_process(bus, nullptr) > 0) ++read;
  return read;
}

int live(const Options& options) {
  if (!waitForPlayerCount(1)) return fail("the bus does not show exactly one player");
  // Two connections of our own: one for the bare Sets, one for the Sets after a drain. A
  // connection still authenticating queues what it is given instead of sending it: one call
  // first, so that every Set below really goes out.
  sd_bus* bus = nullptr;
  sd_bus* drainedBus = nullptr;
  if (sd_bus_open_user(&bus) < 0 || countPlayers(bus) != 1 || sd_bus_open_user(&drainedBus) < 0 ||
      countPlayers(drainedBus) != 1)
    return fail("no session bus");
  LoadedPlugin plugin;
  Talker talker{plugin};
  if (!startTalking(options, plugin, talker)) return 1;
  const std::size_t n = options.reports;

  std::vector<std::int64_t> reports(n);
  std::vector<std::int64_t> bareSets(n);
  std::vector<std::int64_t> drainedSets(n);
  std::size_t unaskedAnswers = 0;
  bool sent = true;
  auto sendOn = [&](sd_bus* on, double volume) {
    std::uint64_t queued = 0;
    sent = sent && bareSet(on, options.player, volume) &&
           sd_bus_get_n_queued_write(on, &queued) >= 0 && queued == 0;
  };
  // The plugin's report; one bare Set; one Set after reading what has come in on that
  // connection since its last Set (as the plugin reads its own at each look-up: answers that
  // a player sends although none was asked for, for one). The order turns each time, so
  // that none of the three always follows the same one.
  auto timed = [&](int which, std::size_t i) {
    const std::int64_t start = monotonicNanoseconds();
    if (which == 0) {
      talker.report();
      reports[i] = monotonicNanoseconds() - start;
    } else if (which == 1) {
      sendOn(bus, ownVolumes[i % 2]);
      bareSets[i] = monotonicNanoseconds() - start;
    } else {
      unaskedAnswers += drain(drainedBus);
      sendOn(drainedBus, ownVolumes[i % 2]);
      drainedSets[i] = monotonicNanoseconds() - start;
    }
    pause(options.gapMicroseconds);
    if (which == 1) drain(bus);  // untimed, so that nothing piles up
  };
  drain(bus);
  drain(drainedBus);  // the bus's greeting, so that only answers to our Sets are counted
  for (std::size_t i = 0; i < n && sent; ++i)
    for (int k = 0; k < 3; ++k) timed(int((i + std::size_t(k)) % 3), i);
  if (!sent) return fail("a bare Set failed or was queued instead of sent");
  printFigure("host_thread", reports);
  printFigure("bare_set", bareSets);
  printFigure("drained_set", drainedSets);
  // Every Set goes out without expecting a reply: whatever the drains read was not asked for.
  std::printf("unasked_answers_per_set %.2f\n", double(unaskedAnswers) / double(n));
  sd_bus_flush_close_unref(drainedBus);

  // Replies come in order: once this one is back, the player has taken every earlier Set.
  if (!setAwaitingReply(bus, options.player, ownVolumes[0]))
    return fail("the player did not answer");
  unsigned changes = 0;
  MpvVolume mpv;
  std::size_t loggedBefore = 0;
  if (options.mpvIpc != nullptr) {
    if (!mpv.open(options.mpvIpc) || !mpv.waitFor(ownVolumes[0]))
      return fail("no volume from mpv's IPC socket");
  } else {
    if (sd_bus_match_signal(bus, nullptr, options.player, playerPath,
                            "org.freedesktop.DBus.Properties", "PropertiesChanged", onSignal,
                            &changes) < 0)
      return fail("cannot watch the player's signals");
    // Both kinds of Set of the first phase have reached the player.
    const auto sets = readSetLog(options.fakeLog);
    std::size_t own = 0;
    for (const auto& set : sets) own += set.second == ownVolumes[0] || set.second == ownVolumes[1];
    if (own < 2 * n + 1 || sets.size() - own < n + 20)
      return fail("the fake player's log lacks Sets of the first phase");
    loggedBefore = sets.size();
  }
  // Until the player has taken it: mpv says so on its socket; the fake player's signal
  // only paces us, its log gives the time.
  auto taken = [&](double volume) {
    return options.mpvIpc != nullptr ? mpv.waitFor(volume)
                                     : waitForSignals(bus, changes, changes + 1);
  };

  std::vector<std::int64_t> starts(n);
  std::vector<std::int64_t> endToEnd(n);
  std::vector<std::int64_t> roundTrips(n);
  for (std::size_t i = 0; i < n; ++i) {
    starts[i] = monotonicNanoseconds();
    const double sent = talker.report();
    if (!taken(sent)) return fail("the player did not take the plugin's volume");
    endToEnd[i] = monotonicNanoseconds() - starts[i];
    pause(options.gapMicroseconds);
    const double own = ownVolumes[(i + 1) % 2];
    const std::int64_t start = monotonicNanoseconds();
    if (!setAwaitingReply(bus, options.player, own)) return fail("a round trip failed");
    roundTrips[i] = monotonicNanoseconds() - start;
    if (!taken(own)) return fail("the player did not take our volume");
    pause(options.gapMicroseconds);
  }
  if (options.fakeLog != nullptr) {
    const auto sets = readSetLog(options.fakeLog);
    std::size_t next = 0;
    for (std::size_t line = loggedBefore; line < sets.size() && next < n; ++line) {
      if (sets[line].second == ownVolumes[0] || sets[line].second == ownVolumes[1]) continue;
      endToEnd[next] = sets[line].first - starts[next];
      ++next;
    }
    if (next != n) return fail("the fake player's log lacks some of the plugin's Sets");
  }
  printFigure("end_to_end", endToEnd);
  printFigure("round_trip", roundTrips);
  closePlugin(plugin);
  sd_bus_flush_close_unref(bus);
  return 0;
}

bool parse(int argc, char** argv, Options& options) {
  if (argc < 4) return false;
  options.plugin = argv[2];
  options.reports = std::strtoul(argv[3], nullptr, 10);
  int i = 4;
  if (std::strcmp(argv[1], "live") == 0) {
    if (argc < 5) return false;
    options.player = argv[i++];
  }
  for (; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--fake-log") == 0 && hasValue) {
      options.fakeLog = argv[++i];
    } else if (std::strcmp(argv[i], "--mpv-ipc") == 0 && hasValue) {
      options.mpvIpc = argv[++i];
    } else if (std::strcmp(argv[i], "--players") == 0 && hasValue) {
      options.players = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--gap-us") == 0 && hasValue) {
      options.gapMicroseconds = std::atol(argv[++i]);
    } else {
      return false;
    }
  }
  return options.reports > 0 &&
         (options.player == nullptr || (options.fakeLog != nullptr) != (options.mpvIpc != nullptr));
}
}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: duckvolt_bus_bench host-thread PLUGIN REPORTS [--players K] [--gap-us G]\n"
                 "       duckvolt_bus_bench live PLUGIN REPORTS PLAYER (--fake-log FILE | "
                 "--mpv-ipc SOCKET) [--gap-us G]\n");
    return 2;
  }
  return std::strcmp(argv[1], "live") == 0 ? live(options) : hostThread(options);
}
