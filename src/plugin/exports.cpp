#include "plugin/exports.h"

#include <cstdlib>

#include "commands/chat_commands.h"
#include "ducking/talk_tracking.h"
#include "info/info_panel.h"
#include "plugin/identity.h"
#include "plugin/lifecycle.h"

const char* ts3plugin_name() { return pluginName; }
const char* ts3plugin_version() { return pluginVersion; }
int ts3plugin_apiVersion() { return pluginApiVersion; }
const char* ts3plugin_author() { return pluginAuthor; }
const char* ts3plugin_description() { return pluginDescription; }

void ts3plugin_setFunctionPointers(const HostFunctions funcs) { copyHostFunctions(funcs); }
int ts3plugin_init() { return startPlugin(); }
void ts3plugin_shutdown() { shutdownPlugin(); }
void ts3plugin_registerPluginID(const char* id) { registerPluginId(id); }
int ts3plugin_requestAutoload() { return 0; }

int ts3plugin_offersConfigure() { return offerConfigure(); }
void ts3plugin_configure(void*, void*) { configurePlugin(); }

void ts3plugin_onTalkStatusChangeEvent(std::uint64_t connection, int status, int isReceivedWhisper,
                                       std::uint16_t clientId) {
  onTalkStatusChange(connection, status, isReceivedWhisper, clientId);
}

const char* ts3plugin_commandKeyword() { return commandKeyword; }
int ts3plugin_processCommand(std::uint64_t connection, const char* command) {
  return processCommand(connection, command);
}

const char* ts3plugin_infoTitle() { return infoTitle; }
void ts3plugin_infoData(std::uint64_t connection, std::uint64_t id, int type, char** data) {
  infoData(connection, id, type, data);
}
void ts3plugin_pluginEvent(std::uint16_t data, const char* message) {
  logPluginEvent(data, message);
}
void ts3plugin_currentServerConnectionChanged(std::uint64_t connection) {
  logCurrentConnectionChange(connection);
}

void ts3plugin_freeMemory(void* data) { std::free(data); }
