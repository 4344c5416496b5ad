#include "info/info_panel.h"

void infoData(ConnectionId, std::uint64_t, int, char**) {}
void logPluginEvent(std::uint16_t, const char*) {}
void logCurrentConnectionChange(ConnectionId) {}
