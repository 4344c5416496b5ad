#include "plugin/lifecycle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commands/chat_commands.h"
#include "config/configure_flow.h"
#include "plugin/identity.h"
#include "settings/settings_file.h"

HostFunctions hostFunctions;

namespace {
char* pluginId;

void releasePluginId() {
  std::free(pluginId);
  pluginId = nullptr;
}
}  // namespace

void copyHostFunctions(const HostFunctions& table) { hostFunctions = table; }

int startPlugin() {
  std::printf("PLUGIN: init\n");
  std::printf("PLUGIN: Client API Version: %d, Plugin API Version: %d\n",
              hostFunctions.getAPIVersion(), pluginApiVersion);

  constexpr std::size_t pathSize = 512;
  char appPath[pathSize];
  char resourcesPath[pathSize];
  char configPath[pathSize];
  char pluginPath[pathSize];
  hostFunctions.getAppPath(appPath, pathSize);
  hostFunctions.getResourcesPath(resourcesPath, pathSize);
  hostFunctions.getConfigPath(configPath, pathSize);
  hostFunctions.getPluginPath(pluginPath, pathSize);
  // A host that fills a buffer to the end without a terminator must not make us read past it.
  for (char* path : {appPath, resourcesPath, configPath, pluginPath}) path[pathSize - 1] = '\0';
  std::printf("PLUGIN: App path: %s\nResources path: %s\nConfig path: %s\nPlugin path: %s\n",
              appPath, resourcesPath, configPath, pluginPath);

  clearMoveReturnCodeSlots();
  loadSettings();
  return 0;
}

void shutdownPlugin() {
  std::printf("PLUGIN: shutdown\n");
  releasePluginId();
}

void registerPluginId(const char* id) {
  releasePluginId();
  const std::size_t size = std::strlen(id) + 1;
  pluginId = static_cast<char*>(std::malloc(size));
  if (pluginId == nullptr) return;
  std::memcpy(pluginId, id, size);
  std::printf("PLUGIN: registerPluginID: %s\n", pluginId);
}

const char* registeredPluginId() { return pluginId; }

int offerConfigure() {
  std::printf("PLUGIN: offersConfigure\n");
  return 2;  // open the window on the host's Qt GUI thread
}

void configurePlugin() {
  std::printf("PLUGIN: configure\n");
  runConfigureDialog();
}
