// Settings kept in memory for tests.
#pragma once

#include <optional>
#include <string>

#include "ui/Settings.h"

namespace tarnwick::testing {

class MemorySettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return value; }
  bool WriteIPAddress(const std::string& address) override {
    if (!writable) return false;
    value = address;
    return true;
  }
  std::optional<std::string> value;
  bool writable = true;
};

}  // namespace tarnwick::testing
