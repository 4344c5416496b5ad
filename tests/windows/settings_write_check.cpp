// The write path of duckvolt.cfg on Windows, which only the settings dialog reaches: this
// build has no dialog, so the core's saveSettings is called directly. Text mode must store
// each line end as carriage return and line feed; a save replaces a longer file, leaves
// nothing else beside it, and reads back.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "ducking/talk_tracking.h"
#include "settings/settings_file.h"

namespace {
int failures;

std::string fileBytes() {
  std::ifstream file(settingsFileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Files in the working directory whose names begin with the settings file's.
int settingsLikeFiles() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(settingsFileName) + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

void expectSaved(std::int32_t lower, std::int32_t raise, const std::string& expected) {
  setLivePercents(lower, raise);
  saveSettings();
  if (settingsLikeFiles() != 1) {
    ++failures;
    std::fprintf(stderr, "FAIL: saving left %d files named duckvolt.cfg*\n", settingsLikeFiles());
  }
  const std::string saved = fileBytes();
  if (saved == expected) return;
  ++failures;
  std::string shown;
  for (char c : saved)
    shown += c == '\r' ? std::string("\\r") : c == '\n' ? "\\n" : std::string(1, c);
  std::fprintf(stderr, "FAIL: saving %d and %d wrote \"%s\"\n", lower, raise, shown.c_str());
}
}  // namespace

int main() {
  std::remove(settingsFileName);
  expectSaved(150, -10, "150\r\n-10\r\n");
  expectSaved(25, 75, "25\r\n75\r\n");

  setLivePercents(0, 0);
  loadSettings();
  if (lowerPercent() != 25 || raisePercent() != 75) {
    ++failures;
    std::fprintf(stderr, "FAIL: read back %d and %d, expected 25 and 75\n", lowerPercent(),
                 raisePercent());
  }
  std::remove(settingsFileName);
  if (failures != 0) return 1;
  std::printf("saved settings end their lines with CR LF, replace the old file, read back\n");
  return 0;
}
