#include "commands/chat_commands.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "plugin/lifecycle.h"

char moveReturnCodeSlots[moveReturnCodeSlotCount][moveReturnCodeSlotSize];

namespace {
constexpr int logError = 1;
constexpr int logInfo = 4;
constexpr const char* logChannel = "Plugin";

constexpr std::size_t serverHostSize = 256;
constexpr std::size_t channelPathSize = 512;

constexpr std::size_t moveReturnCodeLength = std::char_traits<char>::length(moveReturnCode);
static_assert(moveReturnCodeLength > 0 && moveReturnCodeLength < moveReturnCodeSlotSize,
              "the return code fills a slot and fits it");

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void printToTab(const char* line) { hostFunctions.printMessageToCurrentTab(line); }

void logToHost(const char* message, int severity, ConnectionId connection) {
  hostFunctions.logMessage(message, severity, logChannel, connection);
}

char* claimFreeSlot() {
  for (char* slot : moveReturnCodeSlots) {
    if (slot[0] != '\0') continue;
    std::memcpy(slot, moveReturnCode, moveReturnCodeLength + 1);
    return slot;
  }
  return nullptr;
}

void joinChannel(ConnectionId connection, const ParsedCommand& parsed) {
  if (!parsed.firstParameter) {
    printToTab("Missing channel ID parameter.");
    return;
  }
  const ChannelId channel = readChannelId(*parsed.firstParameter);
  ClientId self = 0;
  if (hostFunctions.getClientID(connection, &self) != 0) {
    logToHost("Error querying client ID", logError, connection);
    return;
  }
  char* slot = claimFreeSlot();
  if (hostFunctions.requestClientMove(connection, self, channel, parsed.secondParameter.c_str(),
                                      moveReturnCode) != 0) {
    logToHost("Error requesting client move", logInfo, connection);
    if (slot != nullptr) slot[0] = '\0';
  }
}

void sendCommandToChannel(ConnectionId connection, const ParsedCommand& parsed) {
  if (!parsed.firstParameter) {
    printToTab("Missing command parameter.");
    return;
  }
  const char* pluginId = registeredPluginId();
  if (pluginId == nullptr) {
    std::printf("PLUGIN: Failed to send plugin command, was not registered.\n");
    return;
  }
  const char* text = parsed.firstParameter->c_str();
  std::printf("PLUGIN: Sending plugin command to current channel: %s\n", text);
  hostFunctions.sendPluginCommand(connection, pluginId, text, 0, nullptr);
}

void showServerConnectInfo() {
  char host[serverHostSize] = {};
  std::uint16_t port = 0;
  const ConnectionId current = hostFunctions.getCurrentServerConnectionHandlerID();
  if (hostFunctions.getServerConnectInfo(current, host, &port, nullptr, serverHostSize) != 0) {
    printToTab("No server connect info available.");
    return;
  }
  host[serverHostSize - 1] = '\0';
  const std::string line = "Server Connect Info: " + std::string(host) + ":" + std::to_string(port);
  printToTab(line.c_str());
}

void showChannelConnectInfo(ConnectionId connection) {
  ClientId self = 0;
  if (hostFunctions.getClientID(connection, &self) != 0) {
    logToHost("Error querying client ID", logError, connection);
    return;
  }
  ChannelId channel = 0;
  if (hostFunctions.getChannelOfClient(connection, self, &channel) != 0) {
    logToHost("Error querying channel ID", logError, connection);
    return;
  }
  char path[channelPathSize] = {};
  const ConnectionId current = hostFunctions.getCurrentServerConnectionHandlerID();
  if (hostFunctions.getChannelConnectInfo(current, channel, path, nullptr, channelPathSize) != 0) {
    printToTab("No channel connect info available.");
    return;
  }
  path[channelPathSize - 1] = '\0';
  const std::string line = "Channel Connect Info: " + std::string(path);
  printToTab(line.c_str());
}
}  // namespace

void clearMoveReturnCodeSlots() { std::memset(moveReturnCodeSlots, 0, sizeof moveReturnCodeSlots); }

std::vector<std::string> splitCommand(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < text.size()) {
    if (text[start] == ' ') {
      ++start;
      continue;
    }
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    words.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

ParsedCommand parseCommand(std::string_view text) {
  std::vector<std::string> words = splitCommand(text);
  ParsedCommand parsed;
  if (words.empty()) return parsed;
  if (words[0] == "join") {
    parsed.subCommand = SubCommand::join;
  } else if (words[0] == "command") {
    parsed.subCommand = SubCommand::command;
  } else if (words[0] == "serverinfo") {
    parsed.subCommand = SubCommand::serverInfo;
  } else if (words[0] == "channelinfo") {
    parsed.subCommand = SubCommand::channelInfo;
  }
  if (words.size() > 1) parsed.firstParameter = std::move(words[1]);
  if (words.size() > 2) parsed.secondParameter = std::move(words.back());
  return parsed;
}

ChannelId readChannelId(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // The magnitude stops growing just past the 32-bit range, so long digit runs cannot wrap.
  constexpr std::int64_t cap = std::int64_t{INT32_MAX} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > cap) magnitude = cap;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<ChannelId>(value);
}

int processCommand(ConnectionId connection, const char* command) {
  std::printf("PLUGIN: process command: '%s'\n", command);
  int result = 1;
  // Out of memory for the words or a reply line: the command is dropped, nothing escapes.
  try {
    const ParsedCommand parsed = parseCommand(command);
    if (parsed.subCommand == SubCommand::none) return 1;
    result = 0;
    switch (parsed.subCommand) {
      case SubCommand::join: joinChannel(connection, parsed); break;
      case SubCommand::command: sendCommandToChannel(connection, parsed); break;
      case SubCommand::serverInfo: showServerConnectInfo(); break;
      case SubCommand::channelInfo: showChannelConnectInfo(connection); break;
      case SubCommand::none: break;
    }
  } catch (const std::bad_alloc&) {
  }
  return result;
}
