#include "simhost/SimHost.Timers.h"

namespace tavix::sim {

TimerManager::TimerManager(ClockMode mode) : FMode(mode), FStart(std::chrono::steady_clock::now()) {}

uint64_t TimerManager::Now() const {
  if (FMode == ClockMode::Manual) return FManualNow;
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - FStart).count());
}

uint32_t TimerManager::AddHandler(IDispatch* handler, int32_t intervalMs, bool enabled) {
  Expect(handler != nullptr, "a timer needs a handler");
  Expect(intervalMs > 0, "a timer interval must be at least 1 ms");
  const uint32_t id = FNextId++;
  FTimers[id] = Timer{ComPtr<IDispatch>(handler), intervalMs, enabled, Now() + static_cast<uint64_t>(intervalMs), 0};
  return id;
}

bool TimerManager::RemoveHandler(uint32_t id) {
  const auto it = FTimers.find(id);
  if (it == FTimers.end()) return false;
  // Release the handler after the timer is gone: its destruction may call back into us.
  const ComPtr<IDispatch> handler = std::move(it->second.Handler);
  FTimers.erase(it);
  return true;
}

bool TimerManager::EnableHandler(uint32_t id, bool enabled) {
  const auto it = FTimers.find(id);
  if (it == FTimers.end()) return false;
  Timer& timer = it->second;
  // Switching a timer on starts a fresh interval; switching on a running one changes nothing.
  if (enabled && !timer.Enabled) timer.Due = Now() + static_cast<uint64_t>(timer.IntervalMs);
  timer.Enabled = enabled;
  return true;
}

std::vector<TimerInfo> TimerManager::Timers() const {
  std::vector<TimerInfo> list;
  for (const auto& [id, t] : FTimers) list.push_back({id, t.IntervalMs, t.Enabled, t.Due, t.FireCount, t.Handler.Get()});
  return list;
}

std::optional<TimerInfo> TimerManager::Find(uint32_t id) const {
  const auto it = FTimers.find(id);
  if (it == FTimers.end()) return std::nullopt;
  const Timer& t = it->second;
  return TimerInfo{id, t.IntervalMs, t.Enabled, t.Due, t.FireCount, t.Handler.Get()};
}

std::optional<uint64_t> TimerManager::NextDue() const {
  std::optional<uint64_t> next;
  for (const auto& [id, t] : FTimers)
    if (t.Enabled && (!next || t.Due < *next)) next = t.Due;
  return next;
}

std::optional<uint32_t> TimerManager::EarliestDue(uint64_t limit) const {
  std::optional<uint32_t> best;
  uint64_t bestDue = 0;
  for (const auto& [id, t] : FTimers) {
    if (!t.Enabled || t.Due > limit) continue;
    if (!best || t.Due < bestDue) best = id, bestDue = t.Due;  // ties: the older timer first
  }
  return best;
}

void TimerManager::Fire(uint32_t id, bool catchUp) {
  auto it = FTimers.find(id);
  if (it == FTimers.end()) return;
  const ComPtr<IDispatch> handler = it->second.Handler;
  const uint64_t due = it->second.Due;
  ++it->second.FireCount;
  if (Failed(CallBack(handler.Get(), 267, static_cast<int32_t>(id)))) ++FFailedCallbacks;
  // The handler may have removed, switched or re-armed its timer; only an untouched one moves on.
  it = FTimers.find(id);
  if (it == FTimers.end() || !it->second.Enabled || it->second.Due != due) return;
  const auto interval = static_cast<uint64_t>(it->second.IntervalMs);
  it->second.Due = catchUp ? due + interval : Now() + interval;
}

int TimerManager::AdvanceTime(uint64_t ms) {
  if (FMode != ClockMode::Manual) throw ESimHostError("AdvanceTime needs a host on the manual clock");
  const uint64_t target = FManualNow + ms;
  int calls = 0;
  while (const std::optional<uint32_t> id = EarliestDue(target)) {
    FManualNow = std::max(FManualNow, FTimers.at(*id).Due);
    Fire(*id, true);
    ++calls;
  }
  FManualNow = target;
  return calls;
}

int TimerManager::FireDue() {
  const uint64_t now = Now();
  std::vector<uint32_t> due;
  for (const auto& [id, t] : FTimers)
    if (t.Enabled && t.Due <= now) due.push_back(id);
  for (const uint32_t id : due) Fire(id, false);
  return static_cast<int>(due.size());
}

void TimerManager::Clear() {
  std::map<uint32_t, Timer> timers;
  timers.swap(FTimers);  // handlers released after the manager is empty
}

bool TimerManager::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 268: {  // AddHandler(handler, interval in ms, enabled) -> timer id
      const ComPtr<IDispatch> handler = args.Object(0);
      const int32_t interval = args.Int(1);
      const bool enabled = args.Bool(2);
      SetResultUInt(result, AddHandler(handler.Get(), interval, enabled));
      return true;
    }
    case 269:  // RemoveHandler(id); removing a timer that is gone already is no error
      RemoveHandler(args.Low32(0));
      return true;
    case 271:  // EnableHandler(id, enabled)
      Expect(EnableHandler(args.Low32(0), args.Bool(1)), "no timer with this id");
      return true;
    default:
      return false;
  }
}

}  // namespace tavix::sim
