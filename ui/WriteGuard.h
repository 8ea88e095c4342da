// What is told of every page's readings and asked before every change it makes, so that a copy
// of what the router held can be kept before it changes.
#pragma once

namespace tarnwick {

class DialogModel;

class WriteGuard {
 public:
  virtual ~WriteGuard() = default;
  // What the model shows of its settings is now the router's: just read, or just applied.
  virtual void Read(const DialogModel& model) = 0;
  // A change made by the model is about to leave. False: it must not (the user has been told).
  virtual bool BeforeChange(const DialogModel& model) = 0;
};

}  // namespace tarnwick
