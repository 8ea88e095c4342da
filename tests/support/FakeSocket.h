// A scripted peer behind fake sockets on a virtual clock, for byte-level channel tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "channel/Socket.h"
#include "support/Clocks.h"

namespace tarnwick::testing {

// A scripted peer on a ManualClock. The script runs in order: Deliver makes bytes
// available `afterMs` after the previous step became ready, Expect holds the script until
// the client has sent the given text (ExpectSend: anything), Close and Fail end the stream
// (receives return 0 or -1 from then on). An exhausted or held script is silence. Each
// Deliver is one receive (cut at the receiver's capacity), so the script fixes the chunking.
class FakePeer {
 public:
  struct Step {
    enum Kind { Deliver, Expect, ExpectSend, Close, Fail } kind;
    std::string bytes;
    Millis afterMs = 0;
  };

  explicit FakePeer(ManualClock& clock) : clock_(clock) {}

  FakePeer& Deliver(std::string bytes, Millis afterMs = 0) {
    steps.push_back({Step::Deliver, std::move(bytes), afterMs});
    return *this;
  }
  FakePeer& Expect(std::string sentText) {
    steps.push_back({Step::Expect, std::move(sentText), 0});
    return *this;
  }
  FakePeer& ExpectSend() {
    steps.push_back({Step::ExpectSend, {}, 0});
    return *this;
  }
  FakePeer& Close(Millis afterMs = 0) {
    steps.push_back({Step::Close, {}, afterMs});
    return *this;
  }
  FakePeer& Fail(Millis afterMs = 0) {
    steps.push_back({Step::Fail, {}, afterMs});
    return *this;
  }
  // A log-in dialogue that succeeds with password "admin" and swallows "home ".
  FakePeer& Login(const std::string& password = "admin") {
    return Deliver("\r\nEnter password: ")
        .Expect(password + "\r\n")
        .Deliver("\r\nRouter> ")
        .Expect("home \r\n")
        .Deliver("home \r\nRouter> ");
  }

  // Re-cuts every Deliver into pieces (sizes from cut, called with the remaining length);
  // the timing of the first piece is kept, the rest follow at once.
  template <typename Cut>
  void Rechunk(Cut cut) {
    std::vector<Step> out;
    for (const Step& s : steps) {
      if (s.kind != Step::Deliver || s.bytes.size() <= 1) {
        out.push_back(s);
        continue;
      }
      std::size_t at = 0;
      bool first = true;
      while (at < s.bytes.size()) {
        std::size_t n = std::clamp<std::size_t>(cut(s.bytes.size() - at), 1, s.bytes.size() - at);
        out.push_back({Step::Deliver, s.bytes.substr(at, n), first ? s.afterMs : 0});
        at += n;
        first = false;
      }
    }
    steps = std::move(out);
    cursor_ = 0;
  }

  // --- the socket side ---
  int Receive(char* buffer, int capacity, Millis waitMs) {
    ++receives;
    if (endResult_) return *endResult_;
    ResolveExpects();
    if (cursor_ >= steps.size() || steps[cursor_].kind == Step::Expect ||
        steps[cursor_].kind == Step::ExpectSend)
      return Silence(waitMs);
    Step& s = steps[cursor_];
    Millis readyAt = lastReady_ + s.afterMs;
    Millis now = clock_.Now();
    if (readyAt > now + waitMs) return Silence(waitMs);
    if (readyAt > now) clock_.Advance(readyAt - now);
    if (s.kind == Step::Close || s.kind == Step::Fail) {
      endResult_ = s.kind == Step::Close ? 0 : -1;
      return *endResult_;
    }
    std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(capacity), s.bytes.size() - offset_);
    std::memcpy(buffer, s.bytes.data() + offset_, n);
    offset_ += n;
    if (offset_ == s.bytes.size()) {
      offset_ = 0;
      lastReady_ = readyAt;
      ++cursor_;
    }
    return static_cast<int>(n);
  }

  int Send(const char* data, int length) {
    if (static_cast<int>(sent.size()) == failSendAt) {
      sent.emplace_back();
      return -1;
    }
    sent.emplace_back(data, static_cast<std::size_t>(length));
    if (!firstSendAt_) firstSendAt_ = clock_.Now();
    pending_ += sent.back();
    sendEnds_.push_back({pending_.size(), clock_.Now()});
    ResolveExpects();
    return length;
  }

  // Every send joined, failed ones excluded.
  std::string SentText() const {
    std::string all;
    for (const auto& s : sent) all += s;
    return all;
  }

  std::vector<Step> steps;
  std::vector<std::string> sent;  // one entry per Send call (empty for a failed one)
  int failSendAt = -1;            // index of the Send call that fails
  bool createFails = false;
  bool connectFails = false;
  std::string connectedHost;
  std::uint16_t connectedPort = 0;
  bool created = false;
  bool shutDown = false;
  bool closed = false;
  bool destroyed = false;
  int receives = 0;

 private:
  // Text the client sent before the script reached its Expect still counts.
  void ResolveExpects() {
    while (cursor_ < steps.size()) {
      if (steps[cursor_].kind == Step::ExpectSend && firstSendAt_) {
        lastReady_ = std::max(lastReady_, *firstSendAt_);
        ++cursor_;
        continue;
      }
      if (steps[cursor_].kind != Step::Expect) break;
      std::size_t at = pending_.find(steps[cursor_].bytes);
      if (at == std::string::npos) break;
      // Ready from the send that completed the match, even if the script got here later.
      std::size_t end = at + steps[cursor_].bytes.size();
      Millis sentAt = clock_.Now();
      for (const auto& [sendEnd, time] : sendEnds_) {
        if (sendEnd >= end) {
          sentAt = time;
          break;
        }
      }
      lastReady_ = std::max(lastReady_, sentAt);
      pending_.erase(0, end);
      std::vector<std::pair<std::size_t, Millis>> kept;
      for (const auto& [sendEnd, time] : sendEnds_) {
        if (sendEnd > end) kept.push_back({sendEnd - end, time});
      }
      sendEnds_ = std::move(kept);
      ++cursor_;
    }
  }

  int Silence(Millis waitMs) {
    clock_.Advance(std::max<Millis>(waitMs, 0));
    return Socket::kTimedOut;
  }

  ManualClock& clock_;
  std::size_t cursor_ = 0;
  std::size_t offset_ = 0;
  Millis lastReady_ = 0;
  std::string pending_;                                   // sent, not yet matched
  std::vector<std::pair<std::size_t, Millis>> sendEnds_;  // end in pending_, time of send
  std::optional<int> endResult_;                          // set once closed or failed
  std::optional<Millis> firstSendAt_;
};

class FakeSocket final : public Socket {
 public:
  explicit FakeSocket(std::shared_ptr<FakePeer> peer) : peer_(std::move(peer)) {}
  ~FakeSocket() override { peer_->destroyed = true; }
  bool Create() override {
    peer_->created = !peer_->createFails;
    return peer_->created;
  }
  bool Connect(const std::string& host, std::uint16_t port) override {
    peer_->connectedHost = host;
    peer_->connectedPort = port;
    return !peer_->connectFails;
  }
  int Send(const char* data, int length) override { return peer_->Send(data, length); }
  int Receive(char* buffer, int capacity, Millis waitMs) override {
    return peer_->Receive(buffer, capacity, waitMs);
  }
  void ShutdownSend() override { peer_->shutDown = true; }
  void Close() override { peer_->closed = true; }

 private:
  std::shared_ptr<FakePeer> peer_;
};

// Hands out one scripted peer per Make, in order; null once they run out or when told to.
class FakeSocketFactory final : public SocketFactory {
 public:
  explicit FakeSocketFactory(ManualClock& clock) : clock_(clock) {}
  FakePeer& AddPeer() {
    peers.push_back(std::make_shared<FakePeer>(clock_));
    return *peers.back();
  }
  std::unique_ptr<Socket> Make() override {
    if (makeFails || next_ >= peers.size()) return nullptr;
    return std::make_unique<FakeSocket>(peers[next_++]);
  }

  std::vector<std::shared_ptr<FakePeer>> peers;
  bool makeFails = false;

 private:
  ManualClock& clock_;
  std::size_t next_ = 0;
};

// Chunkings of the same bytes for tests whose outcome must not depend on them.
enum class Chunking { AsScripted, OneByte, Random };

inline void ApplyChunking(FakePeer& peer, Chunking chunking, unsigned seed = 1) {
  if (chunking == Chunking::OneByte) {
    peer.Rechunk([](std::size_t) { return std::size_t{1}; });
  } else if (chunking == Chunking::Random) {
    std::mt19937 random(seed);
    peer.Rechunk([&random](std::size_t left) {
      return std::uniform_int_distribution<std::size_t>(1, std::min<std::size_t>(left, 64))(random);
    });
  }
}

}  // namespace tarnwick::testing
