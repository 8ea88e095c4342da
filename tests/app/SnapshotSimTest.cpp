// Snapshots against the in-process simulator: a change whose snapshot cannot be written is not
// made, and one that is made leaves behind what the page last read.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/PageReading.h"
#include "app/SettingsFile.h"
#include "app/Snapshots.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kReadings = {
    "ip route\r\n",          "ip nat\r\n",          "bridge device\r\n",
    "ip device\r\n",         "ip subnet\r\n",       "flashfs cat initppp\r\n",
    "ip ipatm pvc\r\n",      "version\r\n",         "ppp config\r\n",
    "dhcpserver config\r\n", "dnsrelay status\r\n", "nat inbound list\r\n",
    "bsp channel\r\n",       "bsp mode\r\n",        "bsp line\r\n",
    "bun list channels\r\n", "snmp access list\r\n"};

struct World {
  World() {
    routersim::Options options = testing::SimulatorWorld::Defaults();
    options.preset = "pppoe";
    world.Start(&options);
    session.channel.RouterAddress = world.Address();
    session.channel.RouterPassword = world.Password();
    EXPECT_TRUE(session.router.Login());
    fs::remove_all(folder);
  }
  ~World() { fs::remove_all(folder); }

  // The router's lines since mark that change it (log-ins and listings left out).
  std::vector<std::string> ChangesSince(std::size_t mark) const {
    std::vector<std::string> out;
    const std::vector<std::string> lines = world.Commands();
    for (std::size_t i = mark; i < lines.size(); ++i)
      if (std::find(kReadings.begin(), kReadings.end(), lines[i]) == kReadings.end())
        out.push_back(lines[i]);
    return out;
  }

  testing::SimulatorWorld world;
  testing::RecordingUi ui;
  testing::MemorySettings settings;
  Session session{world.Sockets(), world.clock, ui, settings};
  fs::path folder =
      fs::temp_directory_path() / ("tarnwick-snapshots-" + std::to_string(::getpid()));
  int second = 0;
  // A new second for each snapshot: no real time.
  Snapshots snapshots{session, folder.string(), [this] {
                        char stamp[32];
                        std::snprintf(stamp, sizeof stamp, "2026-01-01T00:%02d:%02dZ", second / 60,
                                      second % 60);
                        ++second;
                        return std::string(stamp);
                      }};
};

// What a user does on a page: types a setting and presses the page's Apply, or brings its
// list to rows with its Add and Remove buttons.
struct Change {
  const char* page;
  const char* key;
  SettingValue value;
  std::vector<ListRow> rows = {};
};

void Make(PageSet& pages, const Change& change) {
  PageSet::Opened& opened = pages.Open(*FindPage(change.page));
  Page& page = *opened.page;
  if (!change.rows.empty()) {
    std::vector<ListRow> rows = page.RowsOf(page.description().Lists().front().id);
    rows.insert(rows.end(), change.rows.begin(), change.rows.end());
    page.PutRows(page.description().Lists().front().id, rows);
    return;
  }
  ASSERT_TRUE(page.description().Enter(opened.view, change.key, change.value)) << change.key;
  page.OnCommand(page.description().WriteButton());
}

const std::vector<Change> kChanges = {
    {"line", "Vci", std::string("36")},
    {"dhcp", "RangeEnd", std::string("192.168.1.150")},
    {"dsl", "ModeChoice", 1},
    {"routes",
     "",
     0,
     {{{"Label", "office"},
       {"DestIp", "10.1.2.0"},
       {"NextHop", "192.168.1.254"},
       {"Mask", "ff:ff:ff:0"}}}},
};

TEST(Snapshots, AChangeWhoseSnapshotCannotBeWrittenSendsNothingAndSaysWhyOnce) {
  for (const Change& change : kChanges) {
    SCOPED_TRACE(change.page);
    World w;
    // Where the folder would be, a file: it can be neither made nor written into (as root too).
    fs::create_directories(w.folder.parent_path());
    std::ofstream(w.folder) << "in the way";
    w.session.guard = &w.snapshots;
    PageSet pages(w.session);
    pages.Open(*FindPage(change.page));
    const std::size_t mark = w.world.Commands().size();
    w.ui.messages.clear();
    Make(pages, change);
    EXPECT_EQ(w.ChangesSince(mark), std::vector<std::string>{});
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_NE(w.ui.messages[0].text.find("could not write one"), std::string::npos)
        << w.ui.messages[0].text;
    fs::remove(w.folder);
  }
}

TEST(Snapshots, AChangeLeavesWhatThePageLastReadAsTheNewestOfFiftyKept) {
  World w;
  fs::create_directories(w.folder);
  // Fifty older snapshots, of another router.
  for (int i = 0; i < 50; ++i)
    std::ofstream(w.folder / SnapshotName("2025-01-01T00:00:00Z", i, "127.9.9.9")) << "{}";
  w.session.guard = &w.snapshots;
  PageSet pages(w.session);
  const std::size_t mark = w.world.Commands().size();
  Make(pages, kChanges[0]);
  ASSERT_NE(w.ChangesSince(mark), std::vector<std::string>{});

  const std::vector<std::string> files = w.snapshots.Files();
  EXPECT_EQ(files.size(), Snapshots::kKept);
  EXPECT_EQ(fs::path(files.front()).filename(),
            SnapshotName("2025-01-01T00:00:00Z", 1, "127.9.9.9"));
  const std::optional<std::string> newest = w.snapshots.Newest(w.session.channel.RouterAddress);
  ASSERT_TRUE(newest);
  EXPECT_EQ(*newest, files.back());
  auto text = ReadFileText(*newest, kMaxSettingsBytes);
  ASSERT_EQ(text.index(), 0u);
  auto parsed = ParseSettings(std::get<0>(text));
  ASSERT_EQ(parsed.index(), 0u) << std::get<1>(parsed);
  const ShownPage* line = std::get<0>(parsed).Page("line");
  ASSERT_TRUE(line);
  ASSERT_EQ(std::get<0>(parsed).pages.size(), 1u);
  const auto vci = std::find_if(line->fields.begin(), line->fields.end(),
                                [](const ShownValue& v) { return v.key == "Vci"; });
  ASSERT_NE(vci, line->fields.end());
  EXPECT_EQ(std::get<std::string>(vci->value), "35");
}

}  // namespace
}  // namespace tarnwick
