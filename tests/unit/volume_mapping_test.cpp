#include <gtest/gtest.h>

#include "ducking/talk_tracking.h"

namespace {
TEST(VolumeMapping, MatchesTheIntegerScaleUpTo99) {
  for (std::int32_t percent = 0; percent <= 99; ++percent)
    EXPECT_EQ(playerVolume(percent), static_cast<WPARAM>(percent * 255 / 100)) << percent;
}

TEST(VolumeMapping, RoundsLikeOneDoubleMultiplication) {
  const std::pair<std::int32_t, WPARAM> cases[] = {
      {100, 254}, {20, 51}, {40, 102}, {60, 153}, {80, 204}, {150, 382}, {-10, 0xFFFFFFE7u},
  };
  for (const auto& [percent, wire] : cases) EXPECT_EQ(playerVolume(percent), wire) << percent;
}
}  // namespace
