// The last router address, kept in the registry under the current user's key of the program.
#pragma once

#include <string>
#include <utility>

#include "ui/Settings.h"

namespace tarnwick::win32 {

// IPAddress under the current user's key of the program.
class RegistrySettings final : public Settings {
 public:
  static constexpr const char* kKey = "software\\Quorvane\\Tarnwick";
  static constexpr const char* kValue = "IPAddress";
  // The read buffer: a longer value does not fit and is not read at all.
  static constexpr unsigned kReadBuffer = 16;

  explicit RegistrySettings(std::string key = kKey) : key_(std::move(key)) {}

  std::optional<std::string> ReadIPAddress() override;
  // Stored as its characters, without a terminating zero.
  bool WriteIPAddress(const std::string& address) override;

 private:
  std::string key_;
};

}  // namespace tarnwick::win32
