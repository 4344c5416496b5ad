// Names that other people chose (any length, any bytes, printf directives) through the info
// panel, and any event data and message text through the event log. The info text must be
// exactly the quoted form with the name up to its first NUL, the name must go back to the
// host exactly once, a failed query must leave the out parameter alone, and standard output
// must hold exactly the expected console lines.
//
// Input, little-endian: flags (bits 0-1 the item type: 0 server, 1 channel, 2 client, 3 the
// int32 that follows; bit 2 the host's query fails; bit 3 the event comes without a message
// text; bit 4 a change of the current server tab follows), int32 item type, uint64 connection,
// uint64 item ID, uint16 event data, uint64 current connection, uint16 name length, the
// name's bytes (NULs included), then the message text up to a NUL or the end.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "plugin/exports.h"
#include "plugin/host_functions.h"

namespace {

enum class Query { none, server, channel, client };

// The fake host's side of one input.
struct HostState {
  bool queriesFail = false;
  std::string name;  // the bytes handed out, terminated by the fake
  ConnectionId current = 0;

  Query asked = Query::none;
  int queries = 0;
  ConnectionId connection = 0;
  std::uint64_t item = 0;
  std::size_t property = 0;
  char* handedOut = nullptr;
  int releases = 0;
};
HostState host;

HostStatus answer(Query query, ConnectionId connection, std::uint64_t item, std::size_t property,
                  char** result) {
  ++host.queries;
  host.asked = query;
  host.connection = connection;
  host.item = item;
  host.property = property;
  if (host.queriesFail) return 1;
  host.handedOut = static_cast<char*>(std::malloc(host.name.size() + 1));
  if (host.handedOut == nullptr) fuzz::fail("out of memory in the fake host");
  std::memcpy(host.handedOut, host.name.data(), host.name.size());
  host.handedOut[host.name.size()] = '\0';
  *result = host.handedOut;
  return 0;
}

HostStatus fakeServerVariable(ConnectionId connection, std::size_t property, char** result) {
  return answer(Query::server, connection, 0, property, result);
}

HostStatus fakeChannelVariable(ConnectionId connection, ChannelId channel, std::size_t property,
                               char** result) {
  return answer(Query::channel, connection, channel, property, result);
}

HostStatus fakeClientVariable(ConnectionId connection, ClientId client, std::size_t property,
                              char** result) {
  return answer(Query::client, connection, client, property, result);
}

HostStatus fakeFreeMemory(void* pointer) {
  fuzz::check(pointer != nullptr && pointer == host.handedOut,
              "host memory released that the host did not hand out");
  fuzz::check(host.releases == 0, "host memory released twice");
  ++host.releases;
  std::free(pointer);
  return 0;
}

ConnectionId fakeCurrentConnection() { return host.current; }

fuzz::CapturedStdout* output;

std::string expectedEventLines(std::uint16_t data, const char* message) {
  std::string lines = "PLUGIN: pluginEvent data = " + std::to_string(data) + "\n";
  if (message != nullptr) lines += "Message: " + std::string(message) + "\n";
  const int type = (data >> 8) >= 0x80 ? (data >> 8) - 0x100 : (data >> 8);
  const int subtype = (data & 0xff) >= 0x80 ? (data & 0xff) - 0x100 : (data & 0xff);
  lines += "Type = " + std::to_string(type) + ", subtype = " + std::to_string(subtype) + "\n";
  if (type != 1) return lines;
  switch (subtype) {
    case 1: return lines + "Micro on\n";
    case 2: return lines + "Micro off\n";
    case 5: return lines + "Speaker on\n";
    case 6: return lines + "Speaker off\n";
    case 7: return lines + "Away on\n";
    case 8: return lines + "Away off\n";
    case 9: return lines + "Activate micro\n";
    case 11: return lines + "Activate speaker\n";
    case 12: return lines + "Activate away\n";
    case 13: return lines + "Deactivate micro\n";
    case 15: return lines + "Deactivate speakers\n";
    case 16: return lines + "Deactivate away\n";
    default: return lines;
  }
}

void checkInfoBlock(ConnectionId connection, std::uint64_t item, int type) {
  char untouched = 0;
  char* const sentinel = &untouched;
  char* text = sentinel;
  ts3plugin_infoData(connection, item, type, &text);

  const bool knownType = type >= 0 && type <= 2;
  if (!knownType) {
    fuzz::check(host.queries == 0, "a name fetched for an unknown item type");
    fuzz::check(text == sentinel, "out parameter written for an unknown item type");
    fuzz::check(output->take() == "Invalid item type: " + std::to_string(type) + "\n",
                "not the invalid-type line");
    return;
  }

  const Query expectedQuery = type == 0   ? Query::server
                              : type == 1 ? Query::channel
                                          : Query::client;
  const std::uint64_t expectedItem = type == 0 ? 0 : type == 1 ? item : (item & 0xffff);
  const std::size_t expectedProperty = type == 1 ? 0 : 1;
  fuzz::check(host.queries == 1 && host.asked == expectedQuery, "not the one query for the type");
  fuzz::check(host.connection == connection && host.item == expectedItem &&
                  host.property == expectedProperty,
              "name asked for with the wrong connection, item or property");

  if (host.queriesFail) {
    const char* line = type == 0   ? "Error getting virtual server name\n"
                       : type == 1 ? "Error getting channel name\n"
                                   : "Error getting client nickname\n";
    fuzz::check(text == sentinel, "out parameter written after a failed query");
    fuzz::check(host.releases == 0, "memory released after a failed query");
    fuzz::check(output->take() == line, "not the failure line for the type");
    return;
  }

  fuzz::check(host.releases == 1, "the fetched name not released exactly once");
  fuzz::check(text != sentinel && text != nullptr, "no info text for a fetched name");
  const std::string expected = "The nickname is \"" + std::string(host.name.c_str()) + "\"";
  fuzz::check(text == expected, "info text is not the quoted name", text);
  ts3plugin_freeMemory(text);
  fuzz::check(output->take().empty(), "console lines for an info block that succeeded");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  HostFunctions table{};
  table.getServerVariableAsString = fakeServerVariable;
  table.getChannelVariableAsString = fakeChannelVariable;
  table.getClientVariableAsString = fakeClientVariable;
  table.freeMemory = fakeFreeMemory;
  table.getCurrentServerConnectionHandlerID = fakeCurrentConnection;
  ts3plugin_setFunctionPointers(table);
  output = new fuzz::CapturedStdout;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const std::uint8_t flags = input.byte();
  const auto otherType = input.integer<std::int32_t>();
  const auto connection = input.integer<ConnectionId>();
  const auto item = input.integer<std::uint64_t>();
  const auto eventData = input.integer<std::uint16_t>();
  const auto current = input.integer<ConnectionId>();
  const auto nameLength = input.integer<std::uint16_t>();
  std::string name;
  for (std::size_t i = 0; i < nameLength && !input.atEnd(); ++i)
    name += static_cast<char>(input.byte());
  const std::string message = input.text();

  host = HostState{};
  host.queriesFail = (flags & 4u) != 0;
  host.name = name;
  host.current = current;
  const int type = (flags & 3u) == 3u ? otherType : (flags & 3);
  checkInfoBlock(connection, item, type);

  const char* messageText = (flags & 8u) != 0 ? nullptr : message.c_str();
  ts3plugin_pluginEvent(eventData, messageText);
  fuzz::check(output->take() == expectedEventLines(eventData, messageText),
              "event log lines differ");

  if ((flags & 16u) != 0) {
    ts3plugin_currentServerConnectionChanged(connection);
    fuzz::check(output->take() == "PLUGIN: currentServerConnectionChanged " +
                                      std::to_string(connection) + " (" + std::to_string(current) +
                                      ")\n",
                "connection change line differs");
  }
  return 0;
}
