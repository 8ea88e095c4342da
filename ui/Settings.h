// The one value kept between runs: the last router address.
#pragma once

#include <optional>
#include <string>

namespace tarnwick {

class Settings {
 public:
  virtual ~Settings() = default;
  // Opens (creating when missing) the program's key and reads IPAddress with the
  // native length limit of the read buffer applied by the caller. nullopt when the key
  // cannot be opened or created, or the value is missing.
  virtual std::optional<std::string> ReadIPAddress() = 0;
  // False when the key could be neither opened nor created (nothing was stored).
  virtual bool WriteIPAddress(const std::string& address) = 0;
};

}  // namespace tarnwick
