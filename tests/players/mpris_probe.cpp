// Asks the session bus about media players, for the test and demo scripts.
//   mpris_probe wait BUSNAME [TIMEOUT_MS]   exits 0 once BUSNAME has an owner
//   mpris_probe volume                      prints each player's Volume

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "player_view.h"

int main(int argc, char** argv) {
  PlayerView view;
  if (argc >= 3 && std::strcmp(argv[1], "wait") == 0) {
    const int timeoutMs = argc >= 4 ? std::atoi(argv[3]) : 5000;
    if (view.waitForName(argv[2], timeoutMs)) return 0;
    std::fprintf(stderr, "mpris_probe: %s did not appear within %d ms\n", argv[2], timeoutMs);
    return 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "volume") == 0) {
    for (const PlayerReading& player : view.read()) {
      if (player.volume)
        std::printf("%s %.4f\n", player.busName.c_str(), *player.volume);
      else
        std::printf("%s no answer\n", player.busName.c_str());
    }
    return 0;
  }
  std::fprintf(stderr, "usage: mpris_probe wait BUSNAME [TIMEOUT_MS] | mpris_probe volume\n");
  return 2;
}
