#pragma once
// A voice client for the unit tests: answers the host functions the plugin calls from a
// small state, records every call, and can be told to fail any function.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugin/host_functions.h"

namespace fakehost {

struct Server {
  std::string name;
  std::string host;
  std::uint16_t port = 0;
  ClientId ownClient = 0;
};

struct Channel {
  std::string name;
  std::string path;
};

struct Client {
  std::string nickname;
  ChannelId channel = 0;
};

struct LogEntry {
  std::string message;
  int severity;
  std::string channel;
  ConnectionId connection;
};

struct Move {
  ConnectionId connection;
  ClientId client;
  ChannelId channel;
  std::string password;
  std::string returnCode;
};

struct PluginCommand {
  ConnectionId connection;
  std::string pluginId;
  std::string command;
  int targetMode;
  bool hasTargets;
};

struct State {
  int apiVersion = 26;
  std::string appPath = "/opt/voice";
  std::string resourcesPath = "/opt/voice/resources";
  std::string configPath = "/home/user/.voice";
  std::string pluginPath = "/home/user/.voice/plugins";
  ConnectionId current = 1;
  std::map<ConnectionId, Server> servers;
  std::map<std::pair<ConnectionId, ChannelId>, Channel> channels;
  std::map<std::pair<ConnectionId, ClientId>, Client> clients;
  std::set<std::string> failing;  // names of host functions that report failure

  // What the plugin did to the host.
  std::vector<std::string> calls;  // every call, by function name
  std::vector<std::string> tabLines;
  std::vector<LogEntry> logEntries;
  std::vector<Move> moves;
  std::vector<PluginCommand> pluginCommands;
  std::set<void*> outstandingTexts;  // handed out by variable queries, not yet freed
  int freedTexts = 0;
};

extern State state;

// A fresh state with one server connection 1 ("Alpha", own client 7).
void reset();

// The table as the client hands it over: every entry the plugin does not use is null.
HostFunctions table();

}  // namespace fakehost
