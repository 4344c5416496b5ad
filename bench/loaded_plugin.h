#pragma once
// The built plugin library as the voice client loads it: dlopen, every export resolved, the
// API version checked, the simulated host's table passed, init. Standard output is muted
// around the calls that print, so that a benchmark's own output stays clean.

#include <cstdint>
#include <vector>

#include "plugin_exports.h"

struct LoadedPlugin {
  void* library = nullptr;
  PluginExports exports{};
};

// The client the simulated host reports as our own on connection 1.
constexpr std::uint16_t ownClient = 7;

std::int64_t monotonicNanoseconds();

// dlopen and resolve; on failure says why on standard error.
bool openPlugin(const char* file, LoadedPlugin& plugin);
// Hands over the host table and calls init. The table answers getClientID without the
// simulated host's bookkeeping (a description and a record of every call), which is the
// host's cost, not the plugin's.
bool startPlugin(LoadedPlugin& plugin);
// Shut-down and dlclose.
void closePlugin(LoadedPlugin& plugin);

struct Spread {
  double median;
  double p99;
};
Spread spreadOf(std::vector<std::int64_t> samples);
