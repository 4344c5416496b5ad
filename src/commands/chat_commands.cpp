#include "commands/chat_commands.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int slotCount = 5;
constexpr int slotSize = 128;
char moveReturnCodeSlots[slotCount][slotSize];
}  // namespace

void clearMoveReturnCodeSlots() { std::memset(moveReturnCodeSlots, 0, sizeof moveReturnCodeSlots); }

int processCommand(ConnectionId, const char* command) {
  std::printf("PLUGIN: process command: '%s'\n", command);
  return 1;
}
