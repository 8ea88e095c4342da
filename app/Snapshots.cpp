// Snapshots: the pages' last readings kept by key, written as settings files before a change.
#include "app/Snapshots.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOfferFile = "undo-offer.txt";
// "20260101T000000Z-000-"
constexpr std::size_t kPrefixSize = 21;

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// An address as a file name holds it: a port's colon and anything unusual become "_".
std::string AddressPart(const std::string& address) {
  std::string out = address;
  for (char& c : out)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') c = '_';
  return out;
}

bool IsSnapshotName(const std::string& name) {
  if (name.size() <= kPrefixSize + 5 || name.compare(name.size() - 5, 5, ".json") != 0)
    return false;
  for (std::size_t i = 0; i < kPrefixSize; ++i) {
    const char c = name[i];
    const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (i == 8 ? c != 'T' : i == 15 ? c != 'Z' : i == 16 || i == 20 ? c != '-' : !digit)
      return false;
  }
  return true;
}

std::string AddressOfName(const std::string& name) {
  return name.substr(kPrefixSize, name.size() - kPrefixSize - 5);
}

}  // namespace

std::string SnapshotName(const std::string& utcTimestamp, int sequence,
                         const std::string& address) {
  std::string stamp;
  for (char c : utcTimestamp)
    if (std::isdigit(static_cast<unsigned char>(c)) || c == 'T' || c == 'Z') stamp += c;
  char number[8];
  std::snprintf(number, sizeof number, "%03d", sequence % 1000);
  return stamp + "-" + number + "-" + AddressPart(address) + ".json";
}

Snapshots::Snapshots(Session& session, std::string folder, std::function<std::string()> now)
    : session_(session), folder_(std::move(folder)), now_(std::move(now)) {}

void Snapshots::Read(const DialogModel& model) {
  const std::string key = SettingsKeyOf(model.TemplateId());
  if (key.empty() || !model.attached()) return;
  PageSet shown(session_, Secrets{true, kLoginPasswordMarker});
  if (std::optional<ShownPage> page = SettingsOfPage(shown.Shown(key, model, model.view())))
    lastRead_[key] = std::move(*page);
}

bool Snapshots::BeforeChange(const DialogModel& model) {
  const std::string key = SettingsKeyOf(model.TemplateId());
  std::vector<ShownPage> pages;
  // The PVC dialog rewrites the line with its PVCs: the line's reading goes with them, so that
  // a single PVC can be brought back through the Line page.
  for (const std::string& wanted : {std::string("line"), key}) {
    if (wanted != key && key != "pvc") continue;
    if (const auto read = lastRead_.find(wanted); read != lastRead_.end())
      pages.push_back(read->second);
  }
  if (pages.empty() && !key.empty()) {
    // Never marked as read: what it shows is the router's.
    Read(model);
    if (const auto read = lastRead_.find(key); read != lastRead_.end())
      pages.push_back(read->second);
  }
  return Keep(std::move(pages), model.attached() ? model.view().Window() : nullptr);
}

bool Snapshots::BeforeChangeOfAll(WindowRef owner) {
  std::vector<ShownPage> pages;
  for (const std::string& key : ShowPageNames())
    if (const auto read = lastRead_.find(key); read != lastRead_.end())
      pages.push_back(read->second);
  return Keep(std::move(pages), owner);
}

bool Snapshots::Keep(std::vector<ShownPage> pages, WindowRef owner) {
  SettingsFile file;
  file.saved = now_();
  file.pages = std::move(pages);
  auto written = Write(file);
  if (written.index() == 0) {
    lastWritten_ = std::get<0>(written);
    lastAddress_ = session_.channel.RouterAddress;
    Prune();
    return true;
  }
  session_.ui.Message(owner,
                      "Tarnwick keeps a copy of the router's settings before every change, and "
                      "could not write one (" +
                          std::get<1>(written) + ").\n\nThe change was not made; nothing was sent.",
                      "Error", Buttons::Ok);
  return false;
}

std::variant<std::string, std::string> Snapshots::Write(const SettingsFile& file) {
  using Result = std::variant<std::string, std::string>;
  if (folder_.empty()) return Result(std::in_place_index<1>, "no folder for them was found");
  std::error_code error;
  fs::create_directories(PathOf(folder_), error);
  if (error)
    return Result(std::in_place_index<1>, "cannot create " + folder_ + ": " + error.message());
  for (int sequence = 0; sequence < 1000; ++sequence) {
    const fs::path path = PathOf(folder_) / PathOf(SnapshotName(file.saved, sequence,
                                                                session_.channel.RouterAddress));
    if (fs::exists(path, error)) continue;
    if (auto problem = WriteFileWhole(Utf8(path), SettingsJson(file, true)))
      return Result(std::in_place_index<1>, *problem);
    return Result(std::in_place_index<0>, Utf8(path));
  }
  return Result(std::in_place_index<1>, "a thousand snapshots in one second");
}

std::vector<std::string> Snapshots::Files() const {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(PathOf(folder_), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = Utf8(it->path().filename());
    if (IsSnapshotName(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(Utf8(PathOf(folder_) / PathOf(name)));
  return paths;
}

void Snapshots::Prune() const {
  std::vector<std::string> files = Files();
  if (files.size() <= kKept) return;
  std::error_code error;
  for (std::size_t i = 0; i + kKept < files.size(); ++i) fs::remove(PathOf(files[i]), error);
}

std::optional<std::string> Snapshots::Newest(const std::string& address) const {
  const std::vector<std::string> files = Files();
  for (auto it = files.rbegin(); it != files.rend(); ++it)
    if (AddressOfName(Utf8(PathOf(*it).filename())) == AddressPart(address)) return *it;
  return std::nullopt;
}

void Snapshots::OfferUndoAtNextStart(const std::string& address) {
  if (lastWritten_.empty()) return;
  WriteFileWhole(Utf8(PathOf(folder_) / kOfferFile), address + "\n" + lastWritten_ + "\n");
}

std::optional<std::string> Snapshots::TakeOffer(const std::string& address) {
  const std::string path = Utf8(PathOf(folder_) / kOfferFile);
  auto text = ReadFileText(path, 4096);
  if (text.index() != 0) return std::nullopt;
  std::error_code error;
  fs::remove(PathOf(path), error);
  const std::string& lines = std::get<0>(text);
  const std::size_t end = lines.find('\n');
  if (end == std::string::npos || lines.substr(0, end) != address) return std::nullopt;
  std::string snapshot = lines.substr(end + 1);
  while (!snapshot.empty() && (snapshot.back() == '\n' || snapshot.back() == '\r'))
    snapshot.pop_back();
  if (snapshot.empty() || !fs::exists(PathOf(snapshot), error)) return std::nullopt;
  return snapshot;
}

}  // namespace tarnwick
