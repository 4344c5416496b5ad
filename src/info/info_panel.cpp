#include "info/info_panel.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr std::size_t serverNameProperty = 1;
constexpr std::size_t channelNameProperty = 0;
constexpr std::size_t clientNicknameProperty = 1;

// The name the host handed out for the item, or null after printing why there is none.
char* fetchItemName(ConnectionId connection, std::uint64_t id, int type) {
  char* name = nullptr;
  switch (type) {
    case 0:
      if (hostFunctions.getServerVariableAsString(connection, serverNameProperty, &name) == 0)
        return name;
      std::printf("Error getting virtual server name\n");
      return nullptr;
    case 1:
      if (hostFunctions.getChannelVariableAsString(connection, id, channelNameProperty, &name) == 0)
        return name;
      std::printf("Error getting channel name\n");
      return nullptr;
    case 2:
      if (hostFunctions.getClientVariableAsString(connection, static_cast<ClientId>(id & 0xffff),
                                                  clientNicknameProperty, &name) == 0)
        return name;
      std::printf("Error getting client nickname\n");
      return nullptr;
    default: std::printf("Invalid item type: %d\n", type); return nullptr;
  }
}

// Sized to the whole name: names come from other people and may be of any length.
char* formatInfoText(const char* name) {
  static constexpr char prefix[] = "The nickname is \"";
  static constexpr char suffix[] = "\"";
  const std::size_t nameLength = std::strlen(name);
  char* text = static_cast<char*>(std::malloc(sizeof prefix - 1 + nameLength + sizeof suffix));
  if (text == nullptr) return nullptr;
  char* end = text;
  std::memcpy(end, prefix, sizeof prefix - 1);
  end += sizeof prefix - 1;
  std::memcpy(end, name, nameLength);
  end += nameLength;
  std::memcpy(end, suffix, sizeof suffix);
  return text;
}

// The lines for type 1: microphone, speakers and away status switched on and off.
struct TypeOneLine {
  int subtype;
  const char* line;
};
// clang-format off
constexpr TypeOneLine typeOneLines[] = {
    {1, "Micro on\n"},          {2, "Micro off\n"},           {5, "Speaker on\n"},
    {6, "Speaker off\n"},       {7, "Away on\n"},             {8, "Away off\n"},
    {9, "Activate micro\n"},    {11, "Activate speaker\n"},   {12, "Activate away\n"},
    {13, "Deactivate micro\n"}, {15, "Deactivate speakers\n"}, {16, "Deactivate away\n"},
};
// clang-format on
}  // namespace

void infoData(ConnectionId connection, std::uint64_t id, int type, char** data) {
  char* name = fetchItemName(connection, id, type);
  if (name == nullptr) return;
  if (char* text = formatInfoText(name)) *data = text;
  hostFunctions.freeMemory(name);
}

void logPluginEvent(std::uint16_t data, const char* message) {
  std::printf("PLUGIN: pluginEvent data = %u\n", static_cast<unsigned>(data));
  if (message != nullptr) std::printf("Message: %s\n", message);
  // Both bytes are two's-complement values: 0x80 is type -128.
  const int type = static_cast<std::int8_t>(data >> 8);
  const int subtype = static_cast<std::int8_t>(data & 0xff);
  std::printf("Type = %d, subtype = %d\n", type, subtype);
  if (type != 1) return;
  for (const TypeOneLine& entry : typeOneLines)
    if (entry.subtype == subtype) std::printf("%s", entry.line);
}

void logCurrentConnectionChange(ConnectionId connection) {
  const ConnectionId current = hostFunctions.getCurrentServerConnectionHandlerID();
  std::printf("PLUGIN: currentServerConnectionChanged %" PRIu64 " (%" PRIu64 ")\n", connection,
              current);
}
