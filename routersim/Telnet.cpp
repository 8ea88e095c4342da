// Telnet commands and option negotiation, server side.
#include "routersim/Telnet.h"

namespace tarnwick::routersim {
namespace {

constexpr std::uint8_t kSe = 240;
constexpr std::uint8_t kEc = 247;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kIac = 255;
constexpr std::uint8_t kSuppressGoAhead = 3;

// This side echoes, and never sends go-aheads; the client may stop sending them too.
// Everything else is refused.
bool WePerform(std::uint8_t option) { return option == 1 || option == kSuppressGoAhead; }
bool TheyMayPerform(std::uint8_t option) { return option == kSuppressGoAhead; }

void Say(std::string& reply, std::uint8_t verb, std::uint8_t option) {
  reply += static_cast<char>(kIac);
  reply += static_cast<char>(verb);
  reply += static_cast<char>(option);
}

}  // namespace

void TelnetServerSide::Sent(std::string_view negotiation) {
  for (std::size_t i = 0; i + 2 < negotiation.size(); i += 3) {
    if (static_cast<std::uint8_t>(negotiation[i]) != kIac) break;
    const auto verb = static_cast<std::uint8_t>(negotiation[i + 1]);
    const auto option = static_cast<std::uint8_t>(negotiation[i + 2]);
    if (verb == kWill) ours_[option] = State::Offered;
    if (verb == kDo) theirs_[option] = State::Offered;
    opened_ = true;
  }
}

void TelnetServerSide::Take(std::string_view bytes, std::string& typed, std::string& reply) {
  for (char c : bytes) Byte(static_cast<std::uint8_t>(c), typed, reply);
}

void TelnetServerSide::Byte(std::uint8_t b, std::string& typed, std::string& reply) {
  switch (parse_) {
    case Parse::Text:
      if (b == kIac)
        parse_ = Parse::Command;
      else
        typed += static_cast<char>(b);
      return;
    case Parse::Command:
      parse_ = Parse::Text;
      if (b == kIac) {
        typed += static_cast<char>(b);  // a doubled IAC is the byte itself
        return;
      }
      if (b >= kWill && b <= kDont) {
        verb_ = b;
        parse_ = Parse::Option;
        return;
      }
      if (b == kSb) parse_ = Parse::Sub;
      if (b == kEc) typed += kErase;
      // Other commands (no-op, break, interrupt, are-you-there, ...) are taken out.
      Open(reply);
      return;
    case Parse::Option:
      parse_ = Parse::Text;
      Negotiate(verb_, b, reply);
      Open(reply);
      return;
    case Parse::Sub:
      if (b == kIac) parse_ = Parse::SubCommand;
      return;
    case Parse::SubCommand:
      if (b == kIac) {
        parse_ = Parse::Sub;  // a doubled IAC inside the subnegotiation
        return;
      }
      // Whatever follows the IAC ends the subnegotiation; anything but SE is a command.
      parse_ = b == kSe ? Parse::Text : Parse::Command;
      if (b != kSe) Byte(b, typed, reply);
      return;
  }
}

void TelnetServerSide::Negotiate(std::uint8_t verb, std::uint8_t option, std::string& reply) {
  State& ours = ours_[option];
  State& theirs = theirs_[option];
  switch (verb) {
    case kDo:
      if (ours == State::On) return;
      if (ours == State::Offered) {
        ours = State::On;
      } else if (WePerform(option)) {
        ours = State::On;
        Say(reply, kWill, option);
      } else {
        Say(reply, kWont, option);
      }
      return;
    case kDont:
      if (ours == State::On) Say(reply, kWont, option);  // an offer refused needs no answer
      ours = State::Refused;
      return;
    case kWill:
      if (theirs == State::On) return;
      if (theirs == State::Offered) {
        theirs = State::On;
      } else if (TheyMayPerform(option)) {
        theirs = State::On;
        Say(reply, kDo, option);
      } else {
        Say(reply, kDont, option);
      }
      return;
    default:  // WONT
      if (theirs == State::On) Say(reply, kDont, option);
      theirs = State::Refused;
      return;
  }
}

void TelnetServerSide::Open(std::string& reply) {
  if (opened_) return;
  opened_ = true;
  for (std::uint8_t option : {kEcho, kSuppressGoAhead}) {
    if (ours_[option] != State::Off) continue;
    ours_[option] = State::Offered;
    Say(reply, kWill, option);
  }
}

}  // namespace tarnwick::routersim
