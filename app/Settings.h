#pragma once

#include <optional>
#include <string>

namespace tarnwick {

// The one value kept between runs: the last router address.
class Settings {
 public:
  virtual ~Settings() = default;
  // Opens (creating when missing) the program's key and reads IPAddress with the
  // native length limit of the read buffer applied by the caller. nullopt when the key
  // cannot be opened or created, or the value is missing.
  virtual std::optional<std::string> ReadIPAddress() = 0;
  virtual void WriteIPAddress(const std::string& address) = 0;
};

class MemorySettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return value; }
  void WriteIPAddress(const std::string& address) override { value = address; }
  std::optional<std::string> value;
};

}  // namespace tarnwick
