#pragma once
// The voice client as the plugin sees it: the host functions the plugin calls, answered
// from a small simulated state of server connections, channels and clients. Every call is
// recorded, described for the transcript, and can be made to fail.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "plugin/host_functions.h"

namespace simhost {

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

struct ConnectInfoQuery {
  ConnectionId connection;
  ChannelId channel;  // 0 for the server query
  std::size_t size;
  bool hasPassword;
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
  // Host functions that report failure: "getClientID" on every connection, or
  // "getClientID@2" on connection 2 only.
  std::set<std::string> failing;
  // Connect-info answers copy the text up to the buffer's end and write no terminator.
  bool unterminatedConnectInfo = false;

  // What the plugin did to the host.
  std::vector<std::string> calls;  // every call, by function name
  std::vector<std::string> tabLines;
  std::vector<LogEntry> logEntries;
  std::vector<Move> moves;
  std::vector<PluginCommand> pluginCommands;
  std::vector<ConnectInfoQuery> connectInfoQueries;
  std::set<void*> outstandingTexts;  // handed out by variable queries, not yet freed
  int freedTexts = 0;

  // Told about every call with a one-line description, e.g. "getClientID(1) -> 0, client 7".
  std::function<void(const std::string&)> onCall;
};

extern State state;

// A fresh state with one server connection 1 ("Alpha", own client 7).
void reset();

// The entries the plugin may call; every other entry is null.
HostFunctions table();

}  // namespace simhost
