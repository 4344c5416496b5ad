#include "fake_host.h"

#include <cstdlib>
#include <cstring>

namespace fakehost {
State state;

namespace {
bool fails(const char* function) {
  state.calls.emplace_back(function);
  return state.failing.count(function) != 0;
}

char* handOut(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  state.outstandingTexts.insert(copy);
  return copy;
}

void copyPath(const std::string& path, char* buffer, std::size_t size) {
  std::strncpy(buffer, path.c_str(), size - 1);
  buffer[size - 1] = '\0';
}

HostStatus freeMemory(void* pointer) {
  state.calls.emplace_back("freeMemory");
  if (state.outstandingTexts.erase(pointer) == 0) return 1;
  std::free(pointer);
  ++state.freedTexts;
  return 0;
}

HostStatus logMessage(const char* message, int severity, const char* channel,
                      ConnectionId connection) {
  state.calls.emplace_back("logMessage");
  state.logEntries.push_back({message, severity, channel, connection});
  return 0;
}

HostStatus requestClientMove(ConnectionId connection, ClientId client, ChannelId channel,
                             const char* password, const char* returnCode) {
  state.moves.push_back({connection, client, channel, password, returnCode});
  return fails("requestClientMove") ? 1 : 0;
}

HostStatus getClientID(ConnectionId connection, ClientId* result) {
  const auto server = state.servers.find(connection);
  if (fails("getClientID") || server == state.servers.end()) return 1;
  *result = server->second.ownClient;
  return 0;
}

HostStatus getClientVariableAsString(ConnectionId connection, ClientId client, std::size_t property,
                                     char** result) {
  const auto found = state.clients.find({connection, client});
  if (fails("getClientVariableAsString") || property != 1 || found == state.clients.end())
    return 1;
  *result = handOut(found->second.nickname);
  return 0;
}

HostStatus getChannelOfClient(ConnectionId connection, ClientId client, ChannelId* result) {
  const auto found = state.clients.find({connection, client});
  if (fails("getChannelOfClient") || found == state.clients.end()) return 1;
  *result = found->second.channel;
  return 0;
}

HostStatus getChannelVariableAsString(ConnectionId connection, ChannelId channel,
                                      std::size_t property, char** result) {
  const auto found = state.channels.find({connection, channel});
  if (fails("getChannelVariableAsString") || property != 0 || found == state.channels.end())
    return 1;
  *result = handOut(found->second.name);
  return 0;
}

HostStatus getServerVariableAsString(ConnectionId connection, std::size_t property, char** result) {
  const auto server = state.servers.find(connection);
  if (fails("getServerVariableAsString") || property != 1 || server == state.servers.end())
    return 1;
  *result = handOut(server->second.name);
  return 0;
}

int getAPIVersion() {
  state.calls.emplace_back("getAPIVersion");
  return state.apiVersion;
}

void getAppPath(char* path, std::size_t size) {
  state.calls.emplace_back("getAppPath(" + std::to_string(size) + ")");
  copyPath(state.appPath, path, size);
}
void getResourcesPath(char* path, std::size_t size) {
  state.calls.emplace_back("getResourcesPath(" + std::to_string(size) + ")");
  copyPath(state.resourcesPath, path, size);
}
void getConfigPath(char* path, std::size_t size) {
  state.calls.emplace_back("getConfigPath(" + std::to_string(size) + ")");
  copyPath(state.configPath, path, size);
}
void getPluginPath(char* path, std::size_t size) {
  state.calls.emplace_back("getPluginPath(" + std::to_string(size) + ")");
  copyPath(state.pluginPath, path, size);
}

ConnectionId getCurrentServerConnectionHandlerID() {
  state.calls.emplace_back("getCurrentServerConnectionHandlerID");
  return state.current;
}

HostStatus printMessageToCurrentTab(const char* message) {
  state.calls.emplace_back("printMessageToCurrentTab");
  state.tabLines.emplace_back(message);
  return 0;
}

void sendPluginCommand(ConnectionId connection, const char* pluginId, const char* command,
                       int targetMode, const ClientId* targets) {
  state.calls.emplace_back("sendPluginCommand");
  state.pluginCommands.push_back({connection, pluginId, command, targetMode, targets != nullptr});
}

HostStatus getServerConnectInfo(ConnectionId connection, char* host, std::uint16_t* port,
                                char* password, std::size_t size) {
  const auto server = state.servers.find(connection);
  if (fails("getServerConnectInfo") || server == state.servers.end() || password != nullptr)
    return 1;
  copyPath(server->second.host, host, size);
  *port = server->second.port;
  return 0;
}

HostStatus getChannelConnectInfo(ConnectionId connection, ChannelId channel, char* path,
                                 char* password, std::size_t size) {
  const auto found = state.channels.find({connection, channel});
  if (fails("getChannelConnectInfo") || found == state.channels.end() || password != nullptr)
    return 1;
  copyPath(found->second.path, path, size);
  return 0;
}
}  // namespace

void reset() {
  for (void* text : state.outstandingTexts) std::free(text);
  state = State{};
  state.servers[1] = Server{"Alpha", "alpha.example.org", 9987, 7};
}

HostFunctions table() {
  HostFunctions t{};
  t.freeMemory = freeMemory;
  t.logMessage = logMessage;
  t.requestClientMove = requestClientMove;
  t.getClientID = getClientID;
  t.getClientVariableAsString = getClientVariableAsString;
  t.getChannelOfClient = getChannelOfClient;
  t.getChannelVariableAsString = getChannelVariableAsString;
  t.getServerVariableAsString = getServerVariableAsString;
  t.getAPIVersion = getAPIVersion;
  t.getAppPath = getAppPath;
  t.getResourcesPath = getResourcesPath;
  t.getConfigPath = getConfigPath;
  t.getPluginPath = getPluginPath;
  t.getCurrentServerConnectionHandlerID = getCurrentServerConnectionHandlerID;
  t.printMessageToCurrentTab = printMessageToCurrentTab;
  t.sendPluginCommand = sendPluginCommand;
  t.getServerConnectInfo = getServerConnectInfo;
  t.getChannelConnectInfo = getChannelConnectInfo;
  return t;
}

}  // namespace fakehost
