// Command dispatch, listing lines and the small parsers the commands share.
#include "routersim/CommandTable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tarnwick::routersim {

Listing& Listing::Line(const std::string& text) {
  // A ">" would end the client's reply early; the router never prints one.
  std::string clean = text;
  std::replace(clean.begin(), clean.end(), '>', ' ');
  text_ += clean;
  text_ += "\r\n";
  return *this;
}

Listing& Listing::Field(const std::string& label, const std::string& value,
                        const std::string& unit) {
  std::string text = label + " : " + (value.empty() ? "-" : value);
  if (!unit.empty()) text += " " + unit;
  return Line(text);
}

void CommandTable::Add(const std::string& command, Handler handler, const std::string& help) {
  entries_.push_back({command, std::move(handler), help});
  // Longest first, so the most specific command matches.
  std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.command.size() > b.command.size();
  });
}

void CommandTable::AddConfigWriter(ConfigStage stage, ConfigWriter writer) {
  writers_.emplace_back(stage, std::move(writer));
  std::stable_sort(writers_.begin(), writers_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::string CommandTable::Dispatch(Router& router, Services& services, Millis now, Millis sent,
                                   const std::string& rawLine) const {
  std::string line = rawLine;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  line = TrimBlanks(line);
  if (line.empty()) return "";
  for (const Entry& e : entries_) {
    if (line.compare(0, e.command.size(), e.command) != 0) continue;
    if (line.size() > e.command.size() && line[e.command.size()] != ' ') continue;
    CommandContext ctx{
        router, services, now, std::min(now, sent), line, TrimBlanks(line.substr(e.command.size())),
        {},     {}};
    ctx.args = SplitBlanks(ctx.rest);
    e.handler(ctx);
    return ctx.out.Text();
  }
  return Listing().Error("unknown command, type help for a list").Text();
}

std::vector<std::string> CommandTable::WriteConfig(const Router& router) const {
  std::vector<std::string> lines;
  for (const auto& [stage, write] : writers_) write(router, lines);
  return lines;
}

std::vector<std::pair<std::string, std::string>> CommandTable::Help() const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const Entry& e : entries_)
    if (!e.help.empty()) out.emplace_back(e.command, e.help);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> SplitBlanks(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ' && text[j] != '\t') ++j;
    if (j > i) parts.push_back(text.substr(i, j - i));
    i = j;
  }
  return parts;
}

std::string TrimBlanks(const std::string& text) {
  auto b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  auto e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

namespace {

bool Parts(const std::string& text, char sep, std::vector<std::string>& parts) {
  parts.clear();
  std::size_t start = 0;
  while (true) {
    auto at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) break;
    start = at + 1;
  }
  return parts.size() == 4;
}

}  // namespace

bool IsDottedQuad(const std::string& text) {
  std::vector<std::string> parts;
  if (!Parts(text, '.', parts)) return false;
  for (const auto& p : parts) {
    if (p.empty() || p.size() > 3 || !IsNumber(p) || std::atoi(p.c_str()) > 255) return false;
  }
  return true;
}

bool IsHexColonQuad(const std::string& text) {
  std::vector<std::string> parts;
  if (!Parts(text, ':', parts)) return false;
  for (const auto& p : parts) {
    if (p.empty() || p.size() > 2 || p.find_first_not_of("0123456789abcdef") != std::string::npos)
      return false;
  }
  return true;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string FormatTenths(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", value);
  return buf;
}

}  // namespace tarnwick::routersim
