#include "ducking/talk_tracking.h"

namespace {
// One count for all connections, never reset while the library is loaded.
std::int32_t talkingCount;
bool ownTalking;
bool othersStarted;  // some other client started since the count was last at zero

std::int32_t liveLowerPercent;
std::int32_t liveRaisePercent;

constexpr UINT setVolumeRequest = 122;

void sendVolume(HWND player, std::int32_t percent) {
  if (player != nullptr) SendMessageW(player, WM_USER, playerVolume(percent), setVolumeRequest);
}

void applyVolume(HWND player) {
  if (talkingCount == 0) {
    sendVolume(player, liveRaisePercent);
    othersStarted = false;
  } else if (talkingCount > 0) {
    sendVolume(player, liveLowerPercent);
  }
}
}  // namespace

// x87 would keep the product in 80 bits, where 20 x 2.55 truncates to 50 instead of 51.
#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "build with -msse2 -mfpmath=sse: the volume product must be a plain double multiplication"
#endif

WPARAM playerVolume(std::int32_t percent) {
  const double product = percent * 2.55;
  const auto wire = static_cast<std::int64_t>(product);
  return static_cast<WPARAM>(static_cast<std::uint32_t>(wire));
}

void onTalkStatusChange(ConnectionId connection, int status, int /*isReceivedWhisper*/,
                        ClientId clientId) {
  HWND player = FindWindowW(L"Winamp v1.x", nullptr);

  // The own client is the one counted at most once. Without its ID nobody is singled out.
  ClientId referenceClientId = 0;
  const bool isOwn = hostFunctions.getClientID(connection, &referenceClientId) == 0 &&
                     clientId == referenceClientId;

  if (status == 1) {
    if (isOwn) {
      if (!ownTalking) {
        ownTalking = true;
        ++talkingCount;
      }
    } else {
      ++talkingCount;
      othersStarted = true;
    }
  } else if (status == 0) {
    if (isOwn) {
      if (ownTalking) {
        --talkingCount;
        ownTalking = false;
      }
    } else if (othersStarted) {
      --talkingCount;
    }
  }
  applyVolume(player);
}

std::int32_t lowerPercent() { return liveLowerPercent; }
std::int32_t raisePercent() { return liveRaisePercent; }

void setLivePercents(std::int32_t lower, std::int32_t raise) {
  liveLowerPercent = lower;
  liveRaisePercent = raise;
}
