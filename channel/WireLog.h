// The session log: every byte sent to and received from the router, a line of text per line.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "channel/Socket.h"

namespace tarnwick {

// Writes log lines: an ISO 8601 time in UTC with milliseconds, ">" for sent or "<" for
// received ("*" for a connection opened or closed), then the text. Passwords are replaced
// by "********" before anything is written; bytes below 0x20, 0x7F and above, and the
// backslash itself are written as \xNN, so every log line is one line of plain text.
class WireLog {
 public:
  using Sink = std::function<void(const std::string& line)>;
  using WallClock = std::function<std::chrono::system_clock::time_point()>;

  explicit WireLog(
      Sink sink, WallClock now = [] { return std::chrono::system_clock::now(); });

  // From now on replaced wherever it appears. Empty texts are ignored.
  void AddSecret(const std::string& secret);
  std::size_t LongestSecret() const;
  // True when tail is the beginning of a password, not all of it.
  bool StartsASecret(std::string_view tail) const;

  // One line as it went over the wire, without its line end. A PPP log-in line ("welogin"
  // followed by the user name and the password) teaches the log its password first.
  void Line(char mark, std::string_view bytes);
  // An event of the connection itself, written as it is.
  void Note(const std::string& text);

 private:
  void Write(char mark, const std::string& text);

  Sink sink_;
  WallClock now_;
  std::vector<std::string> secrets_;
};

// The time as the log writes it: 2024-05-01T09:30:00.250Z.
std::string IsoTime(std::chrono::system_clock::time_point time);

// A sink that appends each line to a file opened by the caller, flushed at once so that a
// crash keeps what came before it.
WireLog::Sink FileSink(std::FILE* file);

// Hands out sockets that log through log everything the inner factory's sockets send and
// receive. The first line sent on each connection is the log-in password (the router asks
// for it before anything else is typed), so the log learns it there.
class LoggingSocketFactory final : public SocketFactory {
 public:
  LoggingSocketFactory(SocketFactory& inner, WireLog& log) : inner_(inner), log_(log) {}
  std::unique_ptr<Socket> Make() override;

 private:
  SocketFactory& inner_;
  WireLog& log_;
};

// A log appended to a file, for the --log switch of both programs: the file, the log and the
// sockets that write to it, closed together (after every socket made here is gone).
class LogFile {
 public:
  // Takes a file opened for appending; null when there is none.
  static std::unique_ptr<LogFile> Adopt(std::FILE* file, SocketFactory& inner);
  static std::unique_ptr<LogFile> Open(const std::string& path, SocketFactory& inner);
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  SocketFactory& sockets() { return sockets_; }

 private:
  LogFile(std::FILE* file, SocketFactory& inner);

  std::FILE* file_;
  WireLog log_;
  LoggingSocketFactory sockets_;
};

}  // namespace tarnwick
