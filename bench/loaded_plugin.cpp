#include "loaded_plugin.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "simulated_host.h"

namespace {
HostStatus answerOwnClient(ConnectionId, ClientId* result) {
  *result = ownClient;
  return 0;
}

template <typename Call>
void withStdoutMuted(Call call) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  if (saved >= 0 && null >= 0) dup2(null, STDOUT_FILENO);
  call();
  std::fflush(stdout);
  if (saved >= 0) {
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
  if (null >= 0) close(null);
}
}  // namespace

std::int64_t monotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool openPlugin(const char* file, LoadedPlugin& plugin) {
  plugin.library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (plugin.library == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", file, dlerror());
    return false;
  }
  const std::vector<std::string> missing = resolvePluginExports(plugin.library, plugin.exports);
  if (!missing.empty()) {
    std::fprintf(stderr, "%s lacks %s\n", file, missing.front().c_str());
    return false;
  }
  if (plugin.exports.apiVersion() != 11) {
    std::fprintf(stderr, "%s has API version %d, not 11\n", file, plugin.exports.apiVersion());
    return false;
  }
  return true;
}

bool startPlugin(LoadedPlugin& plugin) {
  simhost::reset();
  HostFunctions table = simhost::table();
  table.getClientID = answerOwnClient;
  int status = 0;
  withStdoutMuted([&] {
    plugin.exports.setFunctionPointers(table);
    status = plugin.exports.init();
  });
  if (status != 0) std::fprintf(stderr, "init returned %d\n", status);
  return status == 0;
}

void closePlugin(LoadedPlugin& plugin) {
  if (plugin.library == nullptr) return;
  if (plugin.exports.shutdown != nullptr) withStdoutMuted([&] { plugin.exports.shutdown(); });
  dlclose(plugin.library);
  plugin.library = nullptr;
}

Spread spreadOf(std::vector<std::int64_t> samples) {
  if (samples.empty()) return {0, 0};
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  const double median = n % 2 == 1 ? double(samples[n / 2])
                                   : (double(samples[n / 2 - 1]) + double(samples[n / 2])) / 2;
  // Nearest rank: the smallest sample that at least 99 % of the samples do not exceed.
  const std::size_t rank = (99 * n + 99) / 100;
  return {median, double(samples[std::max<std::size_t>(rank, 1) - 1])};
}
