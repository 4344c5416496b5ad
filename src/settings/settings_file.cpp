#include "settings/settings_file.h"

#include <fstream>

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

void saveSettings() {
  std::ofstream file(settingsFileName);
  file << lowerPercent() << std::endl;
  file << raisePercent() << std::endl;
}
