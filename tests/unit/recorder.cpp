#include "recorder.h"

#include "platform/window_services.h"

struct PlayerWindow {};

namespace recorder {
namespace {
PlayerWindow window;
}
std::vector<Lookup> lookups;
std::vector<Message> messages;
bool playerRunning = true;

std::uintptr_t playerWindow() { return reinterpret_cast<std::uintptr_t>(&window); }

void reset() {
  lookups.clear();
  messages.clear();
  playerRunning = true;
}
}  // namespace recorder

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  recorder::lookups.push_back({className ? className : L"(null)", windowName != nullptr});
  return recorder::playerRunning ? &recorder::window : nullptr;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recorder::messages.push_back({reinterpret_cast<std::uintptr_t>(window), message, wParam, lParam});
  return 0;
}
