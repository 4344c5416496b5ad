#pragma once
// Window services for the unit tests: records every look-up and message instead of
// reaching a player.

#include <cstdint>
#include <string>
#include <vector>

namespace recorder {

// Kept in place rather than in a std::wstring, so that recording allocates nothing once the
// vectors have grown (the benchmarks count allocations per report through it).
struct Lookup {
  wchar_t classNameText[32];
  bool hasTitle;
  std::wstring className() const { return classNameText; }
};

struct Message {
  std::uintptr_t window;
  unsigned int message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

extern std::vector<Lookup> lookups;
extern std::vector<Message> messages;
extern bool playerRunning;

// The window handle the recorder hands out while the player runs.
std::uintptr_t playerWindow();

void reset();

}  // namespace recorder
