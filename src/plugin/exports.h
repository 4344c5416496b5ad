#pragma once
// The twenty functions the voice client looks up in the plugin library (plugin API 11).
// Plain C names, the platform's default calling convention; nothing else is exported.
// Every call comes from one host thread at a time.

#include <cstdint>

#include "plugin/host_functions.h"

#if defined(_WIN32)
#define DUCKVOLT_EXPORT __declspec(dllexport)
#else
#define DUCKVOLT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Identity, asked at any time. The texts are the plugin's own constants: never freed.
DUCKVOLT_EXPORT const char* ts3plugin_name();
DUCKVOLT_EXPORT const char* ts3plugin_version();
DUCKVOLT_EXPORT int ts3plugin_apiVersion();  // 11
DUCKVOLT_EXPORT const char* ts3plugin_author();
DUCKVOLT_EXPORT const char* ts3plugin_description();

// Called once after loading, before init: the plugin keeps a copy of the whole table.
DUCKVOLT_EXPORT void ts3plugin_setFunctionPointers(const HostFunctions funcs);

// Start-up: logs the versions and paths, reads duckvolt.cfg. Always returns 0.
DUCKVOLT_EXPORT int ts3plugin_init();
// Shut-down: logs and drops the plugin ID. Saves nothing.
DUCKVOLT_EXPORT void ts3plugin_shutdown();

// The host's ID for this plugin, at any time; the plugin keeps its own copy.
DUCKVOLT_EXPORT void ts3plugin_registerPluginID(const char* id);
// 0: the host is not asked to load the plugin on its own.
DUCKVOLT_EXPORT int ts3plugin_requestAutoload();

// 2: a settings window exists and is to be opened on the host's Qt GUI thread.
DUCKVOLT_EXPORT int ts3plugin_offersConfigure();
// Runs the modal settings dialog on the calling (GUI) thread; both arguments are ignored.
DUCKVOLT_EXPORT void ts3plugin_configure(void* handle, void* parentWidget);

// A client on a server connection started (1) or stopped (0) talking: sets the player volume.
DUCKVOLT_EXPORT void ts3plugin_onTalkStatusChangeEvent(std::uint64_t connection, int status,
                                                       int isReceivedWhisper,
                                                       std::uint16_t clientId);

// The chat keyword, a constant. The host passes the text typed after "/duckvolt" to
// processCommand: 0 when it named a sub-command, 1 when it did not.
DUCKVOLT_EXPORT const char* ts3plugin_commandKeyword();
DUCKVOLT_EXPORT int ts3plugin_processCommand(std::uint64_t connection, const char* command);

// The info panel: a constant title, and for the selected item a text allocated by the
// plugin, which the host hands back through ts3plugin_freeMemory. *data is left untouched
// when there is nothing to show.
DUCKVOLT_EXPORT const char* ts3plugin_infoTitle();
DUCKVOLT_EXPORT void ts3plugin_infoData(std::uint64_t connection, std::uint64_t id, int type,
                                        char** data);

// Host events, logged to standard output.
DUCKVOLT_EXPORT void ts3plugin_pluginEvent(std::uint16_t data, const char* message);
DUCKVOLT_EXPORT void ts3plugin_currentServerConnectionChanged(std::uint64_t connection);

// Releases a text the plugin handed to the host (the info text); null is ignored.
DUCKVOLT_EXPORT void ts3plugin_freeMemory(void* data);

}  // extern "C"
