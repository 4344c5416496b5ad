#include "session.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "dialog_driver.h"
#include "host_traps.h"
#include "scenario_line.h"
#include "simulated_host.h"
#include "talk_model.h"

namespace {
const std::string mprisPrefix = "org.mpris.MediaPlayer2.";

// Both the plugin and the host print through the C library's stdout, so one flush around
// every call keeps the transcript in true order even when stdout is a pipe.
void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

long long number(const std::string& word, const char* what) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(word.c_str(), &end, 0);
  if (word.empty() || *end != '\0' || errno != 0)
    throw ScenarioError(std::string(what) + " is not a number: " + word);
  return value;
}

unsigned long long unsignedNumber(const std::string& word, const char* what) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(word.c_str(), &end, 0);
  if (word.empty() || word[0] == '-' || *end != '\0' || errno != 0)
    throw ScenarioError(std::string(what) + " is not a number: " + word);
  return value;
}

void needWords(const std::vector<std::string>& words, std::size_t count, const char* usage) {
  if (words.size() < count) throw ScenarioError(std::string("usage: ") + usage);
}

// "key value" pairs after the leading words of a line.
std::string valueOf(const std::vector<std::string>& words, std::size_t from, const char* key,
                    const char* usage) {
  for (std::size_t i = from; i + 1 < words.size(); i += 2)
    if (words[i] == key) return words[i + 1];
  throw ScenarioError(std::string("usage: ") + usage);
}

double monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string displayLine(const std::vector<std::string>& words) {
  std::string line = ">";
  for (const std::string& word : words) {
    const bool plain = !word.empty() && word.find_first_of(" \t\n\r\"\\") == std::string::npos;
    if (plain) {
      line += ' ' + word;
      continue;
    }
    line += " \"";
    for (char c : word) {
      switch (c) {
        case '\n': line += "\\n"; break;
        case '\t': line += "\\t"; break;
        case '\r': line += "\\r"; break;
        case '"': line += "\\\""; break;
        case '\\': line += "\\\\"; break;
        default: line += c;
      }
    }
    line += '"';
  }
  return line;
}
}  // namespace

Session::Session(const PluginExports& exports) : plugin(exports) {
  simhost::reset();
  simhost::state.servers.clear();
  simhost::state.onCall = [](const std::string& call) { say("  host: " + call); };
}

void Session::play(std::istream& lines, bool prompt) {
  std::string line;
  int number = 0;
  while (true) {
    if (prompt) {
      std::printf("duckvolt> ");
      std::fflush(stdout);
    }
    if (!std::getline(lines, line)) break;
    ++number;
    // Comments tell the story of a scenario, so they stand in the transcript too.
    if (!prompt && line.rfind("# ", 0) == 0) {
      say(line);
      continue;
    }
    std::string error;
    const auto words = splitScenarioLine(line, error);
    if (!words) throw ScenarioError("line " + std::to_string(number) + ": " + error);
    if (words->empty()) continue;
    if (!prompt) say(displayLine(*words));
    try {
      execute(*words);
    } catch (const ScenarioError& failure) {
      throw ScenarioError("line " + std::to_string(number) + ": " + failure.what());
    }
  }
}

void Session::start() {
  if (started) return;
  started = true;
  plugin.setFunctionPointers(tableWithTraps(simhost::table()));
  say("  (init)");
  const int result = plugin.init();
  std::fflush(stdout);
  if (result != 0) say("  init returned " + std::to_string(result));
}

void Session::finish() {
  if (!started) return;
  say("> (shutdown)");
  plugin.shutdown();
  std::fflush(stdout);
  started = false;
}

void Session::execute(const std::vector<std::string>& words) {
  const std::string& verb = words[0];
  simhost::State& host = simhost::state;

  if (verb == "api") {
    needWords(words, 2, "api VERSION");
    host.apiVersion = static_cast<int>(number(words[1], "version"));
  } else if (verb == "paths") {
    needWords(words, 5, "paths APP RESOURCES CONFIG PLUGIN");
    host.appPath = words[1];
    host.resourcesPath = words[2];
    host.configPath = words[3];
    host.pluginPath = words[4];
  } else if (verb == "server") {
    const char* usage = "server CONNECTION name NAME host HOST port PORT me CLIENT";
    needWords(words, 2, usage);
    simhost::Server& server = host.servers[unsignedNumber(words[1], "connection")];
    server.name = valueOf(words, 2, "name", usage);
    server.host = valueOf(words, 2, "host", usage);
    server.port =
        static_cast<std::uint16_t>(unsignedNumber(valueOf(words, 2, "port", usage), "port"));
    server.ownClient =
        static_cast<ClientId>(unsignedNumber(valueOf(words, 2, "me", usage), "client"));
  } else if (verb == "channel") {
    const char* usage = "channel CONNECTION CHANNEL name NAME path PATH";
    needWords(words, 3, usage);
    simhost::Channel& channel = host.channels[{unsignedNumber(words[1], "connection"),
                                               unsignedNumber(words[2], "channel")}];
    channel.name = valueOf(words, 3, "name", usage);
    channel.path = valueOf(words, 3, "path", usage);
  } else if (verb == "client") {
    const char* usage = "client CONNECTION CLIENT nick NICKNAME channel CHANNEL";
    needWords(words, 3, usage);
    simhost::Client& client =
        host.clients[{unsignedNumber(words[1], "connection"),
                      static_cast<ClientId>(unsignedNumber(words[2], "client"))}];
    client.nickname = valueOf(words, 3, "nick", usage);
    client.channel = unsignedNumber(valueOf(words, 3, "channel", usage), "channel");
  } else if (verb == "current") {
    needWords(words, 2, "current CONNECTION");
    host.current = unsignedNumber(words[1], "connection");
  } else if (verb == "fail" || verb == "heal") {
    needWords(words, 2, "fail|heal FUNCTION[@CONNECTION]");
    if (verb == "fail")
      host.failing.insert(words[1]);
    else
      host.failing.erase(words[1]);
  } else if (verb == "file") {
    needWords(words, 3, "file NAME CONTENT");
    std::ofstream file(words[1], std::ios::binary);
    file << words[2];
    if (!file) throw ScenarioError("cannot write " + words[1]);
  } else if (verb == "limit") {
    needWords(words, 3, "limit talk-ms MILLISECONDS");
    if (words[1] != "talk-ms") throw ScenarioError("unknown limit " + words[1]);
    talkLimitMs = static_cast<long>(number(words[2], "limit"));
  } else if (verb == "shell") {
    needWords(words, 2, "shell COMMAND");
    std::fflush(stdout);
    const int status = std::system(words[1].c_str());
    if (status != 0) throw ScenarioError("shell command failed: " + words[1]);
  } else if (verb == "sleep") {
    needWords(words, 2, "sleep MILLISECONDS");
    usleep(static_cast<useconds_t>(number(words[1], "time") * 1000));
  } else if (verb == "wait-player" || verb == "wait-no-player") {
    needWords(words, 2, "wait-player|wait-no-player NAME");
    const bool present = verb == "wait-player";
    if (!players.waitForName(mprisPrefix + words[1], 10000, present))
      throw ScenarioError("player " + words[1] + (present ? " did not appear" : " did not go"));
  } else if (verb == "set-player") {
    needWords(words, 3, "set-player NAME VOLUME");
    if (!players.setVolume(mprisPrefix + words[1], std::strtod(words[2].c_str(), nullptr)))
      throw ScenarioError("player " + words[1] + " did not take the volume");
  } else if (verb == "players") {
    showPlayers();
  } else if (verb == "init") {
    start();
  } else if (verb == "talk") {
    start();
    talk(words);
  } else if (verb == "switch") {
    needWords(words, 2, "switch CONNECTION");
    start();
    host.current = unsignedNumber(words[1], "connection");
    plugin.currentServerConnectionChanged(host.current);
    std::fflush(stdout);
  } else if (verb == "configure") {
    start();
    say("  offersConfigure -> " + std::to_string(plugin.offersConfigure()));
    configureWithActions({words.begin() + 1, words.end()},
                         [&] { plugin.configure(nullptr, nullptr); });
    std::fflush(stdout);
    showSettingsFile();
  } else if (verb == "command") {
    needWords(words, 3, "command CONNECTION TEXT");
    start();
    const int result =
        plugin.processCommand(unsignedNumber(words[1], "connection"), words[2].c_str());
    std::fflush(stdout);
    say("  processCommand -> " + std::to_string(result));
  } else if (verb == "info") {
    info(words);
  } else if (verb == "event") {
    needWords(words, 2, "event DATA [MESSAGE]");
    start();
    const auto data = static_cast<std::uint16_t>(unsignedNumber(words[1], "event data"));
    plugin.pluginEvent(data, words.size() > 2 ? words[2].c_str() : nullptr);
    std::fflush(stdout);
  } else if (verb == "soak") {
    soak(words);
  } else if (verb == "pluginid") {
    needWords(words, 2, "pluginid TEXT");
    start();
    plugin.registerPluginID(words[1].c_str());
    std::fflush(stdout);
  } else {
    throw ScenarioError("unknown step " + verb);
  }
}

void Session::talk(const std::vector<std::string>& words) {
  const char* usage = "talk CONNECTION CLIENT start|stop|STATUS [whisper]";
  needWords(words, 4, usage);
  const ConnectionId connection = unsignedNumber(words[1], "connection");
  const auto client = static_cast<ClientId>(unsignedNumber(words[2], "client"));
  const int status = words[3] == "start"  ? 1
                     : words[3] == "stop" ? 0
                                          : static_cast<int>(number(words[3], "status"));
  const int whisper = words.size() > 4 && words[4] == "whisper" ? 1 : 0;

  const double began = monotonicMs();
  plugin.onTalkStatusChangeEvent(connection, status, whisper, client);
  const double tookMs = monotonicMs() - began;
  std::fflush(stdout);
  if (talkLimitMs >= 0 && tookMs > static_cast<double>(talkLimitMs))
    throw ScenarioError("the talk report took " + std::to_string(tookMs) +
                        " ms, over the limit of " + std::to_string(talkLimitMs) + " ms");
  showPlayers();
}

void Session::info(const std::vector<std::string>& words) {
  const char* usage = "info CONNECTION server|channel|client|TYPE ID";
  needWords(words, 4, usage);
  start();
  const std::string& kind = words[2];
  const int type = kind == "server"    ? 0
                   : kind == "channel" ? 1
                   : kind == "client"  ? 2
                                       : static_cast<int>(number(kind, "item type"));
  char* text = nullptr;
  plugin.infoData(unsignedNumber(words[1], "connection"), unsignedNumber(words[3], "item ID"), type,
                  &text);
  std::fflush(stdout);
  if (text == nullptr) {
    say("  no info text");
    return;
  }
  say(std::string("  info text: ") + text);
  plugin.freeMemory(text);
}

namespace {
long residentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool sameReadings(const std::vector<PlayerReading>& a, const std::vector<PlayerReading>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const PlayerReading& x, const PlayerReading& y) {
                      return x.busName == y.busName && x.volume == y.volume;
                    });
}
}  // namespace

// Random talk reports across every declared connection, quietly, then the invariants: the
// host process grew by less than 1 MB after the first 10,000 reports, and every player holds
// the volume that a model of the counting rules says was sent last.
void Session::soak(const std::vector<std::string>& words) {
  const char* usage = "soak REPORTS seed SEED lower WIRE raise WIRE";
  needWords(words, 8, usage);
  const long reports = static_cast<long>(number(words[1], "reports"));
  const auto seed = static_cast<unsigned>(number(valueOf(words, 2, "seed", usage), "seed"));
  const long lower = static_cast<long>(number(valueOf(words, 2, "lower", usage), "wire"));
  const long raise = static_cast<long>(number(valueOf(words, 2, "raise", usage), "wire"));
  std::vector<std::pair<ConnectionId, ClientId>> connections;
  for (const auto& [id, server] : simhost::state.servers)
    connections.emplace_back(id, server.ownClient);
  if (connections.empty()) throw ScenarioError("soak needs a server connection");
  start();

  auto onCall = std::move(simhost::state.onCall);
  simhost::state.onCall = nullptr;
  std::minstd_rand random(seed);
  talk_model::TalkModel model;
  long lastSent = -1;
  const auto report = [&](ConnectionId connection, ClientId own, ClientId client, int status,
                          int whisper) {
    plugin.onTalkStatusChangeEvent(connection, status, whisper, client);
    simhost::state.calls.clear();
    switch (model.report(status, client == own)) {
      case talk_model::Volume::lower: lastSent = lower; break;
      case talk_model::Volume::raise: lastSent = raise; break;
      case talk_model::Volume::none: break;
    }
  };

  long earlyKilobytes = residentKilobytes();
  const double began = monotonicMs();
  for (long i = 0; i < reports; ++i) {
    const auto& [connection, own] = connections[random() % connections.size()];
    // Client IDs near the own one, so that the own client is often among them.
    const auto client = static_cast<ClientId>(own + random() % 6);
    const auto roll = random() % 20;
    report(connection, own, client,
           roll < 9    ? 1
           : roll < 18 ? 0
                       : 2,
           static_cast<int>(random() % 2));
    if (i + 1 == 10000) earlyKilobytes = residentKilobytes();
  }
  const double tookMs = monotonicMs() - began;
  const long lateKilobytes = residentKilobytes();

  char figures[256];
  std::snprintf(figures, sizeof figures,
                "  soak: %ld reports in %.1f s; resident %ld kB after 10000, %ld kB at the end "
                "(%+ld kB)",
                reports, tookMs / 1000, earlyKilobytes, lateKilobytes,
                lateKilobytes - earlyKilobytes);
  say(figures);

  // While the bus was flooded the plugin kept only the newest volume back; once the players
  // have worked through their queues (they answer, and twice the same), one more report that
  // changes no count sends the current volume again.
  const auto allAnswered = [](const std::vector<PlayerReading>& readings) {
    return std::all_of(readings.begin(), readings.end(),
                       [](const PlayerReading& player) { return player.volume.has_value(); });
  };
  std::vector<PlayerReading> before = players.read();
  for (int waited = 0; waited < 60000; waited += 200) {
    usleep(200 * 1000);
    std::vector<PlayerReading> after = players.read();
    if (allAnswered(after) && sameReadings(before, after)) break;
    before = std::move(after);
  }
  const auto& [connection, own] = connections.front();
  report(connection, own, own, 2, 0);
  simhost::state.onCall = std::move(onCall);
  say("  the model's last volume: " + std::to_string(lastSent) + "/255");

  if (lateKilobytes - earlyKilobytes >= 1024)
    throw ScenarioError("the host process grew by 1 MB or more during the soak");
  if (lastSent < 0) return;
  const double expected = static_cast<double>(lastSent) / 255.0;
  for (int waited = 0;; waited += 100) {
    bool settled = true;
    for (const PlayerReading& player : players.read())
      settled = settled && player.volume && std::fabs(*player.volume - expected) < 1e-9;
    if (settled) break;
    if (waited >= 10000) {
      showPlayers();
      throw ScenarioError("a player's volume does not match the model");
    }
    usleep(100 * 1000);
  }
  showPlayers();
}

void Session::showSettingsFile() {
  if (std::filesystem::is_directory("duckvolt.cfg")) {
    say("  duckvolt.cfg: a directory");
    return;
  }
  std::ifstream file("duckvolt.cfg", std::ios::binary);
  if (!file) {
    say("  duckvolt.cfg: none");
    return;
  }
  std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  say("  duckvolt.cfg: " + displayLine({content}).substr(2));
}

void Session::showPlayers() {
  const std::vector<PlayerReading> readings = players.read();
  if (readings.empty()) say("  no player");
  for (const PlayerReading& player : readings) {
    const std::string name = player.busName.substr(mprisPrefix.size());
    if (!player.volume) {
      say("  player " + name + ": no answer");
      continue;
    }
    char volume[64];
    std::snprintf(volume, sizeof volume, "%.4f (%ld/255)", *player.volume,
                  std::lround(*player.volume * 255));
    say("  player " + name + ": volume " + volume);
  }
}
