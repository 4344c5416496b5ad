// Talk reports in any order from any connection and client, against a model of the counting
// rules kept here: after every report the volume the player got (seen by the recorder) must
// be the model's, and nothing may arrive while the model's count is negative or the player
// is not running.
//
// The library's count and flags live for the whole process and cannot be reset or read, so
// the model lives as long and follows every report. To make each input stand on its own, it
// starts with reports that bring the count back to zero and both flags down (checked like any
// other report); a failing input then fails the same way when run alone.
//
// Input: lower and raise percentage (int32 each), the own client's ID on each of the four
// connections (uint16 each), then reports of five bytes: flags (bits 0-1 the connection,
// bit 2 the player is not running, bit 3 the host cannot tell the own client's ID), status
// (int8), whisper flag (int8), client ID (uint16). All little-endian.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ducking/talk_tracking.h"
#include "fuzz_support.h"
#include "plugin/exports.h"
#include "plugin/host_functions.h"
#include "recorder.h"
#include "talk_model.h"

namespace {

constexpr std::size_t connectionCount = 4;
constexpr ConnectionId connections[connectionCount] = {1, 2, 7, UINT64_MAX};

// What the fake host answers to getClientID for the report under way.
struct OwnClientAnswer {
  ConnectionId connection = 0;
  ClientId ownId = 0;
  bool known = true;
};
OwnClientAnswer ownClientAnswer;

HostStatus fakeGetClientId(ConnectionId connection, ClientId* result) {
  fuzz::check(connection == ownClientAnswer.connection,
              "the own client asked for on another connection than the report's");
  if (!ownClientAnswer.known) return 1;
  *result = ownClientAnswer.ownId;
  return 0;
}

// The value on the wire for a percentage: the percentage times the double nearest to 2.55,
// rounded once to a double (to nearest, ties to even), truncated toward zero, low 32 bits.
// Worked out in exact integer arithmetic, so that a wider or fused product in the library
// would show.
__extension__ using Wide = unsigned __int128;

std::uintptr_t modelWire(std::int32_t percent) {
  int exponent = 0;
  const double mantissa = std::frexp(2.55, &exponent);  // 2.55 == mantissa * 2^exponent
  const auto significand = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
  const int scale = 53 - exponent;  // 2.55 == significand / 2^scale

  const std::uint64_t magnitude = percent < 0
                                      ? std::uint64_t{0} - static_cast<std::uint64_t>(percent)
                                      : static_cast<std::uint64_t>(percent);
  Wide product = Wide{magnitude} * significand;
  int bits = 0;
  for (Wide rest = product; rest != 0; rest >>= 1) ++bits;
  if (bits > 53) {
    const int dropped = bits - 53;
    const Wide kept = product >> dropped;
    const Wide remainder = product - (kept << dropped);
    const Wide half = Wide{1} << (dropped - 1);
    const bool up = remainder > half || (remainder == half && (kept & 1) != 0);
    product = (kept + (up ? 1 : 0)) << dropped;
  }
  const auto truncated = static_cast<std::uint64_t>(product >> scale);
  const std::uint64_t wire = percent < 0 ? std::uint64_t{0} - truncated : truncated;
  return static_cast<std::uintptr_t>(wire & 0xffffffffu);
}

talk_model::TalkModel model;
std::int32_t modelLowerPercent = 0;
std::int32_t modelRaisePercent = 0;

struct Report {
  std::size_t connection = 0;
  int status = 0;
  int whisper = 0;
  ClientId client = 0;
  bool playerRunning = true;
  bool ownIdKnown = true;
};

void deliver(const Report& report, ClientId ownId) {
  const ConnectionId connection = connections[report.connection];
  ownClientAnswer = {connection, ownId, report.ownIdKnown};
  recorder::lookups.clear();
  recorder::messages.clear();
  recorder::playerRunning = report.playerRunning;

  ts3plugin_onTalkStatusChangeEvent(connection, report.status, report.whisper, report.client);

  const bool isOwn = report.ownIdKnown && report.client == ownId;
  const talk_model::Volume volume = model.report(report.status, isOwn);
  const std::int32_t percent =
      volume == talk_model::Volume::lower ? modelLowerPercent : modelRaisePercent;
  const bool volumeSent = volume != talk_model::Volume::none && report.playerRunning;

  // Details are spelt out only for a report that breaks an invariant.
  auto expect = [&](bool holds, const char* what) {
    if (holds) return;
    std::string detail = "status " + std::to_string(report.status) + ", client " +
                         std::to_string(report.client) + ", model count " +
                         std::to_string(model.talkingCount);
    if (!recorder::messages.empty())
      detail += ", sent " + std::to_string(recorder::messages[0].wParam);
    if (volumeSent)
      detail += ", expected " + std::to_string(modelWire(percent)) + " for " +
                std::to_string(percent) + " %";
    fuzz::fail(what, detail);
  };
  expect(recorder::lookups.size() == 1, "not one player lookup per report");
  expect(recorder::lookups[0].className() == L"Winamp v1.x" && !recorder::lookups[0].hasTitle,
         "player looked up by another class or with a title");
  if (!volumeSent) {
    expect(recorder::messages.empty(), "a volume sent where the model sends none");
    return;
  }
  expect(recorder::messages.size() == 1, "not one volume message");
  const recorder::Message& sent = recorder::messages[0];
  expect(sent.window == recorder::playerWindow() && sent.message == 0x0400 && sent.lParam == 122,
         "volume message not WM_USER/122 to the player's window");
  expect(sent.wParam == modelWire(percent), "volume differs from the model's");
}

// Reports that bring the count to zero and both flags down, from whatever the inputs before
// left. Every start of another client sets othersStarted, and only a count at zero clears
// it, so a positive count without the own client always has othersStarted set.
void bringCountToZero() {
  constexpr ClientId ownId = 1;
  constexpr ClientId otherId = 2;
  if (model.ownTalking) deliver({0, 0, 0, ownId, true, true}, ownId);
  while (model.talkingCount > 0) {
    fuzz::check(model.othersStarted, "model: a positive count without a started client");
    deliver({0, 0, 0, otherId, true, true}, ownId);
  }
  while (model.talkingCount < 0) deliver({0, 1, 0, otherId, true, true}, ownId);
  fuzz::check(!model.ownTalking && !model.othersStarted, "model not back at rest");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  HostFunctions host{};
  host.getClientID = fakeGetClientId;
  ts3plugin_setFunctionPointers(host);

  // The model's mapping against the known values of the wire.
  struct Known {
    std::int32_t percent;
    std::uintptr_t wire;
  };
  for (const Known known :
       {Known{0, 0}, Known{100, 254}, Known{20, 51}, Known{40, 102}, Known{60, 153}, Known{80, 204},
        Known{99, 252}, Known{150, 382}, Known{-10, 0xffffffe7u}})
    fuzz::check(modelWire(known.percent) == known.wire, "model: wrong volume mapping",
                std::to_string(known.percent));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  modelLowerPercent = input.integer<std::int32_t>();
  modelRaisePercent = input.integer<std::int32_t>();
  ClientId ownIds[connectionCount];
  for (ClientId& id : ownIds) id = input.integer<ClientId>();

  setLivePercents(modelLowerPercent, modelRaisePercent);
  bringCountToZero();

  while (!input.atEnd()) {
    const std::uint8_t flags = input.byte();
    Report report;
    report.connection = flags & 3u;
    report.playerRunning = (flags & 4u) == 0;
    report.ownIdKnown = (flags & 8u) == 0;
    report.status = input.integer<std::int8_t>();
    report.whisper = input.integer<std::int8_t>();
    report.client = input.integer<ClientId>();
    deliver(report, ownIds[report.connection]);
  }
  return 0;
}
