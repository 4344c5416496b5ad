#pragma once
#include "plugin/host_functions.h"

// The table the stand-in host hands to a plugin: the simulated host's functions, and at every
// entry they leave empty a trap that names the entry, says so on standard error and ends the
// run with status 3, since the voice client would serve something there that we do not.
HostFunctions tableWithTraps(const HostFunctions& served);
