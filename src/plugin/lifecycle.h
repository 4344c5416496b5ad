#pragma once
#include "plugin/host_functions.h"

void copyHostFunctions(const HostFunctions& table);
int startPlugin();
void shutdownPlugin();
void registerPluginId(const char* id);
int offerConfigure();
void configurePlugin();

// The heap copy of the ID the host assigned, or null before one arrived (or when the copy
// could not be made).
const char* registeredPluginId();
