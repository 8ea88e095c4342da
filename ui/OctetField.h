// A dotted address (or a mask shown in decimal) typed into four octet boxes.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace tarnwick {

// What to say about a group: when a box is empty, and when octet 1..4 is wrong.
struct OctetMessages {
  std::string empty;
  std::array<std::string, 4> invalid;
};

class OctetField {
 public:
  explicit OctetField(const std::array<int, 4>& ids) : ids_(ids) {}

  const std::array<int, 4>& ids() const { return ids_; }

  bool AnyEmpty() const;
  bool AllEmpty() const;
  void Clear() { octets = {}; }

  // The first fault of the group, or nullopt: a box empty (when messages.empty is not
  // empty), else the first octet that is not a valid octet or would not survive in a
  // command line (inner blank, control byte). Valid octets are left trimmed.
  std::optional<std::string> Fault(const OctetMessages& messages);
  // As Fault, rewriting each octet that passes in lower-case hexadecimal.
  std::optional<std::string> FaultToHex(const OctetMessages& messages);

  std::string Join(char separator) const;
  // Fills the boxes from a dotted ('.') or colon (':') text; an empty text leaves them.
  void Split(const std::string& text, char separator);

  std::array<std::string, 4> octets;

 private:
  std::array<int, 4> ids_;
};

}  // namespace tarnwick
