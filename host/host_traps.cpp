#include "host_traps.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
template <std::size_t Index>
void trap() {
  std::fflush(stdout);
  std::fprintf(stderr,
               "duckvolt-host: the plugin called host function entry %zu, which this host "
               "does not serve\n",
               Index);
  std::_Exit(3);
}

template <std::size_t... Index>
constexpr std::array<HostEntry, sizeof...(Index)> makeTraps(std::index_sequence<Index...>) {
  return {&trap<Index>...};
}

constexpr auto traps = makeTraps(std::make_index_sequence<hostFunctionCount>{});
}  // namespace

HostFunctions tableWithTraps(const HostFunctions& served) {
  HostEntry entries[hostFunctionCount];
  std::memcpy(entries, &served, sizeof entries);
  for (std::size_t i = 0; i < hostFunctionCount; ++i)
    if (entries[i] == nullptr) entries[i] = traps[i];
  HostFunctions table;
  std::memcpy(&table, entries, sizeof table);
  return table;
}
