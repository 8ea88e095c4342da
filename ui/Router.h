// The one way to the router: every reading and every write of the pages and the shell.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Ui.h"

namespace tarnwick {

class WaitProgress;

// A listing the pages run with their own end rule, straight on the channel's socket.
struct Listing {
  std::string command;         // sent as it is
  std::string echo;            // the reply starts here; a ">" before it does not end the reply
  int receiveSize;             // bytes asked of each receive
  Millis limitMs;              // from the end of the 100 ms pause after sending
  std::string traceLine;       // to the debugger output on a time-out
  std::string timeoutMessage;  // then shown with caption "Error"
};

// One item of a write: a line, a line whose reply is collected, a progress step of the Wait
// box, a fixed pause, a fresh log-in, the last line of the session, or a mark where the caller
// acts between two parts of one write (returning false stops it).
struct ScriptItem {
  enum class Kind { Line, Execute, Step, Pause, Reconnect, Hangup, Mark };
  Kind kind;
  std::string line;
  Millis ms = 0;  // Execute: the reply's limit; Pause and Reconnect: the delay

  bool operator==(const ScriptItem&) const = default;
};

// Every line that would change the router leaves here and nowhere else, so this is where a
// session that only reads sends nothing and where a dry run records what it would have sent.
class Router {
 public:
  enum class Mode {
    Live,      // lines go out
    ReadOnly,  // no line leaves: a write fails at its first line, without a message
    Record,    // no line leaves, yet every write goes on as if the router took it
  };

  explicit Router(CommandChannel& channel) : channel_(channel) {}

  Mode mode = Mode::Live;
  // When set, every write line is added as it leaves (or, recording, as it would have).
  std::vector<std::string>* written = nullptr;

  // ---- Connection
  bool Connected() const { return channel_.TelnetSocket() != nullptr; }
  bool Login() { return channel_.ConnectAndLogin(); }
  // A fresh log-in after delayMs (skipped while recording: the router was given nothing to
  // rebuild). False when it failed; the user has been told.
  bool Reconnect(Millis delayMs);
  void Drop() { channel_.DropConnection(); }

  // ---- Reading
  // One command and its reply: empty when it timed out or never left (the user has been told).
  std::string Ask(const std::string& command, Millis limitMs);
  // As Ask; false when the reply did not come whole.
  bool Ask(const std::string& command, std::string& reply, Millis limitMs);
  // Sends the listing command (the caller has checked there is a connection), pauses 100 ms
  // (at the program's pace) and collects the reply from the echo to the prompt. nullopt when the
  // send failed (silently) or the limit passed (traced and told, owned by owner).
  std::optional<std::string> List(const Listing& listing, WindowRef owner);

  // ---- Writing
  // A line whose reply is not read (at fast pace its echo and prompt are waited for, see
  // CommandChannel::SendLine). False when it never left (told, unless withheld).
  bool Send(const std::string& line);
  // As Send, then waits (briefly) for the line's echo and prompt, so that a command read next
  // on this connection cannot take this one's late answer for its own.
  bool SendAndSettle(const std::string& line);
  // A line whose reply is collected and not scanned; a time-out after sending is no failure.
  bool Execute(const std::string& line, Millis limitMs);
  // A change on the channel's socket, a pause of pauseMs at the program's pace, then its
  // answer read up to the prompt (a refused change
  // shows in the next listing); bounded, so a dead connection cannot hold the page. nullopt
  // when there is no socket or the send failed; otherwise the answer (empty when none came).
  std::optional<std::string> Change(const std::string& line, Millis pauseMs);
  // "config save", told when the router does not confirm it.
  void SaveConfiguration();
  void Restart(bool reconnect);
  // The last line on the paths that end the program; its failure undoes nothing sent before.
  void Hangup();

  // The channel's own words, for a page that finds no connection or whose change never left.
  void TellNotConnected(WindowRef owner) { channel_.TellNotConnected(owner); }
  void TellSendFailed(WindowRef owner) { channel_.TellSendFailed(owner); }

  CommandChannel& channel() { return channel_; }

  // ---- A guarded change: check runs once, just before the first line of the change leaves
  // live; when it answers false, that line and every later one until EndChange are withheld
  // and fail as a read-only session's do (without a message: check has told the user).
  // Changes nest; only the outermost is guarded.
  void BeginChange(std::function<bool()> check);
  void EndChange();
  // The change under way was stopped by its check.
  bool ChangeStopped() const { return stopped_; }

 private:
  // True when the line must not leave; records it when recording.
  bool Withheld(const std::string& line);
  void Note(const std::string& line);

  CommandChannel& channel_;
  std::function<bool()> check_;
  int changeDepth_ = 0;
  bool stopped_ = false;
};

// A write sequence that stops at the first line the router did not get. When a line never
// left (no connection, a failed send, a log-in that failed inside the sequence) the rest is
// not sent, the user has had one message, and the caller must not report success nor record
// the change. A reply that timed out after its line was sent is no such failure.
class WriteScript {
 public:
  explicit WriteScript(Router& router) : router_(router) {}
  template <typename WithRouter>
  explicit WriteScript(WithRouter& session) : router_(session.router) {}

  // Each does nothing and returns false once the script has failed.
  bool Send(const std::string& line);
  bool Execute(const std::string& line, Millis limitMs);
  bool Reconnect(Millis delayMs);
  // Plays items in order up to the first line that never left or a mark answered false.
  // Execute items count as sent once they left; a Hangup's failure does not stop the rest.
  bool Play(const std::vector<ScriptItem>& items, WaitProgress& wait,
            const std::function<bool()>& mark = nullptr);

  bool ok() const { return ok_; }

 private:
  Router& router_;
  bool ok_ = true;
};

}  // namespace tarnwick
