#pragma once
#include <cstdint>

#include "platform/window_services.h"
#include "plugin/host_functions.h"

// Counts who is talking on all connections together and sets the player's volume after
// every report.
void onTalkStatusChange(ConnectionId connection, int status, int isReceivedWhisper,
                        ClientId clientId);

// A percentage on the player's 0..255 scale, as put on the wire: one double multiplication
// by 2.55, truncated; the low 32 bits of the result (negative values in two's complement).
WPARAM playerVolume(std::int32_t percent);

// The live percentages: the volume while somebody talks and while nobody does. Filled at
// start-up from the settings file and replaced when the settings dialog closes.
std::int32_t lowerPercent();
std::int32_t raisePercent();
void setLivePercents(std::int32_t lower, std::int32_t raise);
