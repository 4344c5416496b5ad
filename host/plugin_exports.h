#pragma once
// The twenty functions a plugin library exports, as the loading program sees them.

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/host_functions.h"

struct PluginExports {
  const char* (*name)();
  const char* (*version)();
  int (*apiVersion)();
  const char* (*author)();
  const char* (*description)();
  void (*setFunctionPointers)(const HostFunctions);
  int (*init)();
  void (*shutdown)();
  void (*registerPluginID)(const char*);
  int (*requestAutoload)();
  int (*offersConfigure)();
  void (*configure)(void*, void*);
  void (*onTalkStatusChangeEvent)(std::uint64_t, int, int, std::uint16_t);
  const char* (*commandKeyword)();
  int (*processCommand)(std::uint64_t, const char*);
  const char* (*infoTitle)();
  void (*infoData)(std::uint64_t, std::uint64_t, int, char**);
  void (*pluginEvent)(std::uint16_t, const char*);
  void (*currentServerConnectionChanged)(std::uint64_t);
  void (*freeMemory)(void*);
};

// Looks every export up in a loaded library (dlopen handle); returns the names not found.
std::vector<std::string> resolvePluginExports(void* library, PluginExports& exports);
