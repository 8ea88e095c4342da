// The session log: line assembly per connection, password redaction, escaping, the time.
#include "channel/WireLog.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "channel/TextHelpers.h"

namespace tarnwick {
namespace {

// Longer than any line a router prints; a flood without line ends is cut into lines this long.
constexpr std::size_t kMaxPendingLine = 4096;

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '\\') {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(byte));
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t start = line.find_first_not_of(' ', at);
    if (start == std::string_view::npos) break;
    std::size_t end = line.find(' ', start);
    if (end == std::string_view::npos) end = line.size();
    words.emplace_back(line.substr(start, end - start));
    at = end;
  }
  return words;
}

class LoggingSocket final : public Socket {
 public:
  LoggingSocket(std::unique_ptr<Socket> inner, WireLog& log)
      : inner_(std::move(inner)), log_(log) {}
  ~LoggingSocket() override { Finish(); }

  bool Create() override { return inner_->Create(); }

  bool Connect(const std::string& host, std::uint16_t port) override {
    const bool connected = inner_->Connect(host, port);
    log_.Note("connect " + host + ":" + std::to_string(port) + (connected ? "" : " failed"));
    finished_ = !connected;
    return connected;
  }

  int Send(const char* data, int length) override {
    const int sent = inner_->Send(data, length);
    if (sent > 0) {
      // Each line in the order it happened: what the router printed before this went out.
      Flush(received_);
      Take(sent_, data, static_cast<std::size_t>(sent));
    } else if (length > 0) {
      log_.Note("send failed");
    }
    return sent;
  }

  int Receive(char* buffer, int capacity, Millis waitMs) override {
    const int got = inner_->Receive(buffer, capacity, waitMs);
    if (got > 0) {
      Flush(sent_);
      Take(received_, buffer, static_cast<std::size_t>(got));
    } else if ((got == 0 || got == -1) && !peerGone_) {
      // The caller polls a closed connection for a while: said once.
      peerGone_ = true;
      Flush(received_);
      log_.Note(got == 0 ? "closed by the router" : "receive failed");
    }
    return got;
  }

  void ShutdownSend() override { inner_->ShutdownSend(); }

  void Close() override {
    Finish();
    inner_->Close();
  }

 private:
  struct Stream {
    char mark;
    std::string pending;
  };

  void Take(Stream& stream, const char* data, std::size_t length) {
    std::string& text = stream.pending;
    text.append(data, length);
    // Lines by position, the logged ones dropped at once: a receive can hold thousands.
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
      Emit(stream, text.substr(start, stop - start));
    }
    text.erase(0, start);
    while (text.size() > kMaxPendingLine) Cut(stream);
  }

  // A line too long to wait for its end: written in pieces, keeping back any text at its end
  // that could be the start of a password the next bytes complete.
  void Cut(Stream& stream) {
    const std::string& text = stream.pending;
    const std::size_t longest = log_.LongestSecret();
    std::size_t keep = 0;
    for (std::size_t n = std::min(text.size(), longest > 0 ? longest - 1 : 0); n > 0; --n) {
      if (log_.StartsASecret(std::string_view(text).substr(text.size() - n))) {
        keep = n;
        break;
      }
    }
    Emit(stream, text.substr(0, text.size() - keep));
    stream.pending.erase(0, text.size() - keep);
  }

  void Flush(Stream& stream) {
    if (stream.pending.empty()) return;
    std::string line;
    line.swap(stream.pending);
    Emit(stream, line);
  }

  void Emit(Stream& stream, const std::string& line) {
    if (&stream == &sent_ && !passwordSeen_) {
      passwordSeen_ = true;
      log_.AddSecret(line);
    }
    log_.Line(stream.mark, line);
  }

  void Finish() {
    if (finished_) return;
    finished_ = true;
    Flush(sent_);
    Flush(received_);
    log_.Note("closed");
  }

  std::unique_ptr<Socket> inner_;
  WireLog& log_;
  Stream sent_{'>', {}};
  Stream received_{'<', {}};
  bool passwordSeen_ = false;
  bool peerGone_ = false;
  bool finished_ = true;  // until connected
};

}  // namespace

WireLog::WireLog(Sink sink, WallClock now) : sink_(std::move(sink)), now_(std::move(now)) {}

void WireLog::AddSecret(const std::string& secret) {
  if (secret.empty() || std::find(secrets_.begin(), secrets_.end(), secret) != secrets_.end())
    return;
  secrets_.push_back(secret);
  // Longest first: a password that holds another is replaced whole.
  std::stable_sort(secrets_.begin(), secrets_.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

std::size_t WireLog::LongestSecret() const {
  return secrets_.empty() ? 0 : secrets_.front().size();
}

bool WireLog::StartsASecret(std::string_view tail) const {
  for (const std::string& secret : secrets_)
    if (secret.size() > tail.size() && std::string_view(secret).substr(0, tail.size()) == tail)
      return true;
  return false;
}

void WireLog::Line(char mark, std::string_view bytes) {
  const std::vector<std::string> words = Words(bytes);
  for (std::size_t i = 0; i + 2 < words.size(); ++i)
    if (words[i] == "welogin") AddSecret(words[i + 2]);

  Write(mark, Escaped(MaskSecrets(std::string(bytes), secrets_)));
}

void WireLog::Note(const std::string& text) { Write('*', text); }

void WireLog::Write(char mark, const std::string& text) {
  std::string line = IsoTime(now_()) + " " + mark;
  if (!text.empty()) line += " " + text;
  sink_(line);
}

std::string IsoTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(time);
  const auto day = floor<days>(ms);
  const year_month_day date{day};
  const hh_mm_ss<milliseconds> clock{ms - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()),
                int(clock.subseconds().count()));
  return text;
}

WireLog::Sink FileSink(std::FILE* file) {
  return [file](const std::string& line) {
    std::fputs(line.c_str(), file);
    std::fputc('\n', file);
    std::fflush(file);
  };
}

std::unique_ptr<Socket> LoggingSocketFactory::Make() {
  std::unique_ptr<Socket> inner = inner_.Make();
  if (!inner) return nullptr;
  return std::make_unique<LoggingSocket>(std::move(inner), log_);
}

LogFile::LogFile(std::FILE* file, SocketFactory& inner)
    : file_(file), log_(FileSink(file)), sockets_(inner, log_) {}

LogFile::~LogFile() { std::fclose(file_); }

std::unique_ptr<LogFile> LogFile::Adopt(std::FILE* file, SocketFactory& inner) {
  if (file == nullptr) return nullptr;
  return std::unique_ptr<LogFile>(new LogFile(file, inner));
}

std::unique_ptr<LogFile> LogFile::Open(const std::string& path, SocketFactory& inner) {
  return Adopt(std::fopen(path.c_str(), "ab"), inner);
}

}  // namespace tarnwick
