// The console's show: each page read through its own model, written as text or JSON.
#include "cli/Show.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace tarnwick {
namespace {

nlohmann::ordered_json PageJson(const ShownPage& page) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const ShownValue& field : page.fields)
    std::visit([&](const auto& value) { object[field.key] = value; }, field.value);
  if (page.table) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& cells : page.table->rows) {
      nlohmann::ordered_json row = nlohmann::ordered_json::object();
      for (std::size_t c = 0; c < page.table->columns.size(); ++c)
        row[page.table->columns[c].name] = c < cells.size() ? cells[c] : "";
      rows.push_back(std::move(row));
    }
    object[page.table->name] = std::move(rows);
  }
  return object;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string ShowText(const std::vector<ShownPage>& pages) {
  std::string out;
  for (const ShownPage& page : pages) {
    if (!out.empty()) out += "\n";
    out += page.caption + "\n";
    std::size_t width = 0;
    for (const ShownValue& field : page.fields) width = std::max(width, field.label.size());
    for (const ShownValue& field : page.fields) {
      std::string line = "  " + Padded(field.label + ":", width + 2) + field.text;
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
    if (!page.table) continue;
    const ShownTable& table = *page.table;
    if (table.rows.empty()) {
      out += "  (none)\n";
      continue;
    }
    std::vector<std::size_t> widths;
    for (const auto& column : table.columns) widths.push_back(column.heading.size());
    for (const auto& cells : table.rows)
      for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c)
        widths[c] = std::max(widths[c], cells[c].size());
    auto row = [&](const std::vector<std::string>& cells) {
      std::string line = " ";
      for (std::size_t c = 0; c < widths.size(); ++c)
        line += " " + Padded(c < cells.size() ? cells[c] : "", widths[c] + 1);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    };
    std::vector<std::string> headings;
    for (const auto& column : table.columns) headings.push_back(column.heading);
    row(headings);
    for (const auto& cells : table.rows) row(cells);
  }
  return out;
}

std::string ShowJson(const std::vector<ShownPage>& pages, bool keyed) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  if (keyed) {
    for (const ShownPage& page : pages) out[page.key] = PageJson(page);
  } else if (!pages.empty()) {
    out = PageJson(pages.front());
  }
  // Router text is not always UTF-8: odd bytes are replaced rather than refused.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

ConsoleStatus RunShow(const ConsoleTarget& target, const std::string& page, bool json,
                      SocketFactory& sockets, Clock& clock, Ui& ui, std::string& out) {
  ConsoleSession console(target, sockets, clock, ui);
  if (!console.LogIn()) return kConsoleLoginFailed;
  const bool all = page == "all";
  const std::vector<ShownPage> pages =
      ReadPages(console.session, all ? ShowPageNames() : std::vector<std::string>{page});
  console.session.router.Drop();
  if (console.watching.Failed()) {
    ui.Message(
        nullptr,
        "show " + page + ": a command failed or its reply timed out (see above); nothing is shown",
        "");
    return kConsoleCommandFailed;
  }
  out = json ? ShowJson(pages, all) : ShowText(pages);
  return kConsoleDone;
}

}  // namespace tarnwick
