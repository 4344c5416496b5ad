#pragma once
#include "plugin/host_functions.h"

constexpr const char* commandKeyword = "duckvolt";

// The text typed after "/duckvolt" on a connection: 0 when it named a sub-command, 1 when not.
int processCommand(ConnectionId connection, const char* command);

// Start-up empties the five return-code slots of the join sub-command.
void clearMoveReturnCodeSlots();
