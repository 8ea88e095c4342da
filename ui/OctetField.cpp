// Validation, joining and splitting of four octet boxes.
#include "ui/OctetField.h"

#include "channel/TextHelpers.h"
#include "ui/CommandText.h"

namespace tarnwick {

bool OctetField::AnyEmpty() const {
  for (const std::string& octet : octets)
    if (octet.empty()) return true;
  return false;
}

bool OctetField::AllEmpty() const {
  for (const std::string& octet : octets)
    if (!octet.empty()) return false;
  return true;
}

std::optional<std::string> OctetField::Fault(const OctetMessages& messages) {
  if (!messages.empty.empty() && AnyEmpty()) return messages.empty;
  for (int i = 0; i < 4; ++i)
    if (!IsValidOctet(octets[i]) || !IsCommandToken(octets[i])) return messages.invalid[i];
  return std::nullopt;
}

std::optional<std::string> OctetField::FaultToHex(const OctetMessages& messages) {
  if (!messages.empty.empty() && AnyEmpty()) return messages.empty;
  for (int i = 0; i < 4; ++i)
    if (!OctetToHex(octets[i])) return messages.invalid[i];
  return std::nullopt;
}

std::string OctetField::Join(char separator) const {
  return octets[0] + separator + octets[1] + separator + octets[2] + separator + octets[3];
}

void OctetField::Split(const std::string& text, char separator) {
  if (separator == ':')
    SplitColonQuad(text, octets[0], octets[1], octets[2], octets[3]);
  else
    SplitDottedQuad(text, octets[0], octets[1], octets[2], octets[3]);
}

}  // namespace tarnwick
