// Fuzz target for ConnectAndLogin: a router script from the input on a virtual clock, and
// the outcome checked against a replay of the receives and sends of the log-in.
//
// Input: the index of the first chunk held until the password is sent (byte), end of stream
// (byte: silence, close, fail), then chunks as a delay (byte, times 25 ms), a length (byte)
// and the bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "channel/CommandChannel.h"
#include "fuzz/FuzzSupport.h"

namespace {

using namespace tarnwick;
using namespace tarnwick::fuzz;

constexpr Millis kPauses = 600;  // before create, connect and the password wait
constexpr Millis kWaitLimit = 5000;
constexpr Millis kSettleLimit = CommandChannel::kSettleLimitMs;

class OneSocket final : public SocketFactory {
 public:
  explicit OneSocket(ScriptSocket& script) : script_(script) {}
  std::unique_ptr<Socket> Make() override {
    FUZZ_CHECK(!made_);  // one log-in, one socket
    made_ = true;
    return std::make_unique<BorrowedSocket>(script_);
  }

 private:
  ScriptSocket& script_;
  bool made_ = false;
};

// The first receive after which needle stands in the stream at or after from, and where.
struct Found {
  std::size_t receive;
  std::size_t at;
};
Found FindInStream(const std::vector<ScriptSocket::Received>& received, const std::string& needle,
                   std::size_t from) {
  std::string stream;
  for (std::size_t i = 0; i < received.size(); ++i) {
    stream += received[i].bytes;
    if (stream.size() >= from) {
      std::size_t at = stream.find(needle, from);
      if (at != std::string::npos) return {i, at};
    }
  }
  return {received.size(), std::string::npos};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::size_t heldFrom = in.Byte();
  const auto end = static_cast<ScriptSocket::End>(in.Byte() % 3);
  ManualClock clock;
  ScriptSocket socket(clock, ReadChunks(in, 25, heldFrom), end);
  OneSocket sockets(socket);
  QuietUi ui;
  CommandChannel channel(sockets, clock, ui);
  channel.RouterAddress = "127.0.0.1";
  channel.RouterPassword = "admin";

  const bool loggedIn = channel.ConnectAndLogin();

  const auto& received = socket.received;
  const auto& sent = socket.sent;
  FUZZ_CHECK(loggedIn == (channel.TelnetSocket() != nullptr));
  FUZZ_CHECK(loggedIn == ui.messages.empty());
  FUZZ_CHECK(ui.messages.size() <= 1);

  // The password goes out right after the receive that completes "password", if that
  // receive came within the limit of the first wait.
  Found request = FindInStream(received, "password", 0);
  bool requestInTime =
      request.receive < received.size() && received[request.receive].at - kPauses <= kWaitLimit;
  if (!requestInTime) {
    FUZZ_CHECK(!loggedIn && sent.empty());
    FUZZ_CHECK(ui.messages[0] == "Timeout trying to get password acknowledgement\n");
    FUZZ_CHECK(clock.Now() - kPauses > kWaitLimit && clock.Now() - kPauses <= kWaitLimit + 100);
    return 0;
  }
  FUZZ_CHECK(!sent.empty() && sent[0].bytes == "admin\r\n");
  FUZZ_CHECK(sent[0].afterReceives == request.receive + 1);

  // The prompt counts only after the request; "home " follows the receive that brings it.
  const Millis passwordAt = sent[0].at;
  Found prompt = FindInStream(received, ">", request.at + 8);
  bool promptInTime =
      prompt.receive < received.size() && received[prompt.receive].at - passwordAt <= kWaitLimit;
  FUZZ_CHECK(loggedIn == promptInTime);
  if (loggedIn) {
    FUZZ_CHECK(sent.size() == 2 && sent[1].bytes == "home \r\n");
    FUZZ_CHECK(sent[1].afterReceives == prompt.receive + 1);
    // Then its answer is read (receives up to a zero byte) to a prompt after its echo, or 1 s.
    std::string answer;
    std::size_t last = prompt.receive;
    while (++last < received.size()) {
      answer.append(received[last].bytes, 0, received[last].bytes.find('\0'));
      const std::size_t echo = answer.find("home \r\n");
      if (echo != std::string::npos && answer.find('>', echo) != std::string::npos) break;
    }
    const Millis waited = clock.Now() - sent[1].at;
    if (last < received.size() && received[last].at - sent[1].at <= kSettleLimit)
      FUZZ_CHECK(received.size() == last + 1);  // nothing read past the answer
    else
      FUZZ_CHECK(waited > kSettleLimit && waited <= kSettleLimit + 100);
  } else {
    FUZZ_CHECK(sent.size() == 1 && socket.shutDown);
    FUZZ_CHECK(ui.messages[0] == "Unable to receive message from modem for login via Telnet");
    FUZZ_CHECK(clock.Now() - passwordAt > kWaitLimit &&
               clock.Now() - passwordAt <= kWaitLimit + 100);
  }
  return 0;
}
