// The voice client as the plugin meets it on 32-bit Windows, run under Wine: loads
// duckvolt_win32.dll with LoadLibraryW, resolves the twenty exports by their plain names,
// hands over a 182-entry table by value and drives the plugin, while a second process of
// this program plays the player: a top-level window of class "Winamp v1.x" whose window
// procedure records every message it gets in shared memory.
//
//   wine_check_host.exe PLUGIN.DLL        the checks; exit status 0 when all hold
//   wine_check_host.exe player MAPPING    the player process (started by the checks)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/host_functions.h"
#include "plugin_exports.h"
#include "talk_sequences.h"

static_assert(sizeof(void*) == 4, "the Win32 check host is a 32-bit program");
static_assert(sizeof(HostFunctions) == 182 * 4, "the table goes over as 182 four-byte entries");

namespace {

const wchar_t playerClass[] = L"Winamp v1.x";
constexpr UINT setVolumeRequest = 122;
// The player takes its time over a volume message: a message that arrived asynchronously
// would not be recorded yet when the plugin's talk report returns.
constexpr DWORD playerAnswerDelayMs = 40;

// ---------------------------------------------------------------- the player process

struct Record {
  UINT message;
  std::uint32_t wParam;
  std::int32_t lParam;
};

struct PlayerLog {
  volatile LONG count;  // every message, also those beyond the capacity
  Record records[16384];
};

PlayerLog* playerLog;

void record(UINT message, WPARAM wParam, LPARAM lParam) {
  const LONG index = InterlockedIncrement(&playerLog->count) - 1;
  if (index < static_cast<LONG>(sizeof playerLog->records / sizeof(Record)))
    playerLog->records[index] = {message, static_cast<std::uint32_t>(wParam),
                                 static_cast<std::int32_t>(lParam)};
}

LRESULT CALLBACK playerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) Sleep(playerAnswerDelayMs);
  record(message, wParam, lParam);
  if (message == WM_USER) return 0;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

int runPlayer(const char* mappingName) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, mappingName);
  if (mapping == nullptr) return 2;
  playerLog = static_cast<PlayerLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (playerLog == nullptr) return 2;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = playerWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = playerClass;
  if (RegisterClassW(&windowClass) == 0) return 3;
  HWND window =
      CreateWindowExW(0, playerClass, L"Player", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 4;

  const std::string readyName = std::string(mappingName) + "-ready";
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName.c_str());
  if (ready == nullptr) return 5;
  SetEvent(ready);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

// ---------------------------------------------------------------- reporting

int failures;

void fail(const std::string& what) {
  ++failures;
  std::fprintf(stderr, "FAIL: %s\n", what.c_str());
}

template <typename T>
void expectEqual(const T& actual, const T& expected, const std::string& what) {
  if (actual == expected) return;
  std::ostringstream text;
  text << what << ": got [" << actual << "], expected [" << expected << "]";
  fail(text.str());
}

void expectEqual(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
                 const std::string& what) {
  const auto joined = [](const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "] [") + line;
    return text;
  };
  expectEqual(joined(actual), joined(expected), what);
}

// ---------------------------------------------------------------- the player, seen from here

class Player {
 public:
  Player() {
    mappingName = "duckvolt-wine-check-" + std::to_string(GetCurrentProcessId());
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 sizeof(PlayerLog), mappingName.c_str());
    log = mapping == nullptr
              ? nullptr
              : static_cast<PlayerLog*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ready = CreateEventA(nullptr, TRUE, FALSE, (mappingName + "-ready").c_str());
  }

  bool usable() const { return log != nullptr && ready != nullptr; }

  bool start() {
    if (running()) return true;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" player " +
                               std::wstring(mappingName.begin(), mappingName.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ResetEvent(ready);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      fail("the player process does not start");
      return false;
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
    HANDLE waitFor[] = {ready, process};
    if (WaitForMultipleObjects(2, waitFor, FALSE, 20000) != WAIT_OBJECT_0) {
      DWORD status = 0;
      GetExitCodeProcess(process, &status);
      fail("the player window did not come up (player status " + std::to_string(status) + ")");
      return false;
    }
    return true;
  }

  void stop() {
    if (!running()) return;
    HWND window = FindWindowW(playerClass, nullptr);
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) {
      fail("the player did not close");
      TerminateProcess(process, 1);
    }
    CloseHandle(process);
    process = nullptr;
    if (FindWindowW(playerClass, nullptr) != nullptr) fail("a player window outlived the player");
  }

  bool running() const { return process != nullptr; }

  LONG count() const { return log->count; }

  // The volume messages recorded since the given count.
  std::vector<Record> volumeMessagesSince(LONG from) const {
    std::vector<Record> found;
    const LONG capacity = static_cast<LONG>(sizeof log->records / sizeof(Record));
    if (log->count > capacity) fail("the player log is full");
    for (LONG i = from; i < log->count && i < capacity; ++i)
      if (log->records[i].message == WM_USER) found.push_back(log->records[i]);
    return found;
  }

  ~Player() {
    stop();
    if (log != nullptr) UnmapViewOfFile(log);
    if (mapping != nullptr) CloseHandle(mapping);
    if (ready != nullptr) CloseHandle(ready);
  }

 private:
  std::string mappingName;
  HANDLE mapping = nullptr;
  HANDLE ready = nullptr;
  HANDLE process = nullptr;
  PlayerLog* log = nullptr;
};

// ---------------------------------------------------------------- the host's side of the table

struct Server {
  std::string name;
  std::string host;
  std::uint16_t port;
  ClientId ownClient;
};

struct Host {
  std::map<ConnectionId, Server> servers;
  std::map<std::pair<ConnectionId, ClientId>, std::string> nicknames;
  std::map<std::pair<ConnectionId, ClientId>, ChannelId> channelOfClient;
  std::map<std::pair<ConnectionId, ChannelId>, std::string> channelNames;
  std::map<std::pair<ConnectionId, ChannelId>, std::string> channelPaths;
  ConnectionId current = 1;
  std::set<std::string> failing;

  std::vector<std::string> tabLines;
  std::vector<std::string> logLines;        // "severity|channel|connection|message"
  std::vector<std::string> moves;           // "connection|client|channel|password|return code"
  std::vector<std::string> pluginCommands;  // "connection|plugin ID|command|mode|targets"
  std::set<void*> outstandingTexts;
};

Host host;

void resetHost() {
  host = Host{};
  host.servers[1] = {"Alpha", "alpha.example.org", 9987, 7};
  host.servers[2] = {"Beta", "beta.example.org", 9988, 9};
  host.nicknames[{1, 20}] = "Zoe \"the voice\"";
  host.channelOfClient[{1, 7}] = 3;
  host.channelNames[{1, 3}] = "Lobby";
  host.channelPaths[{1, 3}] = "Lobby/Quiet corner";
}

HostStatus failure = 1;

bool failing(const char* name) { return host.failing.count(name) != 0; }

char* hostText(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  host.outstandingTexts.insert(copy);
  return copy;
}

HostStatus freeMemory(void* pointer) {
  if (host.outstandingTexts.erase(pointer) == 0) fail("freeMemory of a text the host never gave");
  std::free(pointer);
  return 0;
}

HostStatus logMessage(const char* message, int severity, const char* channel,
                      ConnectionId connection) {
  host.logLines.push_back(std::to_string(severity) + "|" + channel + "|" +
                          std::to_string(connection) + "|" + message);
  return 0;
}

HostStatus requestClientMove(ConnectionId connection, ClientId client, ChannelId channel,
                             const char* password, const char* returnCode) {
  host.moves.push_back(std::to_string(connection) + "|" + std::to_string(client) + "|" +
                       std::to_string(channel) + "|" + password + "|" + returnCode);
  return failing("requestClientMove") ? failure : 0;
}

HostStatus getClientID(ConnectionId connection, ClientId* result) {
  const auto server = host.servers.find(connection);
  if (failing("getClientID") || server == host.servers.end()) return failure;
  *result = server->second.ownClient;
  return 0;
}

HostStatus getClientVariableAsString(ConnectionId connection, ClientId client, std::size_t property,
                                     char** result) {
  const auto nickname = host.nicknames.find({connection, client});
  if (property != 1 || nickname == host.nicknames.end()) return failure;
  *result = hostText(nickname->second);
  return 0;
}

HostStatus getChannelOfClient(ConnectionId connection, ClientId client, ChannelId* result) {
  const auto channel = host.channelOfClient.find({connection, client});
  if (channel == host.channelOfClient.end()) return failure;
  *result = channel->second;
  return 0;
}

HostStatus getChannelVariableAsString(ConnectionId connection, ChannelId channel,
                                      std::size_t property, char** result) {
  const auto name = host.channelNames.find({connection, channel});
  if (property != 0 || name == host.channelNames.end()) return failure;
  *result = hostText(name->second);
  return 0;
}

HostStatus getServerVariableAsString(ConnectionId connection, std::size_t property, char** result) {
  const auto server = host.servers.find(connection);
  if (property != 1 || server == host.servers.end()) return failure;
  *result = hostText(server->second.name);
  return 0;
}

int getAPIVersion() { return 26; }

void copyPath(char* path, std::size_t size, const char* text) {
  std::snprintf(path, size, "%s", text);
}
void getAppPath(char* path, std::size_t size) { copyPath(path, size, "C:\\Voice"); }
void getResourcesPath(char* path, std::size_t size) {
  copyPath(path, size, "C:\\Voice\\resources");
}
void getConfigPath(char* path, std::size_t size) {
  copyPath(path, size, "C:\\users\\player\\AppData\\Roaming\\Voice");
}
void getPluginPath(char* path, std::size_t size) {
  copyPath(path, size, "C:\\users\\player\\AppData\\Roaming\\Voice\\plugins");
}

ConnectionId getCurrentServerConnectionHandlerID() { return host.current; }

HostStatus printMessageToCurrentTab(const char* message) {
  host.tabLines.emplace_back(message);
  return 0;
}

void sendPluginCommand(ConnectionId connection, const char* pluginId, const char* command,
                       int targetMode, const ClientId* targets) {
  host.pluginCommands.push_back(std::to_string(connection) + "|" + pluginId + "|" + command + "|" +
                                std::to_string(targetMode) + "|" +
                                (targets == nullptr ? "none" : "some"));
}

HostStatus getServerConnectInfo(ConnectionId connection, char* hostName, std::uint16_t* port,
                                char* password, std::size_t size) {
  const auto server = host.servers.find(connection);
  if (size != 256 || password != nullptr || server == host.servers.end()) return failure;
  std::snprintf(hostName, size, "%s", server->second.host.c_str());
  *port = server->second.port;
  return 0;
}

HostStatus getChannelConnectInfo(ConnectionId connection, ChannelId channel, char* path,
                                 char* password, std::size_t size) {
  const auto found = host.channelPaths.find({connection, channel});
  if (size != 512 || password != nullptr || found == host.channelPaths.end()) return failure;
  std::snprintf(path, size, "%s", found->second.c_str());
  return 0;
}

HostFunctions table() {
  HostFunctions functions{};
  functions.freeMemory = freeMemory;
  functions.logMessage = logMessage;
  functions.requestClientMove = requestClientMove;
  functions.getClientID = getClientID;
  functions.getClientVariableAsString = getClientVariableAsString;
  functions.getChannelOfClient = getChannelOfClient;
  functions.getChannelVariableAsString = getChannelVariableAsString;
  functions.getServerVariableAsString = getServerVariableAsString;
  functions.getAPIVersion = getAPIVersion;
  functions.getAppPath = getAppPath;
  functions.getResourcesPath = getResourcesPath;
  functions.getConfigPath = getConfigPath;
  functions.getPluginPath = getPluginPath;
  functions.getCurrentServerConnectionHandlerID = getCurrentServerConnectionHandlerID;
  functions.printMessageToCurrentTab = printMessageToCurrentTab;
  functions.sendPluginCommand = sendPluginCommand;
  functions.getServerConnectInfo = getServerConnectInfo;
  functions.getChannelConnectInfo = getChannelConnectInfo;
  return functions;
}

// ---------------------------------------------------------------- the plugin

std::wstring pluginPath;

// A freshly loaded plugin: the state of a library that the client has just loaded.
class Plugin {
 public:
  Plugin() {
    module = LoadLibraryW(pluginPath.c_str());
    if (module == nullptr) {
      fail("LoadLibraryW of the plugin failed, error " + std::to_string(GetLastError()));
      return;
    }
    const std::vector<std::string> missing = resolvePluginExports(
        [&](const char* name) { return GetProcAddress(module, name); }, exports);
    for (const std::string& name : missing) fail("the plugin does not export " + name);
    resolved = missing.empty();
  }
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  ~Plugin() {
    if (module != nullptr && !FreeLibrary(module)) fail("FreeLibrary of the plugin failed");
  }

  bool loaded() const { return module != nullptr && resolved; }
  const PluginExports* operator->() const { return &exports; }

 private:
  HMODULE module = nullptr;
  PluginExports exports{};
  bool resolved = false;
};

// What the plugin printed on standard output (the C runtime's, shared with the DLL) while
// the action ran; carriage returns of text mode dropped.
std::string consoleOutput(const std::function<void()>& action) {
  std::fflush(stdout);
  const int saved = _dup(1);
  char name[MAX_PATH];
  std::snprintf(name, sizeof name, "console-%lu.txt", GetCurrentProcessId());
  const int capture = _open(name, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
  _dup2(capture, 1);
  action();
  std::fflush(stdout);
  _dup2(saved, 1);
  _close(saved);
  _close(capture);

  std::ifstream file(name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  std::remove(name);
  std::string withoutReturns;
  for (char c : text)
    if (c != '\r') withoutReturns += c;
  return withoutReturns;
}

const char* const settingsFile = "duckvolt.cfg";

void writeSettings(const std::optional<std::string>& content) {
  std::remove(settingsFile);
  if (!content) return;
  std::ofstream file(settingsFile, std::ios::binary);
  file << *content;
}

// ---------------------------------------------------------------- the checks

const std::string startUpText =
    "PLUGIN: init\n"
    "PLUGIN: Client API Version: 26, Plugin API Version: 11\n"
    "PLUGIN: App path: C:\\Voice\n"
    "Resources path: C:\\Voice\\resources\n"
    "Config path: C:\\users\\player\\AppData\\Roaming\\Voice\n"
    "Plugin path: C:\\users\\player\\AppData\\Roaming\\Voice\\plugins\n";

void checkIdentityAndLifecycle() {
  Plugin plugin;
  if (!plugin.loaded()) return;
  expectEqual(std::string(plugin->name()), std::string("Duckvolt"), "name");
  expectEqual(std::string(plugin->version()), std::string("1.0"), "version");
  expectEqual(plugin->apiVersion(), 11, "API version");
  expectEqual(std::string(plugin->author()), std::string("R.Plovrik"), "author");
  expectEqual(std::string(plugin->description()),
              std::string("This Plugin controls the volume of winamp when somebody is speaking."),
              "description");
  expectEqual(std::string(plugin->commandKeyword()), std::string("duckvolt"), "keyword");
  expectEqual(std::string(plugin->infoTitle()), std::string("Duckvolt plugin info"), "title");
  expectEqual(plugin->requestAutoload(), 0, "requestAutoload");

  resetHost();
  writeSettings(std::nullopt);
  plugin->setFunctionPointers(table());
  int status = -1;
  expectEqual(consoleOutput([&] { status = plugin->init(); }), startUpText, "start-up console");
  expectEqual(status, 0, "init result");

  int offers = -1;
  expectEqual(consoleOutput([&] { offers = plugin->offersConfigure(); }),
              std::string("PLUGIN: offersConfigure\n"), "offersConfigure console");
  expectEqual(offers, 2, "offersConfigure result");
  expectEqual(consoleOutput([&] { plugin->configure(nullptr, nullptr); }),
              std::string("PLUGIN: configure\n"), "configure console (built without the dialog)");

  expectEqual(consoleOutput([&] { plugin->registerPluginID("duckvolt-7"); }),
              std::string("PLUGIN: registerPluginID: duckvolt-7\n"), "registerPluginID console");
  expectEqual(consoleOutput([&] { plugin->shutdown(); }), std::string("PLUGIN: shutdown\n"),
              "shutdown console");
  plugin->freeMemory(nullptr);
}

using talk_sequences::Report;

struct Sequence {
  const char* name;
  std::optional<std::string> settings;  // duckvolt.cfg at start-up, byte for byte
  std::vector<Report> reports;
  std::set<std::string> failing = {};
};

const char* const lf = "20\n80\n";
const char* const crlf = "20\r\n80\r\n";

// Every sequence of the talk-tracking rules, with settings files in either line end, then
// those that only the settings file changes.
std::vector<Sequence> allSequences() {
  using talk_sequences::lower;
  using talk_sequences::raise;
  std::vector<Sequence> all;
  bool windowsLineEnds = false;
  for (const talk_sequences::Sequence& rules : talk_sequences::sequences) {
    all.push_back({rules.name, windowsLineEnds ? crlf : lf, rules.reports, rules.failing});
    windowsLineEnds = !windowsLineEnds;
  }
  all.push_back({"NoSettingsFile", std::nullopt, {{1, 20, 1, 0u}, {1, 20, 0, 254u}}});
  all.push_back({"FortyAndSixty", "40\r\n60\r\n", {{1, 20, 1, 102u}, {1, 20, 0, 153u}}});
  all.push_back({"HandEditedValuesBeyondTheRange",
                 "150\r\n-10\r\n",
                 {{1, 20, 1, 382u}, {1, 20, 0, 0xFFFFFFE7u}}});
  all.push_back({"NumbersOnOneLine", " 20 \t 80", {{1, 20, 1, lower}, {1, 20, 0, raise}}});
  all.push_back(
      {"StoredRaiseOfZeroMeansFull", "20\r\n0\r\n", {{1, 20, 1, lower}, {1, 20, 0, 254u}}});
  return all;
}

void playSequence(Player& player, const Sequence& sequence) {
  const std::string where = std::string("talk sequence \"") + sequence.name + "\"";
  resetHost();
  writeSettings(sequence.settings);
  Plugin plugin;
  if (!plugin.loaded()) return;
  plugin->setFunctionPointers(table());
  consoleOutput([&] { plugin->init(); });
  host.failing = sequence.failing;

  int step = 0;
  for (const Report& report : sequence.reports) {
    const std::string at = where + ", report " + std::to_string(++step);
    if (report.playerRunning) {
      if (!player.start()) return;
    } else {
      player.stop();
    }
    const LONG before = player.count();
    plugin->onTalkStatusChangeEvent(report.connection, report.status, report.whisper,
                                    report.client);
    // Read at once: SendMessageW returns only after the player has handled the message.
    const std::vector<Record> sent = player.volumeMessagesSince(before);
    if (!report.sent) {
      expectEqual(sent.size(), std::size_t{0}, at + ": volume messages");
      continue;
    }
    if (sent.size() != 1) {
      expectEqual(sent.size(), std::size_t{1}, at + ": volume messages");
      continue;
    }
    expectEqual(sent[0].wParam, *report.sent, at + ": volume (wParam)");
    expectEqual(sent[0].lParam, static_cast<std::int32_t>(setVolumeRequest), at + ": lParam");
  }
  consoleOutput([&] { plugin->shutdown(); });
  player.start();  // the next sequence begins with a player
}

// Chat commands and info requests reach the host through the table.
void checkCommandsAndInfo() {
  resetHost();
  writeSettings(std::nullopt);
  Plugin plugin;
  if (!plugin.loaded()) return;
  plugin->setFunctionPointers(table());
  consoleOutput([&] { plugin->init(); });

  int result = -1;
  expectEqual(consoleOutput([&] { result = plugin->processCommand(1, "join 3  old secret"); }),
              std::string("PLUGIN: process command: 'join 3  old secret'\n"), "join console");
  expectEqual(result, 0, "join result");
  expectEqual(host.moves, std::vector<std::string>{"1|7|3|secret|duckvolt-join"}, "join move");

  host.failing = {"requestClientMove"};
  consoleOutput([&] { plugin->processCommand(2, "join -1"); });
  host.failing.clear();
  expectEqual(host.moves.size() == 2 ? host.moves[1] : std::string(),
              std::string("2|9|18446744073709551615||duckvolt-join"), "join -1 move");
  expectEqual(host.logLines, std::vector<std::string>{"4|Plugin|2|Error requesting client move"},
              "refused move log");

  expectEqual(consoleOutput([&] { result = plugin->processCommand(1, "command hello world"); }),
              std::string("PLUGIN: process command: 'command hello world'\n"
                          "PLUGIN: Failed to send plugin command, was not registered.\n"),
              "command before registration console");
  consoleOutput([&] { plugin->registerPluginID("duckvolt-7"); });
  expectEqual(consoleOutput([&] { result = plugin->processCommand(1, "command hello world"); }),
              std::string("PLUGIN: process command: 'command hello world'\n"
                          "PLUGIN: Sending plugin command to current channel: hello\n"),
              "command console");
  expectEqual(host.pluginCommands, std::vector<std::string>{"1|duckvolt-7|hello|0|none"},
              "plugin command");

  host.current = 1;
  consoleOutput([&] {
    plugin->processCommand(2, "serverinfo extra");
    plugin->processCommand(1, "channelinfo");
    plugin->processCommand(1, "join");
  });
  expectEqual(host.tabLines,
              std::vector<std::string>{"Server Connect Info: alpha.example.org:9987",
                                       "Channel Connect Info: Lobby/Quiet corner",
                                       "Missing channel ID parameter."},
              "chat tab lines");
  consoleOutput([&] { result = plugin->processCommand(1, "JOIN 3"); });
  expectEqual(result, 1, "sub-command in upper case");
  consoleOutput([&] { result = plugin->processCommand(1, ""); });
  expectEqual(result, 1, "empty command");
  expectEqual(host.moves.size(), std::size_t{2}, "moves after the unrecognised commands");

  const struct {
    std::uint64_t id;
    int type;
    const char* text;
  } items[] = {{0, 0, "The nickname is \"Alpha\""},
               {3, 1, "The nickname is \"Lobby\""},
               {0x10000 + 20, 2, "The nickname is \"Zoe \"the voice\"\""}};
  for (const auto& item : items) {
    char* data = nullptr;
    plugin->infoData(1, item.id, item.type, &data);
    const std::string what = "info text for type " + std::to_string(item.type);
    if (data == nullptr) {
      fail(what + ": none");
      continue;
    }
    expectEqual(std::string(data), std::string(item.text), what);
    plugin->freeMemory(data);
  }
  char untouched = 0;
  char* data = &untouched;
  expectEqual(consoleOutput([&] { plugin->infoData(1, 0, 3, &data); }),
              std::string("Invalid item type: 3\n"), "invalid item type console");
  if (data != &untouched) fail("an invalid item type wrote the out parameter");
  expectEqual(host.outstandingTexts.size(), std::size_t{0}, "host texts not handed back");

  expectEqual(consoleOutput([&] { plugin->pluginEvent(0x0105, "switched"); }),
              std::string("PLUGIN: pluginEvent data = 261\nMessage: switched\n"
                          "Type = 1, subtype = 5\nSpeaker on\n"),
              "plugin event console");
  expectEqual(consoleOutput([&] { plugin->pluginEvent(0x8001, nullptr); }),
              std::string("PLUGIN: pluginEvent data = 32769\nType = -128, subtype = 1\n"),
              "plugin event with a negative type");
  host.current = 2;
  expectEqual(consoleOutput([&] { plugin->currentServerConnectionChanged(1); }),
              std::string("PLUGIN: currentServerConnectionChanged 1 (2)\n"),
              "current connection change console");
  consoleOutput([&] { plugin->shutdown(); });
}

int runChecks(const char* dll) {
  wchar_t wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, dll, -1, wide, MAX_PATH) == 0) return 2;
  wchar_t full[MAX_PATH];
  if (GetFullPathNameW(wide, MAX_PATH, full, nullptr) == 0) return 2;
  pluginPath = full;

  Player player;
  if (!player.usable()) {
    std::fprintf(stderr, "FAIL: no shared memory for the player log\n");
    return 1;
  }
  if (!player.start()) return 1;

  checkIdentityAndLifecycle();
  const std::vector<Sequence> sequences = allSequences();
  for (const Sequence& sequence : sequences) playSequence(player, sequence);
  checkCommandsAndInfo();
  player.stop();

  std::remove(settingsFile);
  if (failures != 0) {
    std::fprintf(stderr, "%d check(s) failed\n", failures);
    return 1;
  }
  std::printf("all checks passed: identity, start-up, %u talk sequences, commands and info\n",
              static_cast<unsigned>(sequences.size()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "player") == 0) return runPlayer(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PLUGIN.DLL | player MAPPING\n", argv[0]);
    return 2;
  }
  return runChecks(argv[1]);
}
