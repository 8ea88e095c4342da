// What a modeless plot window shows: a drawing for its size and span, and the data as CSV.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "channel/Clock.h"
#include "ui/Drawing.h"

namespace tarnwick {

class PlotSource {
 public:
  struct Span {
    std::string label;
    Millis length;  // 0: everything
  };

  virtual ~PlotSource() = default;

  virtual std::string Title() const = 0;
  // One line on what is shown (how many samples, from when to when).
  virtual std::string Summary(int utcOffsetMinutes) const = 0;
  // The spans a window offers, the first being its initial choice.
  virtual std::vector<Span> Spans() const = 0;
  // Times are labelled utcOffsetMinutes away from UTC.
  virtual Drawing Draw(const Canvas& canvas, Millis span, int utcOffsetMinutes) const = 0;
  virtual std::string Csv() const = 0;
  // The file name a Save As dialog offers.
  virtual std::string CsvFileName() const = 0;

  // The window that shows this source registers here, and unregisters (with an empty
  // function) before it goes.
  void Watch(std::function<void()> changed) { changed_ = std::move(changed); }

 protected:
  void Changed() const {
    if (changed_) changed_();
  }

 private:
  std::function<void()> changed_;
};

}  // namespace tarnwick
