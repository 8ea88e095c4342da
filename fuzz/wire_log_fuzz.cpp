// Fuzz target for the session log: router bytes cut into receives at random, with lines typed
// between them. No password may reach the log, and every log line is one line of plain text.
//
// Input: the log-in password up to a zero byte (mapped to the letters a..w, so that no time,
// mark or escape can spell it), then steps: a kind (even: a receive, odd: a send), a length
// and the bytes.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "channel/WireLog.h"
#include "fuzz/FuzzSupport.h"

namespace {

using namespace tarnwick;

// Hands out what the target queues, one receive at a time.
class QueueSocket final : public Socket {
 public:
  explicit QueueSocket(std::deque<std::string>& queue) : queue_(queue) {}
  bool Create() override { return true; }
  bool Connect(const std::string&, std::uint16_t) override { return true; }
  int Send(const char*, int length) override { return length; }
  int Receive(char* buffer, int capacity, Millis) override {
    if (queue_.empty()) return kTimedOut;
    const std::string bytes = queue_.front().substr(0, static_cast<std::size_t>(capacity));
    queue_.pop_front();
    std::copy(bytes.begin(), bytes.end(), buffer);
    return static_cast<int>(bytes.size());
  }
  void ShutdownSend() override {}
  void Close() override {}

 private:
  std::deque<std::string>& queue_;
};

class QueueFactory final : public SocketFactory {
 public:
  std::unique_ptr<Socket> Make() override { return std::make_unique<QueueSocket>(queue); }
  std::deque<std::string> queue;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarnwick::fuzz::FuzzInput in(data, size);
  std::string password = in.Text();
  for (char& c : password) c = static_cast<char>('a' + static_cast<unsigned char>(c) % 23);
  if (password.empty()) password = "admin";

  std::vector<std::string> lines;
  WireLog log([&lines](const std::string& line) { lines.push_back(line); });
  QueueFactory inner;
  LoggingSocketFactory sockets(inner, log);
  {
    std::unique_ptr<Socket> socket = sockets.Make();
    socket->Create();
    socket->Connect("127.0.0.1", 23);
    const std::string typed = password + "\r\n";
    socket->Send(typed.data(), static_cast<int>(typed.size()));
    while (!in.Empty()) {
      const bool send = in.Byte() % 2 == 1;
      const std::string bytes = in.Bytes(in.Byte());
      if (send) {
        socket->Send(bytes.data(), static_cast<int>(bytes.size()));
      } else {
        inner.queue.push_back(bytes);
        char buffer[256];
        socket->Receive(buffer, sizeof buffer, 0);
      }
    }
    socket->Close();
  }

  for (const std::string& line : lines) {
    FUZZ_CHECK(line.size() >= 26 && line[24] == ' ');
    const std::string text = line.substr(25);
    // Notes of the connection itself are the log's own words.
    if (text[0] != '*') FUZZ_CHECK(text.find(password) == std::string::npos);
    for (char c : text) FUZZ_CHECK(c >= 0x20 && c < 0x7F);
  }
  return 0;
}
