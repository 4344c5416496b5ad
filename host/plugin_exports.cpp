#include "plugin_exports.h"

#include <dlfcn.h>

namespace {
template <typename Function>
void resolve(void* library, const char* name, Function& function,
             std::vector<std::string>& missing) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (function == nullptr) missing.emplace_back(name);
}
}  // namespace

std::vector<std::string> resolvePluginExports(void* library, PluginExports& e) {
  std::vector<std::string> missing;
  resolve(library, "ts3plugin_name", e.name, missing);
  resolve(library, "ts3plugin_version", e.version, missing);
  resolve(library, "ts3plugin_apiVersion", e.apiVersion, missing);
  resolve(library, "ts3plugin_author", e.author, missing);
  resolve(library, "ts3plugin_description", e.description, missing);
  resolve(library, "ts3plugin_setFunctionPointers", e.setFunctionPointers, missing);
  resolve(library, "ts3plugin_init", e.init, missing);
  resolve(library, "ts3plugin_shutdown", e.shutdown, missing);
  resolve(library, "ts3plugin_registerPluginID", e.registerPluginID, missing);
  resolve(library, "ts3plugin_requestAutoload", e.requestAutoload, missing);
  resolve(library, "ts3plugin_offersConfigure", e.offersConfigure, missing);
  resolve(library, "ts3plugin_configure", e.configure, missing);
  resolve(library, "ts3plugin_onTalkStatusChangeEvent", e.onTalkStatusChangeEvent, missing);
  resolve(library, "ts3plugin_commandKeyword", e.commandKeyword, missing);
  resolve(library, "ts3plugin_processCommand", e.processCommand, missing);
  resolve(library, "ts3plugin_infoTitle", e.infoTitle, missing);
  resolve(library, "ts3plugin_infoData", e.infoData, missing);
  resolve(library, "ts3plugin_pluginEvent", e.pluginEvent, missing);
  resolve(library, "ts3plugin_currentServerConnectionChanged", e.currentServerConnectionChanged,
          missing);
  resolve(library, "ts3plugin_freeMemory", e.freeMemory, missing);
  return missing;
}
