#pragma once
// The twenty functions a plugin library exports, as the loading program sees them.

#include <cstdint>
#include <string>
#include <type_traits>
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

// Looks every export up by name with `lookup` (dlsym or GetProcAddress on the loaded
// library); returns the names not found.
template <typename Lookup>
std::vector<std::string> resolvePluginExports(Lookup lookup, PluginExports& e) {
  std::vector<std::string> missing;
  const auto resolve = [&](auto& function, const char* name) {
    const auto address = lookup(name);
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
        reinterpret_cast<void*>(address));
    if (address == nullptr) missing.emplace_back(name);
  };
  resolve(e.name, "ts3plugin_name");
  resolve(e.version, "ts3plugin_version");
  resolve(e.apiVersion, "ts3plugin_apiVersion");
  resolve(e.author, "ts3plugin_author");
  resolve(e.description, "ts3plugin_description");
  resolve(e.setFunctionPointers, "ts3plugin_setFunctionPointers");
  resolve(e.init, "ts3plugin_init");
  resolve(e.shutdown, "ts3plugin_shutdown");
  resolve(e.registerPluginID, "ts3plugin_registerPluginID");
  resolve(e.requestAutoload, "ts3plugin_requestAutoload");
  resolve(e.offersConfigure, "ts3plugin_offersConfigure");
  resolve(e.configure, "ts3plugin_configure");
  resolve(e.onTalkStatusChangeEvent, "ts3plugin_onTalkStatusChangeEvent");
  resolve(e.commandKeyword, "ts3plugin_commandKeyword");
  resolve(e.processCommand, "ts3plugin_processCommand");
  resolve(e.infoTitle, "ts3plugin_infoTitle");
  resolve(e.infoData, "ts3plugin_infoData");
  resolve(e.pluginEvent, "ts3plugin_pluginEvent");
  resolve(e.currentServerConnectionChanged, "ts3plugin_currentServerConnectionChanged");
  resolve(e.freeMemory, "ts3plugin_freeMemory");
  return missing;
}

#ifndef _WIN32
#include <dlfcn.h>

// The same for a library loaded with dlopen.
inline std::vector<std::string> resolvePluginExports(void* library, PluginExports& exports) {
  return resolvePluginExports([library](const char* name) { return dlsym(library, name); },
                              exports);
}
#endif
