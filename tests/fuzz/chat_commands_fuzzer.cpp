// Any text typed after the chat keyword, against a fake host whose queries succeed or fail as
// the input says. A model kept here, from the command's words, predicts the result (0 exactly
// when word 0 is a sub-command), every call into the host with its arguments, the return-code
// slots and the console lines. Every text the plugin hands over must be terminated, and the
// buffers it lends the host are filled to their whole size, so that one smaller than agreed
// shows. The host's reply texts must come back whole in the reply lines.
//
// Input, little-endian: flags (bit 0 getClientID fails, bit 1 getChannelOfClient fails, bit 2
// requestClientMove fails, bit 3 getServerConnectInfo fails, bit 4 getChannelConnectInfo
// fails, bit 5 the host leaves its reply unterminated; bits 6-7 before the command: 1 the
// host registers a plugin ID, 2 shuts the plugin down, 3 starts it up), uint16 own client ID,
// uint64 own channel ID, uint16 server port, uint64 connection, uint64 current connection,
// the command text up to a NUL, then the host's reply text (server host and channel path).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands/chat_commands.h"
#include "fuzz_support.h"
#include "plugin/exports.h"
#include "plugin/host_functions.h"
#include "plugin/lifecycle.h"

namespace {

constexpr const char* fuzzPluginId = "duckvolt.fuzz-plugin-id";
constexpr std::size_t serverHostContract = 256;
constexpr std::size_t channelPathContract = 512;

using Slots = std::vector<std::string>;

Slots slotTexts() {
  Slots texts;
  for (const char* slot : moveReturnCodeSlots) {
    const std::size_t length = strnlen(slot, moveReturnCodeSlotSize);
    fuzz::check(length < moveReturnCodeSlotSize, "a return-code slot without a terminator");
    texts.emplace_back(slot, length);
  }
  return texts;
}

std::size_t firstFreeSlot(const Slots& slots) {
  std::size_t i = 0;
  while (i < slots.size() && !slots[i].empty()) ++i;
  return i;
}

// The fake host's answers for one input, and what the plugin asked of it.
struct HostState {
  bool clientIdFails = false;
  bool channelFails = false;
  bool moveFails = false;
  bool serverInfoFails = false;
  bool channelInfoFails = false;
  bool leavesUnterminated = false;
  ClientId ownId = 0;
  ChannelId ownChannel = 0;
  std::uint16_t port = 0;
  ConnectionId current = 0;
  std::string reply;

  Slots slotsBefore;
  std::vector<std::string> calls;
  std::string returnCode;  // as passed with the move request
};
HostState host;

std::string number(std::uint64_t value) { return std::to_string(value); }

// The texts the plugin hands over are read as C texts: one that is not terminated inside its
// buffer makes AddressSanitizer stop the run here.
std::string taken(const char* text) {
  return text == nullptr ? "(null)" : "'" + std::string(text) + "'";
}

void record(std::string call) { host.calls.push_back(std::move(call)); }

// Fills the whole buffer the plugin lent: the reply and its terminator, or, from a host that
// misbehaves, the reply repeated to the last byte with no terminator at all.
void fillBuffer(char* buffer, std::size_t size) {
  const std::string& reply = host.reply;
  if (host.leavesUnterminated) {
    for (std::size_t i = 0; i < size; ++i)
      buffer[i] = reply.empty() ? 'x' : reply[i % reply.size()];
    return;
  }
  const std::size_t length = std::min(reply.size(), size - 1);
  std::memcpy(buffer, reply.data(), length);
  buffer[length] = '\0';
  std::memset(buffer + length + 1, '#', size - length - 1);
}

// What a reply line must show of the host's text: all of it, or from an unterminated buffer
// everything but its last byte.
std::string shownReply(std::size_t size) {
  std::string filled(size, '\0');
  fillBuffer(filled.data(), size);
  return std::string(filled.c_str(), strnlen(filled.c_str(), size - 1));
}

HostStatus fakeGetClientId(ConnectionId connection, ClientId* result) {
  record("getClientID " + number(connection));
  if (host.clientIdFails) return 1;
  *result = host.ownId;
  return 0;
}

HostStatus fakeGetChannelOfClient(ConnectionId connection, ClientId client, ChannelId* result) {
  record("getChannelOfClient " + number(connection) + " " + number(client));
  if (host.channelFails) return 1;
  *result = host.ownChannel;
  return 0;
}

HostStatus fakeRequestClientMove(ConnectionId connection, ClientId client, ChannelId channel,
                                 const char* password, const char* returnCode) {
  record("requestClientMove " + number(connection) + " " + number(client) + " " + number(channel) +
         " " + taken(password));
  fuzz::check(returnCode != nullptr, "no return code with the move request");
  host.returnCode = returnCode;
  fuzz::check(host.returnCode.size() < moveReturnCodeSlotSize, "return code longer than its slot");
  Slots expected = host.slotsBefore;
  const std::size_t slot = firstFreeSlot(expected);
  if (slot < expected.size()) expected[slot] = host.returnCode;
  fuzz::check(slotTexts() == expected, "return code not in the first free slot at the request");
  return host.moveFails ? 1 : 0;
}

HostStatus fakeLogMessage(const char* message, int severity, const char* channel,
                          ConnectionId connection) {
  record("logMessage " + taken(message) + " " + std::to_string(severity) + " " + taken(channel) +
         " " + number(connection));
  return 0;
}

HostStatus fakePrintToTab(const char* message) {
  record("print " + taken(message));
  return 0;
}

void fakeSendPluginCommand(ConnectionId connection, const char* pluginId, const char* command,
                           int targetMode, const ClientId* targets) {
  record("sendPluginCommand " + number(connection) + " " + taken(pluginId) + " " + taken(command) +
         " " + std::to_string(targetMode) + (targets ? " targets" : " none"));
}

HostStatus fakeServerConnectInfo(ConnectionId connection, char* hostName, std::uint16_t* port,
                                 char* password, std::size_t size) {
  record("getServerConnectInfo " + number(connection) + " " + number(size));
  fuzz::check(size == serverHostContract && hostName != nullptr && port != nullptr,
              "server host buffer not as agreed");
  if (host.serverInfoFails) return 1;
  fillBuffer(hostName, size);
  if (password != nullptr) password[0] = '\0';
  *port = host.port;
  return 0;
}

HostStatus fakeChannelConnectInfo(ConnectionId connection, ChannelId channel, char* path,
                                  char* password, std::size_t size) {
  record("getChannelConnectInfo " + number(connection) + " " + number(channel) + " " +
         number(size));
  fuzz::check(size == channelPathContract && path != nullptr, "channel path buffer not as agreed");
  if (host.channelInfoFails) return 1;
  fillBuffer(path, size);
  if (password != nullptr) password[0] = '\0';
  return 0;
}

ConnectionId fakeCurrentConnection() { return host.current; }
int fakeApiVersion() { return 11; }
void fakePath(char* path, std::size_t size) {
  fuzz::check(size > 5, "path buffer too small");
  std::memcpy(path, "/fuzz", 6);
}

// The words of a command: split at the space character only.
std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> result;
  std::string word;
  for (const char c : text) {
    if (c != ' ') {
      word += c;
    } else if (!word.empty()) {
      result.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) result.push_back(word);
  return result;
}

// A channel ID as typed: strtoll's reading (white space, sign, decimal digits, 0 without
// digits), held to the signed 32-bit range, then widened with its sign.
ChannelId channelIdOf(const std::string& word) {
  long long value = std::strtoll(word.c_str(), nullptr, 10);
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<ChannelId>(static_cast<std::int64_t>(value));
}

struct Expected {
  int result = 1;
  std::vector<std::string> calls;
  std::string console;
  Slots slots;
};

Expected model(ConnectionId connection, const std::string& text, const char* pluginId) {
  Expected expected;
  expected.console = "PLUGIN: process command: '" + text + "'\n";
  expected.slots = host.slotsBefore;
  const std::vector<std::string> w = words(text);
  if (w.empty()) return expected;
  const std::string& name = w[0];
  if (name != "join" && name != "command" && name != "serverinfo" && name != "channelinfo")
    return expected;
  expected.result = 0;
  auto call = [&expected](std::string c) { expected.calls.push_back(std::move(c)); };
  auto logged = [&](const char* message, int severity) {
    call("logMessage '" + std::string(message) + "' " + std::to_string(severity) + " 'Plugin' " +
         number(connection));
  };

  if (name == "join") {
    if (w.size() < 2) {
      call("print 'Missing channel ID parameter.'");
      return expected;
    }
    call("getClientID " + number(connection));
    if (host.clientIdFails) {
      logged("Error querying client ID", 1);
      return expected;
    }
    const std::string password = w.size() > 2 ? w.back() : "";
    call("requestClientMove " + number(connection) + " " + number(host.ownId) + " " +
         number(channelIdOf(w[1])) + " '" + password + "'");
    if (host.moveFails) {
      logged("Error requesting client move", 4);
    } else {
      const std::size_t slot = firstFreeSlot(expected.slots);
      if (slot < expected.slots.size()) expected.slots[slot] = host.returnCode;
    }
  } else if (name == "command") {
    if (w.size() < 2) {
      call("print 'Missing command parameter.'");
    } else if (pluginId == nullptr) {
      expected.console += "PLUGIN: Failed to send plugin command, was not registered.\n";
    } else {
      expected.console += "PLUGIN: Sending plugin command to current channel: " + w[1] + "\n";
      call("sendPluginCommand " + number(connection) + " '" + pluginId + "' '" + w[1] + "' 0 none");
    }
  } else if (name == "serverinfo") {
    call("getServerConnectInfo " + number(host.current) + " " + number(serverHostContract));
    call(host.serverInfoFails ? "print 'No server connect info available.'"
                              : "print 'Server Connect Info: " + shownReply(serverHostContract) +
                                    ":" + number(host.port) + "'");
  } else {
    call("getClientID " + number(connection));
    if (host.clientIdFails) {
      logged("Error querying client ID", 1);
      return expected;
    }
    call("getChannelOfClient " + number(connection) + " " + number(host.ownId));
    if (host.channelFails) {
      logged("Error querying channel ID", 1);
      return expected;
    }
    call("getChannelConnectInfo " + number(host.current) + " " + number(host.ownChannel) + " " +
         number(channelPathContract));
    call(host.channelInfoFails
             ? "print 'No channel connect info available.'"
             : "print 'Channel Connect Info: " + shownReply(channelPathContract) + "'");
  }
  return expected;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += "\n    " + line;
  return all;
}

fuzz::CapturedStdout* output;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  HostFunctions table{};
  table.getClientID = fakeGetClientId;
  table.getChannelOfClient = fakeGetChannelOfClient;
  table.requestClientMove = fakeRequestClientMove;
  table.logMessage = fakeLogMessage;
  table.printMessageToCurrentTab = fakePrintToTab;
  table.sendPluginCommand = fakeSendPluginCommand;
  table.getServerConnectInfo = fakeServerConnectInfo;
  table.getChannelConnectInfo = fakeChannelConnectInfo;
  table.getCurrentServerConnectionHandlerID = fakeCurrentConnection;
  table.getAPIVersion = fakeApiVersion;
  table.getAppPath = fakePath;
  table.getResourcesPath = fakePath;
  table.getConfigPath = fakePath;
  table.getPluginPath = fakePath;
  ts3plugin_setFunctionPointers(table);
  output = new fuzz::CapturedStdout;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const std::uint8_t flags = input.byte();
  host = HostState{};
  host.clientIdFails = (flags & 1u) != 0;
  host.channelFails = (flags & 2u) != 0;
  host.moveFails = (flags & 4u) != 0;
  host.serverInfoFails = (flags & 8u) != 0;
  host.channelInfoFails = (flags & 16u) != 0;
  host.leavesUnterminated = (flags & 32u) != 0;
  host.ownId = input.integer<ClientId>();
  host.ownChannel = input.integer<ChannelId>();
  host.port = input.integer<std::uint16_t>();
  const auto connection = input.integer<ConnectionId>();
  host.current = input.integer<ConnectionId>();
  const std::string command = input.text();
  host.reply = input.text();

  switch (flags >> 6) {
    case 1: ts3plugin_registerPluginID(fuzzPluginId); break;
    case 2: ts3plugin_shutdown(); break;
    case 3: ts3plugin_init(); break;
    default: break;
  }
  (void)output->take();

  // What the inputs before left: the registered ID and the slots are the plugin's to keep.
  const char* pluginId = registeredPluginId();
  fuzz::check(pluginId == nullptr || std::strcmp(pluginId, fuzzPluginId) == 0,
              "registered plugin ID changed");
  host.slotsBefore = slotTexts();

  const int result = ts3plugin_processCommand(connection, command.c_str());
  const Expected expected = model(connection, command, pluginId);

  fuzz::check(result == expected.result, "result differs from the sub-command of word 0");
  if (host.calls != expected.calls)
    fuzz::fail("host calls differ",
               "made:" + joined(host.calls) + "\n  expected:" + joined(expected.calls));
  fuzz::check(output->take() == expected.console, "console lines differ");
  fuzz::check(slotTexts() == expected.slots, "return-code slots differ");
  return 0;
}
