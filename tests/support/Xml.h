// A small XML well-formedness check for tests of written documents: one root, balanced
// tags, quoted attributes, escaped text. It hands back every element with its attributes.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace tarnwick::testing {

struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;  // as written, entities left in
};

namespace xml_detail {

inline bool NameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
         c == '.';
}

// Text or an attribute value: no "<", and every "&" starts an entity.
inline bool CleanText(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<') return false;
    if (text[i] != '&') continue;
    const std::size_t end = text.find(';', i);
    if (end == std::string::npos) return false;
    const std::string entity = text.substr(i + 1, end - i - 1);
    if (entity != "amp" && entity != "lt" && entity != "gt" && entity != "quot" &&
        entity != "apos" && !(entity.size() > 1 && entity[0] == '#'))
      return false;
  }
  return true;
}

}  // namespace xml_detail

inline bool ParseXml(const std::string& text, std::vector<XmlElement>& elements,
                     std::string& error) {
  using namespace xml_detail;
  elements.clear();
  std::vector<std::string> open;
  bool rootSeen = false;
  std::size_t i = 0;
  if (text.compare(0, 5, "<?xml") == 0) {
    i = text.find("?>");
    if (i == std::string::npos) return error = "unterminated declaration", false;
    i += 2;
  }
  while (i < text.size()) {
    const std::size_t tag = text.find('<', i);
    const std::string between =
        text.substr(i, tag == std::string::npos ? std::string::npos : tag - i);
    if (open.empty() && between.find_first_not_of(" \t\r\n") != std::string::npos)
      return error = "text outside the root", false;
    if (!CleanText(between)) return error = "unescaped text: " + between.substr(0, 40), false;
    if (tag == std::string::npos) break;
    i = tag + 1;
    const bool closing = i < text.size() && text[i] == '/';
    if (closing) ++i;
    std::size_t nameEnd = i;
    while (nameEnd < text.size() && NameChar(text[nameEnd])) ++nameEnd;
    const std::string name = text.substr(i, nameEnd - i);
    if (name.empty()) return error = "a tag without a name", false;
    i = nameEnd;
    if (closing) {
      while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
      if (i >= text.size() || text[i] != '>' || open.empty() || open.back() != name)
        return error = "unbalanced </" + name + ">", false;
      open.pop_back();
      ++i;
      continue;
    }
    if (open.empty() && rootSeen) return error = "a second root", false;
    rootSeen = true;
    XmlElement element{name, {}};
    for (;;) {
      while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
      if (i >= text.size()) return error = "unterminated <" + name, false;
      if (text[i] == '>' || text.compare(i, 2, "/>") == 0) break;
      std::size_t attrEnd = i;
      while (attrEnd < text.size() && NameChar(text[attrEnd])) ++attrEnd;
      const std::string attribute = text.substr(i, attrEnd - i);
      if (attribute.empty() || attrEnd + 1 >= text.size() || text[attrEnd] != '=' ||
          (text[attrEnd + 1] != '"' && text[attrEnd + 1] != '\''))
        return error = "a malformed attribute in <" + name, false;
      const char quote = text[attrEnd + 1];
      const std::size_t valueEnd = text.find(quote, attrEnd + 2);
      if (valueEnd == std::string::npos) return error = "an unterminated value", false;
      const std::string value = text.substr(attrEnd + 2, valueEnd - attrEnd - 2);
      if (!CleanText(value) || !element.attributes.emplace(attribute, value).second)
        return error = "a bad or repeated attribute " + attribute, false;
      i = valueEnd + 1;
    }
    elements.push_back(std::move(element));
    if (text[i] == '>') {
      open.push_back(name);
      ++i;
    } else {
      i += 2;
    }
  }
  if (!open.empty()) return error = "<" + open.back() + "> is not closed", false;
  if (!rootSeen) return error = "no root", false;
  return true;
}

}  // namespace tarnwick::testing
