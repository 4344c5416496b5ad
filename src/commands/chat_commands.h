#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host_functions.h"

constexpr const char* commandKeyword = "duckvolt";

// The text typed after "/duckvolt" on a connection: 0 when it named a sub-command, 1 when not.
int processCommand(ConnectionId connection, const char* command);

// Start-up empties the five return-code slots of the join sub-command.
void clearMoveReturnCodeSlots();

// A slot is free while its text is empty; join fills one for each move request it makes and
// empties it again when the host refuses the request.
constexpr std::size_t moveReturnCodeSlotCount = 5;
constexpr std::size_t moveReturnCodeSlotSize = 128;
extern char moveReturnCodeSlots[moveReturnCodeSlotCount][moveReturnCodeSlotSize];

// The text join passes with every move request and keeps in a slot.
constexpr const char* moveReturnCode = "duckvolt-join";

// The words of a command text: split at the space character only (tabs stay inside a word),
// runs of spaces count as one, leading and trailing spaces are skipped.
std::vector<std::string> splitCommand(std::string_view text);

enum class SubCommand { none, join, command, serverInfo, channelInfo };

struct ParsedCommand {
  SubCommand subCommand = SubCommand::none;
  std::optional<std::string> firstParameter;
  std::string secondParameter;  // the last word after the first parameter, or empty
};

// Word 0 names the sub-command, exactly and case-sensitively.
ParsedCommand parseCommand(std::string_view text);

// A channel ID as typed: a signed 32-bit decimal (leading white space, optional sign, digits
// up to the first other character, 0 without digits, saturated at the 32-bit limits),
// widened with its sign, so "-1" names the channel with all 64 bits set.
ChannelId readChannelId(std::string_view text);
