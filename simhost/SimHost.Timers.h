// The host's timer manager: handlers registered with an interval fire from the host's loop
// (the host calls the handler's DISPID 267 with the timer id) while they are enabled.
// The clock is either the real one or a manual one that tests move on by hand.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "simhost/SimHost.Object.h"

namespace tavix::sim {

enum class ClockMode {
  Real,    // time passes by itself; the loop fires timers that are due
  Manual,  // time moves only by AdvanceTime, which fires exactly the timers that fall due
};

struct TimerInfo {
  uint32_t Id;
  int32_t IntervalMs;
  bool Enabled;
  uint64_t NextDueMs;  // on the host clock; meaningful while enabled
  uint64_t FireCount;
  IDispatch* Handler;  // no reference taken
};

class TimerManager : public HostObject {
 public:
  explicit TimerManager(ClockMode mode);

  ClockMode Mode() const { return FMode; }
  // Milliseconds since the host started.
  uint64_t Now() const;

  // The automation operations, also callable by the host itself.
  uint32_t AddHandler(IDispatch* handler, int32_t intervalMs, bool enabled);
  bool RemoveHandler(uint32_t id);                // false when no such timer
  bool EnableHandler(uint32_t id, bool enabled);  // false when no such timer

  std::vector<TimerInfo> Timers() const;
  std::optional<TimerInfo> Find(uint32_t id) const;
  // Time on the host clock when the next enabled timer falls due.
  std::optional<uint64_t> NextDue() const;

  // Manual clock only: moves time on by `ms`, firing every timer that falls due on the way in
  // time order (a 100 ms timer fires ten times in 1000 ms). Answers the number of calls made.
  int AdvanceTime(uint64_t ms);
  // Fires every enabled timer that is due now, once each; a timer that was late does not
  // catch up but is next due one interval from now, as a host's message loop behaves.
  int FireDue();

  // Handler calls that answered a failure code.
  int FailedCallbacks() const { return FFailedCallbacks; }
  // Drops every timer and its handler (host shut-down).
  void Clear();

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  struct Timer {
    ComPtr<IDispatch> Handler;
    int32_t IntervalMs;
    bool Enabled;
    uint64_t Due;
    uint64_t FireCount;
  };
  // Calls the handler of one due timer and schedules its next turn.
  void Fire(uint32_t id, bool catchUp);
  std::optional<uint32_t> EarliestDue(uint64_t limit) const;

  ClockMode FMode;
  std::chrono::steady_clock::time_point FStart;
  uint64_t FManualNow = 0;
  uint32_t FNextId = 1;
  std::map<uint32_t, Timer> FTimers;
  int FFailedCallbacks = 0;
};

}  // namespace tavix::sim
