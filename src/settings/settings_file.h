#pragma once
#include <cstdint>
#include <istream>

// Reads the two percentages of duckvolt.cfg from a stream: lower, then raise, each by
// formatted integer extraction. A value that cannot be extracted keeps what it held, and
// once one has failed the next fails too.
void readPercents(std::istream& in, std::int32_t& lower, std::int32_t& raise);

// Reads a settings file into the pair given; a missing or unreadable file changes nothing.
void readSettingsFile(const char* path, std::int32_t& lower, std::int32_t& raise);

// The raise percentage that a stored 0 stands for.
constexpr std::int32_t defaultRaisePercent = 100;

extern const char* const settingsFileName;  // "duckvolt.cfg", in the working directory

// Start-up: the file into the live percentages, with the default for a raise of 0.
void loadSettings();
// After the settings dialog: the live percentages into the file. Failures are not reported.
void saveSettings();
