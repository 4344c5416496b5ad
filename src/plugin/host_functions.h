#pragma once
// The table of host functions that the voice client hands to the plugin at load time:
// 182 pointer-sized entries in the host's order. Only the entries the plugin calls are
// typed; the others are placeholders that keep every entry at its place.

#include <cstddef>
#include <cstdint>

using ConnectionId = std::uint64_t;
using ClientId = std::uint16_t;
using ChannelId = std::uint64_t;
using HostStatus = unsigned int;  // 0 success, anything else failure

using HostEntry = void (*)();

// One entry a line, its index in the margin.
// clang-format off
struct HostFunctions {
  HostEntry unused0[4];
  HostStatus (*freeMemory)(void* pointer);                                          // 4
  HostStatus (*logMessage)(const char* message, int severity, const char* channel,
                           ConnectionId connection);                                // 5
  HostEntry unused6[40];
  HostStatus (*requestClientMove)(ConnectionId connection, ClientId client, ChannelId channel,
                                  const char* password, const char* returnCode);    // 46
  HostEntry unused47[20];
  HostStatus (*getClientID)(ConnectionId connection, ClientId* result);             // 67
  HostEntry unused68[7];
  HostStatus (*getClientVariableAsString)(ConnectionId connection, ClientId client,
                                          std::size_t property, char** result);     // 75
  HostEntry unused76[1];
  HostStatus (*getChannelOfClient)(ConnectionId connection, ClientId client,
                                   ChannelId* result);                              // 77
  HostEntry unused78[2];
  HostStatus (*getChannelVariableAsString)(ConnectionId connection, ChannelId channel,
                                           std::size_t property, char** result);    // 80
  HostEntry unused81[12];
  HostStatus (*getServerVariableAsString)(ConnectionId connection, std::size_t property,
                                          char** result);                           // 93
  HostEntry unused94[73];
  int (*getAPIVersion)();                                                           // 167
  void (*getAppPath)(char* path, std::size_t size);                                 // 168
  void (*getResourcesPath)(char* path, std::size_t size);                           // 169
  void (*getConfigPath)(char* path, std::size_t size);                              // 170
  void (*getPluginPath)(char* path, std::size_t size);                              // 171
  ConnectionId (*getCurrentServerConnectionHandlerID)();                            // 172
  HostEntry unused173[1];
  HostStatus (*printMessageToCurrentTab)(const char* message);                      // 174
  HostEntry unused175[1];
  void (*sendPluginCommand)(ConnectionId connection, const char* pluginId, const char* command,
                            int targetMode, const ClientId* targets);               // 176
  HostEntry unused177[1];
  HostStatus (*getServerConnectInfo)(ConnectionId connection, char* host, std::uint16_t* port,
                                     char* password, std::size_t size);             // 178
  HostStatus (*getChannelConnectInfo)(ConnectionId connection, ChannelId channel, char* path,
                                      char* password, std::size_t size);            // 179
  HostEntry unused180[2];
};
// clang-format on

constexpr std::size_t hostFunctionCount = 182;

#define DUCKVOLT_PIN_ENTRY(member, index) \
  static_assert(offsetof(HostFunctions, member) == (index) * sizeof(void*), #member " misplaced")
DUCKVOLT_PIN_ENTRY(freeMemory, 4);
DUCKVOLT_PIN_ENTRY(logMessage, 5);
DUCKVOLT_PIN_ENTRY(requestClientMove, 46);
DUCKVOLT_PIN_ENTRY(getClientID, 67);
DUCKVOLT_PIN_ENTRY(getClientVariableAsString, 75);
DUCKVOLT_PIN_ENTRY(getChannelOfClient, 77);
DUCKVOLT_PIN_ENTRY(getChannelVariableAsString, 80);
DUCKVOLT_PIN_ENTRY(getServerVariableAsString, 93);
DUCKVOLT_PIN_ENTRY(getAPIVersion, 167);
DUCKVOLT_PIN_ENTRY(getAppPath, 168);
DUCKVOLT_PIN_ENTRY(getResourcesPath, 169);
DUCKVOLT_PIN_ENTRY(getConfigPath, 170);
DUCKVOLT_PIN_ENTRY(getPluginPath, 171);
DUCKVOLT_PIN_ENTRY(getCurrentServerConnectionHandlerID, 172);
DUCKVOLT_PIN_ENTRY(printMessageToCurrentTab, 174);
DUCKVOLT_PIN_ENTRY(sendPluginCommand, 176);
DUCKVOLT_PIN_ENTRY(getServerConnectInfo, 178);
DUCKVOLT_PIN_ENTRY(getChannelConnectInfo, 179);
#undef DUCKVOLT_PIN_ENTRY
static_assert(sizeof(HostFunctions) == hostFunctionCount * sizeof(void*),
              "the host table holds 182 pointer-sized entries");

// The plugin's copy of the table; written only by ts3plugin_setFunctionPointers.
extern HostFunctions hostFunctions;
