// The DSL figures of each refresh as samples in time, kept for a day, oldest going first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct DslReplies;

// Milliseconds since 1970-01-01T00:00:00Z.
using UtcMillis = std::int64_t;
UtcMillis SystemUtcNow();

struct CivilTime {
  int year, month, day, hour, minute, second, millisecond;
};
CivilTime ToCivil(UtcMillis time);
// "2024-05-01T22:03:07.250Z"
std::string FormatIsoUtc(UtcMillis time);

enum class LinkState : std::uint8_t { Alive, Idle, Timeout };
// As the page shows it, or "timeout".
const char* LinkText(LinkState link);

// What one poll read. A figure the poll did not read, or that was not a number, is empty.
struct DslSample {
  UtcMillis time = 0;  // when the poll started
  LinkState link = LinkState::Timeout;
  std::string adslMode;
  std::string operationMode;
  std::optional<double> downFastKbps, downInterleavedKbps, upFastKbps, upInterleavedKbps;
  std::optional<double> downMarginDb, upMarginDb;
  std::optional<double> downAttenuationDb, upAttenuationDb;
  std::optional<double> downPowerDbm, upPowerDbm;
  std::optional<std::uint64_t> txPackets, rxGoodPackets, rxBadPackets;
};

// The replies of one poll scanned afresh, by the page's own scanner: nothing is carried
// over from an earlier poll. complete is false when a command of the poll did not complete.
DslSample MakeSample(UtcMillis time, const DslReplies& replies, bool complete);

class LineHistory {
 public:
  // A day at the page's poll period.
  static constexpr std::size_t kDayAtPagePeriod = 24 * 3600 / 3;

  explicit LineHistory(std::size_t capacity = kDayAtPagePeriod);

  // When full, the oldest sample makes room.
  void Append(DslSample sample);

  std::size_t size() const { return ring_.size(); }
  bool empty() const { return ring_.empty(); }
  std::size_t capacity() const { return capacity_; }
  // 0 is the oldest kept.
  const DslSample& operator[](std::size_t i) const {
    const std::size_t at = head_ + i;
    return ring_[at < ring_.size() ? at : at - ring_.size()];
  }
  const DslSample& back() const { return (*this)[size() - 1]; }

 private:
  std::size_t capacity_;
  std::vector<DslSample> ring_;
  std::size_t head_ = 0;  // the oldest, once the ring is full
};

}  // namespace tarnwick
