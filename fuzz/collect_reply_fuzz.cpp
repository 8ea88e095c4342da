// Fuzz target for CollectReply: a router script from the input on a virtual clock, and the
// result checked against a replay of the receives the collection saw.
//
// Input: limit (byte, times 100 ms), receive size (byte: 0 is 2048, else one less), end of
// stream (byte: silence, close, fail), echo length (byte) and echo, then chunks as a delay
// (byte, times 10 ms), a length (byte) and the bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "channel/CommandChannel.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarnwick;
  using namespace tarnwick::fuzz;
  FuzzInput in(data, size);
  const Millis limit = in.Byte() * Millis{100};
  const std::uint8_t sizeCode = in.Byte();
  const int receiveSize = sizeCode == 0 ? 2048 : sizeCode - 1;
  const auto end = static_cast<ScriptSocket::End>(in.Byte() % 3);
  const std::string echo = in.Bytes(in.Byte());
  ManualClock clock;
  ScriptSocket socket(clock, ReadChunks(in, 10, SIZE_MAX), end);
  QuietUi ui;

  std::optional<std::string> reply = CollectReply(socket, clock, ui, echo, receiveSize, limit);

  FUZZ_CHECK(ui.messages.empty());  // the callers report
  FUZZ_CHECK(socket.sent.empty());
  // Each receive adds its bytes up to the first zero; the reply is complete after the first
  // receive that leaves the echo and a ">" at or after it in the stream.
  std::string stream;
  std::size_t completedBy = socket.received.size();
  std::size_t echoAt = std::string::npos;
  for (std::size_t i = 0; i < socket.received.size(); ++i) {
    const std::string& bytes = socket.received[i].bytes;
    stream.append(bytes.data(), strnlen(bytes.data(), bytes.size()));
    echoAt = stream.find(echo);
    if (echoAt != std::string::npos && stream.find('>', echoAt) != std::string::npos) {
      completedBy = i;
      break;
    }
  }
  if (completedBy < socket.received.size()) {
    FUZZ_CHECK(completedBy + 1 == socket.received.size());  // nothing read past the reply
    bool inTime = socket.received[completedBy].at <= limit;
    FUZZ_CHECK(reply.has_value() == inTime);
    if (reply) FUZZ_CHECK(*reply == stream.substr(echoAt));
  } else {
    FUZZ_CHECK(!reply);
  }
  if (!reply) FUZZ_CHECK(clock.Now() > limit && clock.Now() <= limit + 100);
  return 0;
}
