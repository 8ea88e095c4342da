// The registry value IPAddress: read into a 16-byte buffer, written without a terminating zero.
#include "win32/RegistrySettings.h"

#include <windows.h>

#include <cstring>

namespace tarnwick::win32 {

namespace {

// Opens the key, creating it when it is missing; null when neither works.
HKEY OpenOrCreate(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) ==
      ERROR_SUCCESS)
    return key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS)
    return key;
  return nullptr;
}

}  // namespace

std::optional<std::string> RegistrySettings::ReadIPAddress() {
  HKEY key = OpenOrCreate(key_);
  if (!key) return std::nullopt;
  char buffer[kReadBuffer];
  std::memset(buffer, 0, sizeof buffer);
  DWORD size = sizeof buffer;
  LONG status =
      RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  // A value of exactly 16 characters fills the buffer with no zero left: it comes back
  // whole and the caller's 15-character limit turns it away.
  std::size_t length = 0;
  while (length < sizeof buffer && buffer[length] != '\0') ++length;
  return std::string(buffer, length);
}

bool RegistrySettings::WriteIPAddress(const std::string& address) {
  HKEY key = OpenOrCreate(key_);
  if (!key) return false;
  RegSetValueExA(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(address.data()),
                 static_cast<DWORD>(address.size()));
  RegCloseKey(key);
  return true;
}

}  // namespace tarnwick::win32
