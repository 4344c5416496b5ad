#pragma once
// The talk-tracking rules as sequences of reports with the volume each one must put on the
// wire, for every check that drives a real plugin library: the unit tests through the
// recorder, the Windows check through a real player window. The settings file holds 20 and
// 80 (51 and 204 on the wire). Connection 1: own client 7. Connection 2: own client 9.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace talk_sequences {

constexpr std::uint32_t lower = 51;   // 20 %
constexpr std::uint32_t raise = 204;  // 80 %
constexpr std::nullopt_t nothing = std::nullopt;

struct Report {
  std::uint64_t connection;
  std::uint16_t client;
  int status;
  std::optional<std::uint32_t> sent;  // the volume on the wire after the report
  bool playerRunning = true;
  int whisper = 0;
};

struct Sequence {
  const char* name;
  std::vector<Report> reports;
  std::set<std::string> failing = {};  // host functions that fail during the sequence
};

inline const Sequence sequences[] = {
    {"OthersStartAndStop",
     {{1, 20, 1, lower}, {1, 21, 1, lower}, {1, 20, 0, lower}, {1, 21, 0, raise}}},
    {"StopOfUnseenClientRepeatsTheVolume",
     {{1, 20, 0, raise}, {1, 7, 1, lower}, {1, 21, 0, lower}, {1, 7, 0, raise}}},
    {"OtherStatusChangesNoCounter", {{1, 20, 1, lower}, {1, 20, 2, lower}, {1, 20, 0, raise}}},
    {"OwnClientCountsOnce",
     {{1, 7, 1, lower}, {1, 7, 1, lower}, {1, 7, 0, raise}, {1, 7, 0, raise}, {1, 20, 1, lower}}},
    {"NegativeCountSendsNothing",
     {{1, 20, 1, lower},
      {1, 7, 1, lower},
      {1, 20, 0, lower},
      {1, 21, 0, raise},
      {1, 7, 0, nothing},
      {1, 22, 1, raise},
      {1, 22, 1, lower}}},
    {"AllConnectionsFeedOneCount",
     {{1, 20, 1, lower}, {2, 30, 1, lower}, {1, 20, 0, lower}, {2, 30, 0, raise}}},
    {"OwnClientIsPerConnection",
     {{2, 9, 1, lower}, {2, 9, 1, lower}, {1, 9, 1, lower}, {2, 9, 0, lower}, {1, 9, 0, raise}}},
    {"WhispersCountLikeSpeech", {{1, 20, 1, lower, true, 1}, {1, 20, 0, raise, true, 1}}},
    {"WithoutOwnIdEveryClientIsAnOther",
     {{1, 7, 1, lower}, {1, 7, 1, lower}, {1, 7, 0, lower}, {1, 7, 0, raise}},
     {"getClientID"}},
    {"CountingGoesOnWithoutPlayer",
     {{1, 20, 1, nothing, false},
      {1, 20, 0, nothing, false},
      {1, 21, 0, raise},
      {1, 21, 1, lower}}},
};

}  // namespace talk_sequences
