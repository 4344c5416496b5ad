#include "recorder.h"

#include <iterator>

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
  recorder::Lookup& lookup = recorder::lookups.emplace_back();
  const wchar_t* from = className ? className : L"(null)";
  std::size_t i = 0;
  for (; i + 1 < std::size(lookup.classNameText) && from[i] != L'\0'; ++i)
    lookup.classNameText[i] = from[i];
  lookup.classNameText[i] = L'\0';
  lookup.hasTitle = windowName != nullptr;
  return recorder::playerRunning ? &recorder::window : nullptr;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  recorder::messages.push_back({reinterpret_cast<std::uintptr_t>(window), message, wParam, lParam});
  return 0;
}
