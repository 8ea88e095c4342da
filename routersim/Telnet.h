// The telnet protocol as a plain server speaks it: the client's option requests answered,
// and option bytes and subnegotiations taken out of what it types.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::routersim {

// A client that says nothing in telnet (the program, a bare socket, a line-mode client) is
// never sent a telnet byte: it sees exactly what a plain text service would send.
class TelnetServerSide {
 public:
  // What the client's erase-character command becomes in the typed text.
  static constexpr char kErase = 0x7f;
  // What a telnet daemon opens with: WILL ECHO, WILL SUPPRESS-GO-AHEAD. A client that agrees
  // sends each key as it is typed and leaves the echo to this side.
  static constexpr const char* kOpening = "\xff\xfb\x01\xff\xfb\x03";

  // Negotiation this side sent before the client said anything: the client's answers to it
  // are acknowledgements, not requests.
  void Sent(std::string_view negotiation);

  // The client's bytes: what it typed goes to typed, the answers to its requests to reply.
  // A sequence cut between calls goes on with the next.
  void Take(std::string_view bytes, std::string& typed, std::string& reply);

  // The client agreed that this side echoes what it types: it shows nothing itself.
  bool Echoing() const { return ours_[kEcho] == State::On; }

 private:
  // Refused: the client said no; it is not offered again unasked.
  enum class State : std::uint8_t { Off, Offered, On, Refused };
  enum class Parse : std::uint8_t { Text, Command, Option, Sub, SubCommand };
  static constexpr std::uint8_t kEcho = 1;

  void Byte(std::uint8_t b, std::string& typed, std::string& reply);
  void Negotiate(std::uint8_t verb, std::uint8_t option, std::string& reply);
  // Once the client has shown it speaks telnet, this side offers what a plain server opens
  // with, once: to echo, and to send no go-aheads.
  void Open(std::string& reply);

  Parse parse_ = Parse::Text;
  std::uint8_t verb_ = 0;
  bool opened_ = false;
  std::array<State, 256> ours_{};    // options this side performs
  std::array<State, 256> theirs_{};  // options the client performs
};

}  // namespace tarnwick::routersim
