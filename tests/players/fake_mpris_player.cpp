// A small MPRIS player for the tests: owns org.mpris.MediaPlayer2.NAME on the session bus and
// serves Volume and PlaybackStatus. It can ignore Volume, and it can log every Set with a
// monotonic timestamp (for the benchmarks). To freeze it, stop it with SIGSTOP.
//
//   fake_mpris_player NAME [--ignore-volume] [--log FILE]

#include <systemd/sd-bus.h>
#include <time.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
double volume = 1.0;
bool ignoreVolume = false;
std::FILE* setLog = nullptr;

long long nowNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

int getVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
              sd_bus_error*) {
  return sd_bus_message_append(reply, "d", volume);
}

int setVolume(sd_bus* bus, const char* path, const char* interface, const char* property,
              sd_bus_message* value, void*, sd_bus_error*) {
  double requested = 0;
  const int r = sd_bus_message_read(value, "d", &requested);
  if (r < 0) return r;
  if (setLog != nullptr) {
    std::fprintf(setLog, "%lld %.6f\n", nowNanoseconds(), requested);
    std::fflush(setLog);
  }
  if (ignoreVolume) return 0;
  volume = requested;  // unclamped, unlike a real player: the tests see exactly what was sent
  const char* changed[] = {property, nullptr};
  sd_bus_emit_properties_changed_strv(bus, path, interface, const_cast<char**>(changed));
  return 0;
}

int getPlaybackStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                      sd_bus_error*) {
  return sd_bus_message_append(reply, "s", "Playing");
}

int getIdentity(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                sd_bus_error*) {
  return sd_bus_message_append(reply, "s", "fake player");
}

const sd_bus_vtable rootVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("Identity", "s", getIdentity, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable playerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", getVolume, setVolume, 0,
                             SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("PlaybackStatus", "s", getPlaybackStatus, 0, 0),
    SD_BUS_VTABLE_END,
};

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

int fail(const char* what, int r) {
  std::fprintf(stderr, "fake_mpris_player: %s: %s\n", what, std::strerror(-r));
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fake_mpris_player NAME [--ignore-volume] [--log FILE]\n");
    return 2;
  }
  const std::string name = std::string("org.mpris.MediaPlayer2.") + argv[1];
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ignore-volume") == 0) {
      ignoreVolume = true;
    } else if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc) {
      setLog = std::fopen(argv[++i], "w");
      if (setLog == nullptr) return fail("log", -errno);
    }
  }
  std::signal(SIGTERM, requestStop);
  std::signal(SIGINT, requestStop);

  sd_bus* bus = nullptr;
  int r = sd_bus_open_user(&bus);
  if (r < 0) return fail("session bus", r);
  r = sd_bus_add_object_vtable(bus, nullptr, "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2",
                               rootVtable, nullptr);
  if (r >= 0)
    r = sd_bus_add_object_vtable(bus, nullptr, "/org/mpris/MediaPlayer2",
                                 "org.mpris.MediaPlayer2.Player", playerVtable, nullptr);
  if (r < 0) return fail("objects", r);
  r = sd_bus_request_name(bus, name.c_str(), 0);
  if (r < 0) return fail("name", r);

  while (!stopRequested) {
    r = sd_bus_process(bus, nullptr);
    if (r < 0) break;  // the bus went away
    if (r > 0) continue;
    sd_bus_wait(bus, 200 * 1000);
  }
  sd_bus_flush_close_unref(bus);
  return 0;
}
