#pragma once
#include <cstdint>

#include "plugin/host_functions.h"

constexpr const char* infoTitle = "Duckvolt plugin info";

// The info-panel text for a server (0), channel (1) or client (2); *data is set only when
// there is a text, which the host hands back through ts3plugin_freeMemory.
void infoData(ConnectionId connection, std::uint64_t id, int type, char** data);

void logPluginEvent(std::uint16_t data, const char* message);
void logCurrentConnectionChange(ConnectionId connection);
