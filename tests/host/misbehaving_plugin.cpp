// A plugin library that the stand-in host must refuse or stop, built in three ways:
//   MISBEHAVE_MISSING  lacks two of the twenty exports
//   MISBEHAVE_API      is built for plugin API 10
//   MISBEHAVE_TRAP     calls a host function entry that the plugin interface does not use

#include <cstdint>

#include "plugin/exports.h"

namespace {
HostFunctions host;
}

const char* ts3plugin_name() { return "Misbehaving"; }
const char* ts3plugin_version() { return "0"; }
#ifdef MISBEHAVE_API
int ts3plugin_apiVersion() { return 10; }
#else
int ts3plugin_apiVersion() { return 11; }
#endif
const char* ts3plugin_author() { return "tests"; }
const char* ts3plugin_description() { return "refused by the stand-in host"; }
void ts3plugin_setFunctionPointers(const HostFunctions funcs) { host = funcs; }
int ts3plugin_init() {
#ifdef MISBEHAVE_TRAP
  host.unused0[3]();
#endif
  return 0;
}
void ts3plugin_shutdown() {}
void ts3plugin_registerPluginID(const char*) {}
int ts3plugin_requestAutoload() { return 0; }
int ts3plugin_offersConfigure() { return 0; }
void ts3plugin_configure(void*, void*) {}
void ts3plugin_onTalkStatusChangeEvent(std::uint64_t, int, int, std::uint16_t) {}
const char* ts3plugin_commandKeyword() { return "misbehaving"; }
int ts3plugin_processCommand(std::uint64_t, const char*) { return 1; }
#ifndef MISBEHAVE_MISSING
const char* ts3plugin_infoTitle() { return "Misbehaving"; }
void ts3plugin_freeMemory(void*) {}
#endif
void ts3plugin_infoData(std::uint64_t, std::uint64_t, int, char**) {}
void ts3plugin_pluginEvent(std::uint16_t, const char*) {}
void ts3plugin_currentServerConnectionChanged(std::uint64_t) {}
