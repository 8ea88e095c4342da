// Shared pieces of the fuzz targets: an input reader, an invariant check, and a scripted
// router socket with a quiet Ui on a virtual clock.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "support/Clocks.h"
#include "support/FakeSocket.h"

// An invariant that must hold for every input; a violation is a finding, so it aborts.
#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (0)

namespace tarnwick::fuzz {

// Reads a fuzz input front to back; past its end every read yields zero or empty.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : data_(reinterpret_cast<const char*>(data)), size_(size) {}

  bool Empty() const { return at_ == size_; }
  std::uint8_t Byte() { return Empty() ? 0 : static_cast<std::uint8_t>(data_[at_++]); }
  // Up to n bytes.
  std::string Bytes(std::size_t n) {
    n = std::min(n, size_ - at_);
    std::string out(data_ + at_, n);
    at_ += n;
    return out;
  }
  // Up to the next zero byte, which is consumed; the rest when there is none.
  std::string Text() {
    if (Empty()) return {};  // data may be null then
    const void* zero = std::memchr(data_ + at_, '\0', size_ - at_);
    std::size_t end =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data_) : size_;
    std::string out(data_ + at_, end - at_);
    at_ = zero ? end + 1 : end;
    return out;
  }

 private:
  const char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A router script on the tests' scripted peer: chunks ready afterMs after the previous one,
// each cut at the receiver's capacity. A held chunk (and all after it) waits until the client
// has sent something. After the last chunk the stream stays silent, closes or fails. Every
// delivered receive and every send is logged so that a target can replay what the client saw.
class ScriptSocket final : public Socket {
 public:
  struct Chunk {
    Millis afterMs;
    std::string bytes;
    bool held;
  };
  enum class End { Silence, Close, Fail };
  struct Received {
    Millis at;
    std::string bytes;
  };
  struct Sent {
    std::size_t afterReceives;
    Millis at;
    std::string bytes;
  };

  ScriptSocket(ManualClock& clock, const std::vector<Chunk>& chunks, End end)
      : clock_(clock), peer_(clock) {
    bool holding = false;
    for (const Chunk& chunk : chunks) {
      if (chunk.held && !holding) peer_.ExpectSend();
      holding = holding || chunk.held;
      peer_.Deliver(chunk.bytes, chunk.afterMs);
    }
    if (end == End::Close) peer_.Close();
    if (end == End::Fail) peer_.Fail();
  }

  bool Create() override { return true; }
  bool Connect(const std::string&, std::uint16_t) override { return true; }
  int Send(const char* data, int length) override {
    sent.push_back(
        {received.size(), clock_.Now(), std::string(data, static_cast<std::size_t>(length))});
    return peer_.Send(data, length);
  }
  int Receive(char* buffer, int capacity, Millis waitMs) override {
    // Callers wait in short slices so that windows keep repainting, and never spin.
    FUZZ_CHECK(waitMs > 0 && waitMs <= 50);
    FUZZ_CHECK(capacity > 0);
    const int got = peer_.Receive(buffer, capacity, waitMs);
    if (got > 0)
      received.push_back({clock_.Now(), std::string(buffer, static_cast<std::size_t>(got))});
    return got;
  }
  void ShutdownSend() override { shutDown = true; }
  void Close() override {}

  std::vector<Received> received;
  std::vector<Sent> sent;
  bool shutDown = false;

 private:
  ManualClock& clock_;
  testing::FakePeer peer_;
};

// Lends a script to a client that owns and destroys its socket, keeping the logs readable.
class BorrowedSocket final : public Socket {
 public:
  explicit BorrowedSocket(ScriptSocket& script) : script_(script) {}
  bool Create() override { return script_.Create(); }
  bool Connect(const std::string& host, std::uint16_t port) override {
    return script_.Connect(host, port);
  }
  int Send(const char* data, int length) override { return script_.Send(data, length); }
  int Receive(char* buffer, int capacity, Millis waitMs) override {
    return script_.Receive(buffer, capacity, waitMs);
  }
  void ShutdownSend() override { script_.ShutdownSend(); }
  void Close() override { script_.Close(); }

 private:
  ScriptSocket& script_;
};

// Reads chunks to the end of the input: a delay byte (times msPerUnit), a length byte, bytes.
// Chunks from index heldFrom on are held until the client sends.
inline std::vector<ScriptSocket::Chunk> ReadChunks(FuzzInput& in, Millis msPerUnit,
                                                   std::size_t heldFrom) {
  std::vector<ScriptSocket::Chunk> chunks;
  while (!in.Empty()) {
    Millis after = in.Byte() * msPerUnit;
    std::string bytes = in.Bytes(in.Byte());
    if (bytes.empty()) continue;  // an empty delivery is no receive
    chunks.push_back({after, std::move(bytes), chunks.size() >= heldFrom});
  }
  return chunks;
}

// Shows nothing and answers OK; keeps the message texts for the targets to check.
class QuietUi final : public Ui {
 public:
  Answer Message(WindowRef, const std::string& text, const std::string& caption, Buttons) override {
    FUZZ_CHECK(caption == "Error");
    messages.push_back(text);
    return Answer::Ok;
  }
  void ShowPossibleErrors() override { messages.push_back("Possible Errors"); }
  std::unique_ptr<WaitWindow> OpenWait(const std::string&) override { return nullptr; }
  void Trace(const std::string&) override {}
  void PumpPaint() override {}

  std::vector<std::string> messages;
};

}  // namespace tarnwick::fuzz
