// The one telnet connection to the router and the reply collection the pages share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "channel/Clock.h"
#include "channel/Socket.h"
#include "channel/Ui.h"

namespace tarnwick {

// Longest reply CollectReply keeps: far beyond any real listing, a bound against a router
// that floods without a prompt.
constexpr std::size_t kMaxReplyBytes = 8u << 20;

// Collects a reply on a socket until the echo text and a prompt (">") at or after it have
// both arrived, with every receive bounded by what remains of the limit. Linear in the
// reply's size. Used by the channel and by the pages that run their own listing loops.
// Returns the text from the echo on, or nullopt when the limit passed first (the elapsed
// time is tested after every receive, so a reply completed after the limit is a time-out)
// or the reply would grow past kMaxReplyBytes, which callers treat as a time-out.
std::optional<std::string> CollectReply(Socket& socket, Clock& clock, Ui& ui,
                                        const std::string& echo, int receiveSize, Millis limitMs);

// Waits at most until deadline for one receive, pumping paint messages between slices.
// Returns as Socket::Receive does; kTimedOut once the deadline has passed.
int ReceiveUntil(Socket& socket, Clock& clock, Ui& ui, char* buffer, int capacity, Millis deadline);

// The single telnet connection to the router and its log-in data.
class CommandChannel {
 public:
  static constexpr std::uint16_t kTelnetPort = 23;
  static constexpr const char* kSaveLine = "config save\r\n";
  static constexpr const char* kRestartLine = "restart\r\n";

  CommandChannel(SocketFactory& sockets, Clock& clock, Ui& ui);
  ~CommandChannel();
  CommandChannel(const CommandChannel&) = delete;
  CommandChannel& operator=(const CommandChannel&) = delete;

  // Host, optionally with ":port" (default 23).
  std::string RouterAddress;
  std::string RouterPassword;
  // When set, every reply collected on this connection, by its commands and by the pages' own
  // listing loops, waits this long instead of the caller's limit (the console's --timeout).
  std::optional<Millis> ReplyLimitOverride;
  // The program (tarnwick.exe) keeps its own pace; the console may choose the router's.
  Pace pace = Pace::Program;

  // Null whenever no connection exists.
  Socket* TelnetSocket() const { return socket_.get(); }

  // How a command fared: its reply came, it timed out after it was sent, or it never left.
  enum class Outcome { Complete, TimedOut, NotSent };

  // How long the answer of a line nobody scans is waited for (the log-in's "home", and
  // SendAndSettle): a router that never answers such a line costs no more than this.
  static constexpr Millis kSettleLimitMs = 1000;
  // At fast pace, how long the answer of a line whose answer is not read is waited for when
  // no reply limit override is set: as long as a command's reply.
  static constexpr Millis kUnreadAnswerLimitMs = 5000;

  bool ConnectAndLogin();
  // False when the line could not be sent (no connection, or the send failed); the user
  // has been told.
  bool SendCommand(const std::string& text);
  // SendCommand, then the line's answer read up to its prompt for at most limitMs (or the
  // reply limit override when shorter), without a message when it does not come: the channel
  // is then left as SendCommand leaves it. A terminal that echoes typed-ahead lines at once
  // would otherwise print this line's prompt inside the reply of the next command, ending it
  // early. NotSent as SendCommand's false.
  Outcome SendAndSettle(const std::string& text, Millis limitMs = kSettleLimitMs);
  // A line whose answer is not read. At the program's pace SendCommand; at fast pace its echo
  // and prompt are then waited for (ReplyLimitOverride, else kUnreadAnswerLimitMs), so that
  // no later reply can hold this line's answer; when they do not come the line is the message,
  // as for a command whose reply timed out. NotSent as SendCommand's false.
  Outcome SendLine(const std::string& text);
  // A fixed pause of the program's own pace, which only gives the router time before a wait
  // that looks for its text: taken at Pace::Program, skipped at Pace::Fast.
  void ProgramPause(Millis ms);
  // On success reply holds the text from the echo on; on time-out it is empty; with no
  // connection or a failed send it is untouched.
  bool ExecuteCommand(const std::string& command, std::string& reply, Millis limitMs) {
    return Execute(command, reply, limitMs) == Outcome::Complete;
  }
  Outcome Execute(const std::string& command, std::string& reply, Millis limitMs);
  // Each returns whether its line left (a save the router did not confirm has been told).
  bool SaveConfiguration();
  bool RestartRouter(bool reconnect);
  bool ReconnectRouter(Millis delayMs);
  void DropConnection();

  // The channel's own words (caption "Error"), also for the pages that find no connection or
  // whose change on the socket never left; owner null for the channel's own messages.
  void TellNotConnected(WindowRef owner = nullptr);
  void TellSendFailed(WindowRef owner = nullptr);

  Clock& clock() { return clock_; }
  Ui& ui() { return ui_; }

 private:
  // Reads the answer of a line already sent, up to its prompt; false when it did not come.
  bool Settle(const std::string& line, Millis limitMs);

  SocketFactory& sockets_;
  Clock& clock_;
  Ui& ui_;
  std::unique_ptr<Socket> socket_;
};

// Splits "host[:port]"; the port defaults to 23. False for a malformed port.
bool SplitHostPort(const std::string& address, std::string& host, std::uint16_t& port);

}  // namespace tarnwick
