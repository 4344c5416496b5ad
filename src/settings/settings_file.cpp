#include "settings/settings_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "ducking/talk_tracking.h"

const char* const settingsFileName = "duckvolt.cfg";

void readPercents(std::istream& in, std::int32_t& lower, std::int32_t& raise) {
  int value = 0;
  if (in >> value) lower = value;
  if (in >> value) raise = value;
}

void readSettingsFile(const char* path, std::int32_t& lower, std::int32_t& raise) {
  std::ifstream file(path);
  readPercents(file, lower, raise);
}

void loadSettings() {
  std::int32_t lower = lowerPercent();
  std::int32_t raise = raisePercent();
  readSettingsFile(settingsFileName, lower, raise);
  if (raise == 0) raise = defaultRaisePercent;
  setLivePercents(lower, raise);
}

namespace {
// Written first and renamed over the settings file, so that a save cut short leaves the old
// file whole.
const char* const temporarySettingsFileName = "duckvolt.cfg.tmp";

// Whether the file could be created at all, and whether every write and the close succeeded.
struct WriteResult {
  bool created;
  bool complete;
};

WriteResult writeLivePercents(const char* path) {
  std::ofstream file(path);
  if (!file.is_open()) return {false, false};
  file << lowerPercent() << std::endl;
  file << raisePercent() << std::endl;
  const bool written = file.good();
  file.close();
  return {true, written && !file.fail()};
}

// Replaces an existing file on Windows too, where std::rename would refuse.
bool replaceFile(const char* from, const char* to) {
  std::error_code error;
  std::filesystem::rename(from, to, error);
  return !error;
}
}  // namespace

void saveSettings() {
  const WriteResult result = writeLivePercents(temporarySettingsFileName);
  if (result.complete && replaceFile(temporarySettingsFileName, settingsFileName)) return;
  // Should even this fail, the next save overwrites the leftover; the reader never looks at it.
  if (result.created) (void)std::remove(temporarySettingsFileName);
}
