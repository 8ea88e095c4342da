// Fault injection applied to replies, banners and sends.
#include "routersim/Faults.h"

#include <algorithm>

namespace tarnwick::routersim {

namespace {

// Telnet WILL ECHO, WILL SUPPRESS-GO-AHEAD, DO TERMINAL-TYPE: what a real telnet service
// opens with.
constexpr const char kOptionBytes[] = "\xff\xfb\x01\xff\xfb\x03\xff\xfd\x18";

// Filler that matches none of the keys the client scans for.
void PadTo(std::string& output, std::size_t size) {
  while (output.size() < size) {
    std::size_t left = size - output.size();
    if (left == 1) {
      output += "\n";
    } else {
      std::size_t dots = std::min<std::size_t>(left - 2, 70);
      output += std::string(dots, '.') + "\r\n";
    }
  }
}

}  // namespace

bool FaultInjector::Silenced() const {
  return faults_.silenceAfterLines >= 0 && lines_ > faults_.silenceAfterLines;
}

std::string FaultInjector::BannerPrefix() const {
  return faults_.optionBytesBeforeBanner ? kOptionBytes : "";
}

std::string FaultInjector::Echo(const std::string& line) const {
  if (!faults_.echoWithoutLineEnd) return line;
  std::string echo = line;
  while (!echo.empty() && (echo.back() == '\n' || echo.back() == '\r')) echo.pop_back();
  return echo;
}

void FaultInjector::ShapeOutput(std::string& output) const {
  if (faults_.padReplyTo > 0) PadTo(output, faults_.padReplyTo);
  if (faults_.zeroByteInReply) output.insert(output.size() / 2, 1, '\0');
}

bool FaultInjector::CutThisReply() {
  if (faults_.dropMidReplyAfterLines < 0 || cutDone_ || lines_ <= faults_.dropMidReplyAfterLines)
    return false;
  cutDone_ = true;
  return true;
}

std::size_t FaultInjector::PieceSize(std::size_t pending) const {
  if (faults_.chunkSize <= 0) return pending;
  return std::min(pending, static_cast<std::size_t>(faults_.chunkSize));
}

}  // namespace tarnwick::routersim
