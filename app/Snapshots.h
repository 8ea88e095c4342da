// Copies of the router's settings kept before every change the program makes, as settings
// files in a folder of their own, so that no change is without a way back.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/PageReading.h"
#include "app/SettingsFile.h"
#include "ui/Session.h"
#include "ui/WriteGuard.h"

namespace tarnwick {

class Snapshots final : public WriteGuard {
 public:
  static constexpr std::size_t kKept = 50;

  // folder: where the files go (created when missing); now: the time a file is named by, as
  // UtcTimestamp gives it.
  Snapshots(
      Session& session, std::string folder,
      std::function<std::string()> now = [] { return UtcTimestamp(); });

  // What the page last read, without asking the router again.
  void Read(const DialogModel& model) override;
  // Writes what the page (and, for the PVC dialog, the line it rewrites) last read; when that
  // fails the user is told and the change must not be made.
  bool BeforeChange(const DialogModel& model) override;
  // As BeforeChange, for a change of everything (the factory defaults): every page read so far.
  bool BeforeChangeOfAll(WindowRef owner);

  // The newest snapshot of the router at address, or nullopt.
  std::optional<std::string> Newest(const std::string& address) const;
  // Every snapshot file, oldest first.
  std::vector<std::string> Files() const;
  const std::string& folder() const { return folder_; }

  // The program ends after a change that moved the router to address: its next start, logged
  // in there, offers to undo that change. TakeOffer hands the snapshot over once.
  void OfferUndoAtNextStart(const std::string& address);
  std::optional<std::string> TakeOffer(const std::string& address);
  // The router's address when the last snapshot of this run was written, and its file.
  const std::string& LastAddress() const { return lastAddress_; }
  const std::string& LastWritten() const { return lastWritten_; }

 private:
  bool Keep(std::vector<ShownPage> pages, WindowRef owner);
  // The file's path, or what went wrong.
  std::variant<std::string, std::string> Write(const SettingsFile& file);
  void Prune() const;

  Session& session_;
  std::string folder_;
  std::function<std::string()> now_;
  std::map<std::string, ShownPage> lastRead_;
  std::string lastWritten_;
  std::string lastAddress_;
};

// A snapshot's file name: its time, a number within the second, the router's address.
std::string SnapshotName(const std::string& utcTimestamp, int sequence, const std::string& address);

}  // namespace tarnwick
