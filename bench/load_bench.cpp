// What loading the plugin costs a host process: the time of dlopen and of init, the time of
// the first talk report (it opens the bus connection), and the resident memory before and
// after each. Run it once per figure: a second load in the same process finds everything
// mapped already.
//
//   duckvolt_load_bench PLUGIN [--with-qt]
//       --with-qt: Qt Widgets is loaded first, as in the voice client (a Qt application whose
//       Qt libraries the plugin uses)
//
// Prints "NAME VALUE" lines: times in nanoseconds, memory in KiB.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "loaded_plugin.h"

namespace {
long residentKib() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The resident part of the mappings of FILE (its code and data, not what it pulled in).
long residentKibOf(const char* file) {
  char real[4096];
  if (realpath(file, real) == nullptr) return -1;
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inFile = false;
  long total = 0;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    if (first.find('-') != std::string::npos && first.back() != ':') {
      std::string permissions, offset, device, inode, path;
      fields >> permissions >> offset >> device >> inode >> path;
      inFile = path == real;
    } else if (inFile && first == "Rss:") {
      long kib = 0;
      fields >> kib;
      total += kib;
    }
  }
  return total;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--with-qt") != 0) || argc > 3) {
    std::fprintf(stderr, "usage: duckvolt_load_bench PLUGIN [--with-qt]\n");
    return 2;
  }
  if (argc == 3 && dlopen("libQt5Widgets.so.5", RTLD_NOW | RTLD_GLOBAL) == nullptr) {
    std::fprintf(stderr, "cannot load Qt Widgets: %s\n", dlerror());
    return 1;
  }
  LoadedPlugin plugin;
  const long before = residentKib();
  const std::int64_t openStart = monotonicNanoseconds();
  if (!openPlugin(argv[1], plugin)) return 1;
  const std::int64_t opened = monotonicNanoseconds();
  const long afterOpen = residentKib();
  const std::int64_t initStart = monotonicNanoseconds();
  if (!startPlugin(plugin)) return 1;
  const std::int64_t started = monotonicNanoseconds();
  const long afterInit = residentKib();
  const std::int64_t reportStart = monotonicNanoseconds();
  plugin.exports.onTalkStatusChangeEvent(1, 1, 0, 5);
  const std::int64_t reported = monotonicNanoseconds();
  const long afterReport = residentKib();
  const long own = residentKibOf(argv[1]);

  std::printf("dlopen_ns %lld\n", static_cast<long long>(opened - openStart));
  std::printf("init_ns %lld\n", static_cast<long long>(started - initStart));
  std::printf("first_report_ns %lld\n", static_cast<long long>(reported - reportStart));
  std::printf("rss_before_kib %ld\n", before);
  std::printf("rss_added_by_dlopen_kib %ld\n", afterOpen - before);
  std::printf("rss_added_by_init_kib %ld\n", afterInit - afterOpen);
  std::printf("rss_added_by_first_report_kib %ld\n", afterReport - afterInit);
  std::printf("rss_added_kib %ld\n", afterReport - before);
  std::printf("rss_of_library_file_kib %ld\n", own);
  closePlugin(plugin);
  return 0;
}
