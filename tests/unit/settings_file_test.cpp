#include "settings/settings_file.h"

#include <filesystem>
#include <optional>
#include <sstream>

#include "ducking/talk_tracking.h"
#include "plugin_fixture.h"

namespace {
struct Reading {
  const char* name;
  const char* file;
  std::int32_t lower;
  std::int32_t raise;
};
std::ostream& operator<<(std::ostream& out, const Reading& c) { return out << c.name; }

class SettingsReader : public ::testing::TestWithParam<Reading> {};

// Both targets start at 5 and 6, so a failed extraction shows as an unchanged value.
TEST_P(SettingsReader, ExtractsLikeTheStreamIntoTemporaries) {
  std::istringstream file(GetParam().file);
  std::int32_t lower = 5;
  std::int32_t raise = 6;
  readPercents(file, lower, raise);
  EXPECT_EQ(lower, GetParam().lower);
  EXPECT_EQ(raise, GetParam().raise);
}

const Reading readings[] = {
    {"Empty", "", 5, 6},
    {"TwoLines", "30\n80\n", 30, 80},
    {"OneLineWithBlanks", "  30 \t  80  ", 30, 80},
    {"CarriageReturns", "30\r\n80\r\n", 30, 80},
    {"NoFinalLineEnd", "30\n80", 30, 80},
    {"OnlyOneNumber", "30\n", 30, 6},
    {"BadFirstValue", "loud\n80\n", 5, 6},
    {"BadSecondValue", "30\nsoft\n", 30, 6},
    {"OutOfRangeKeptAsWritten", "150\n-5\n", 150, -5},
    {"SignedValues", "+30\n-0\n", 30, 0},
    {"FractionStopsTheSecond", "30.5\n80\n", 30, 6},
    {"TrailingTextIgnored", "30\n80 and more\n", 30, 80},
    {"FirstBeyond32Bits", "2147483648\n80\n", 5, 6},
    {"SecondBeyond32Bits", "30\n-2147483649\n", 30, 6},
    {"The32BitLimits", "2147483647\n-2147483648\n", 2147483647, -2147483647 - 1},
    {"LoneSign", "-\n80\n", 5, 6},
};

INSTANTIATE_TEST_SUITE_P(Files, SettingsReader, ::testing::ValuesIn(readings),
                         [](const auto& info) { return std::string(info.param.name); });

// Start-up reads the file in the working directory; the talk report shows what it read.
struct StartUpCase {
  const char* name;
  std::optional<std::string> file;
  std::uintptr_t lowerWire;
  std::uintptr_t raiseWire;
};
std::ostream& operator<<(std::ostream& out, const StartUpCase& c) { return out << c.name; }

class SettingsAtStartUp : public PluginTest, public ::testing::WithParamInterface<StartUpCase> {};

TEST_P(SettingsAtStartUp, FeedTheLivePercents) {
  if (GetParam().file) writeSettings(*GetParam().file);
  start();
  plugin.onTalkStatusChangeEvent(1, 1, 0, 20);
  plugin.onTalkStatusChangeEvent(1, 0, 0, 20);
  ASSERT_EQ(recorder::messages.size(), 2u);
  EXPECT_EQ(recorder::messages[0].wParam, GetParam().lowerWire);
  EXPECT_EQ(recorder::messages[1].wParam, GetParam().raiseWire);
}

const StartUpCase startUpCases[] = {
    {"NoFile", std::nullopt, 0, 254},
    {"TwoValues", "30\n80\n", 76, 204},
    {"RaiseZeroMeansFull", "30\n0\n", 76, 254},
    {"FractionKeepsTheDefault", "30.5\n80\n", 76, 254},
    {"HandEditedOutOfRange", "150\n-10\n", 382, 0xFFFFFFE7u},
};

INSTANTIATE_TEST_SUITE_P(Files, SettingsAtStartUp, ::testing::ValuesIn(startUpCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginTest, StartUpReadsADirectoryNamedLikeTheFileAsNoFile) {
  std::filesystem::create_directory("duckvolt.cfg");
  start();
  plugin.onTalkStatusChangeEvent(1, 0, 0, 20);
  ASSERT_EQ(recorder::messages.size(), 1u);
  EXPECT_EQ(recorder::messages[0].wParam, 254u);
}

TEST_F(PluginTest, SaveWritesTwoLines) {
  setLivePercents(25, 75);
  saveSettings();
  EXPECT_EQ(readSettings(), "25\n75\n");
  setLivePercents(-3, 0);
  saveSettings();
  EXPECT_EQ(readSettings(), "-3\n0\n");
}
}  // namespace
