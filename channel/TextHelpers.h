// Small text functions every page uses on typed fields and router replies.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

// What a secret shows as wherever it is printed or logged.
constexpr const char* kSecretMask = "********";
// text with every occurrence of each (non-empty) secret replaced by kSecretMask.
std::string MaskSecrets(std::string text, const std::vector<std::string>& secrets);

bool IsValidOctet(std::string& field);
bool OctetToHex(std::string& field);
bool IsAllDigits(const std::string& text);
bool IsValidDecimalNumber(const std::string& text);
bool ColonQuadToHex(std::string& text);
bool HexColonQuadToDecimal(std::string& text);
int HexTextToInt(const std::string& text);
void SplitDottedQuad(const std::string& text, std::string& a, std::string& b, std::string& c,
                     std::string& d);
void SplitColonQuad(const std::string& text, std::string& a, std::string& b, std::string& c,
                    std::string& d);
// True when key stands anywhere in text.
inline bool Contains(const std::string& text, const std::string& key) {
  return text.find(key) != std::string::npos;
}
bool GetReplyField(const std::string& reply, const std::string& key, int n, int m,
                   std::string& out);

enum class VpiVci { Vpi, Vci };
bool ExtractVpiVci(std::string& text, VpiVci selector);

}  // namespace tarnwick
