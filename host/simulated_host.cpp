#include "simulated_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace simhost {
State state;

namespace {
std::string quoted(const char* text) {
  return text == nullptr ? std::string("null") : '"' + std::string(text) + '"';
}

std::string status(bool failed) { return failed ? "failed" : "0"; }

void tell(const std::string& description) {
  if (state.onCall) state.onCall(description);
}

bool fails(const char* function, ConnectionId connection) {
  state.calls.emplace_back(function);
  return state.failing.count(function) != 0 ||
         state.failing.count(std::string(function) + '@' + std::to_string(connection)) != 0;
}

char* handOut(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  state.outstandingTexts.insert(copy);
  return copy;
}

void fill(const std::string& text, char* buffer, std::size_t size) {
  std::strncpy(buffer, text.c_str(), size - 1);
  buffer[size - 1] = '\0';
}

void fillConnectInfo(const std::string& text, char* buffer, std::size_t size) {
  if (!state.unterminatedConnectInfo) return fill(text, buffer, size);
  std::memcpy(buffer, text.data(), std::min(text.size(), size));
}

std::string quotedBuffer(const char* buffer, std::size_t size) {
  return '"' + std::string(buffer, strnlen(buffer, size)) + '"';
}

HostStatus freeMemory(void* pointer) {
  state.calls.emplace_back("freeMemory");
  const bool known = state.outstandingTexts.erase(pointer) != 0;
  tell(std::string("freeMemory(") + (known ? "text" : "unknown pointer") + ")");
  if (!known) return 1;
  std::free(pointer);
  ++state.freedTexts;
  return 0;
}

HostStatus logMessage(const char* message, int severity, const char* channel,
                      ConnectionId connection) {
  state.calls.emplace_back("logMessage");
  state.logEntries.push_back({message, severity, channel, connection});
  tell("logMessage(" + quoted(message) + ", severity " + std::to_string(severity) + ", " +
       quoted(channel) + ", " + std::to_string(connection) + ")");
  return 0;
}

HostStatus requestClientMove(ConnectionId connection, ClientId client, ChannelId channel,
                             const char* password, const char* returnCode) {
  const bool failed = fails("requestClientMove", connection);
  state.moves.push_back({connection, client, channel, password, returnCode});
  tell("requestClientMove(" + std::to_string(connection) + ", client " + std::to_string(client) +
       ", channel " + std::to_string(channel) + ", password " + quoted(password) +
       ", return code " + quoted(returnCode) + ") -> " + status(failed));
  return failed ? 1 : 0;
}

HostStatus getClientID(ConnectionId connection, ClientId* result) {
  const auto server = state.servers.find(connection);
  const bool failed = fails("getClientID", connection) || server == state.servers.end();
  if (!failed) *result = server->second.ownClient;
  tell("getClientID(" + std::to_string(connection) + ") -> " +
       (failed ? "failed" : "0, client " + std::to_string(*result)));
  return failed ? 1 : 0;
}

HostStatus getClientVariableAsString(ConnectionId connection, ClientId client, std::size_t property,
                                     char** result) {
  const auto found = state.clients.find({connection, client});
  const bool failed = fails("getClientVariableAsString", connection) || property != 1 ||
                      found == state.clients.end();
  if (!failed) *result = handOut(found->second.nickname);
  tell("getClientVariableAsString(" + std::to_string(connection) + ", client " +
       std::to_string(client) + ", property " + std::to_string(property) + ") -> " +
       (failed ? "failed" : "0, " + quoted(*result)));
  return failed ? 1 : 0;
}

HostStatus getChannelOfClient(ConnectionId connection, ClientId client, ChannelId* result) {
  const auto found = state.clients.find({connection, client});
  const bool failed = fails("getChannelOfClient", connection) || found == state.clients.end();
  if (!failed) *result = found->second.channel;
  tell("getChannelOfClient(" + std::to_string(connection) + ", client " + std::to_string(client) +
       ") -> " + (failed ? "failed" : "0, channel " + std::to_string(*result)));
  return failed ? 1 : 0;
}

HostStatus getChannelVariableAsString(ConnectionId connection, ChannelId channel,
                                      std::size_t property, char** result) {
  const auto found = state.channels.find({connection, channel});
  const bool failed = fails("getChannelVariableAsString", connection) || property != 0 ||
                      found == state.channels.end();
  if (!failed) *result = handOut(found->second.name);
  tell("getChannelVariableAsString(" + std::to_string(connection) + ", channel " +
       std::to_string(channel) + ", property " + std::to_string(property) + ") -> " +
       (failed ? "failed" : "0, " + quoted(*result)));
  return failed ? 1 : 0;
}

HostStatus getServerVariableAsString(ConnectionId connection, std::size_t property, char** result) {
  const auto server = state.servers.find(connection);
  const bool failed = fails("getServerVariableAsString", connection) || property != 1 ||
                      server == state.servers.end();
  if (!failed) *result = handOut(server->second.name);
  tell("getServerVariableAsString(" + std::to_string(connection) + ", property " +
       std::to_string(property) + ") -> " + (failed ? "failed" : "0, " + quoted(*result)));
  return failed ? 1 : 0;
}

int getAPIVersion() {
  state.calls.emplace_back("getAPIVersion");
  tell("getAPIVersion() -> " + std::to_string(state.apiVersion));
  return state.apiVersion;
}

void givePath(const char* function, const std::string& path, char* buffer, std::size_t size) {
  state.calls.emplace_back(std::string(function) + '(' + std::to_string(size) + ')');
  fill(path, buffer, size);
  tell(std::string(function) + "(buffer of " + std::to_string(size) + ") -> " + quoted(buffer));
}

void getAppPath(char* path, std::size_t size) { givePath("getAppPath", state.appPath, path, size); }
void getResourcesPath(char* path, std::size_t size) {
  givePath("getResourcesPath", state.resourcesPath, path, size);
}
void getConfigPath(char* path, std::size_t size) {
  givePath("getConfigPath", state.configPath, path, size);
}
void getPluginPath(char* path, std::size_t size) {
  givePath("getPluginPath", state.pluginPath, path, size);
}

ConnectionId getCurrentServerConnectionHandlerID() {
  state.calls.emplace_back("getCurrentServerConnectionHandlerID");
  tell("getCurrentServerConnectionHandlerID() -> " + std::to_string(state.current));
  return state.current;
}

HostStatus printMessageToCurrentTab(const char* message) {
  state.calls.emplace_back("printMessageToCurrentTab");
  state.tabLines.emplace_back(message);
  tell("printMessageToCurrentTab(" + quoted(message) + ")");
  return 0;
}

void sendPluginCommand(ConnectionId connection, const char* pluginId, const char* command,
                       int targetMode, const ClientId* targets) {
  state.calls.emplace_back("sendPluginCommand");
  state.pluginCommands.push_back({connection, pluginId, command, targetMode, targets != nullptr});
  tell("sendPluginCommand(" + std::to_string(connection) + ", plugin " + quoted(pluginId) + ", " +
       quoted(command) + ", target mode " + std::to_string(targetMode) + ", " +
       (targets ? "targets" : "no targets") + ")");
}

HostStatus getServerConnectInfo(ConnectionId connection, char* host, std::uint16_t* port,
                                char* password, std::size_t size) {
  state.connectInfoQueries.push_back({connection, 0, size, password != nullptr});
  const auto server = state.servers.find(connection);
  const bool failed = fails("getServerConnectInfo", connection) || server == state.servers.end();
  if (!failed) {
    fillConnectInfo(server->second.host, host, size);
    *port = server->second.port;
  }
  tell("getServerConnectInfo(" + std::to_string(connection) + ", buffer of " +
       std::to_string(size) + (password ? ", password buffer" : ", no password buffer") + ") -> " +
       (failed ? "failed" : "0, " + quotedBuffer(host, size) + ", port " + std::to_string(*port)));
  return failed ? 1 : 0;
}

HostStatus getChannelConnectInfo(ConnectionId connection, ChannelId channel, char* path,
                                 char* password, std::size_t size) {
  state.connectInfoQueries.push_back({connection, channel, size, password != nullptr});
  const auto found = state.channels.find({connection, channel});
  const bool failed = fails("getChannelConnectInfo", connection) || found == state.channels.end();
  if (!failed) fillConnectInfo(found->second.path, path, size);
  tell("getChannelConnectInfo(" + std::to_string(connection) + ", channel " +
       std::to_string(channel) + ", buffer of " + std::to_string(size) +
       (password ? ", password buffer" : ", no password buffer") + ") -> " +
       (failed ? "failed" : "0, " + quotedBuffer(path, size)));
  return failed ? 1 : 0;
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

}  // namespace simhost
