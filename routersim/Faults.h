// Fault injection: how the switched-on FaultOptions bend what a session sends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "routersim/Options.h"

namespace tarnwick::routersim {

// Reads the options live, so a test may switch faults on while the router runs.
class FaultInjector {
 public:
  explicit FaultInjector(const FaultOptions& options) : faults_(options) {}

  // Every received line counts, each session's password line included.
  void CountLine() { ++lines_; }
  bool Silenced() const;

  std::string BannerPrefix() const;
  std::string Echo(const std::string& line) const;
  // Filler and the stray NUL go into the command's output, never into echo or prompt.
  void ShapeOutput(std::string& output) const;
  // True once: the reply about to go out is cut in half and the session closed.
  bool CutThisReply();

  // How many of the pending bytes to send in one piece.
  std::size_t PieceSize(std::size_t pending) const;
  bool Paced() const { return faults_.chunkSize > 0; }

 private:
  const FaultOptions& faults_;
  std::int64_t lines_ = 0;
  bool cutDone_ = false;
};

}  // namespace tarnwick::routersim
