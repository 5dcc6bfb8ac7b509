// The timer manager as a module uses it: handlers fire at their interval while enabled.
#include "SimHostTestSupport.h"

namespace tavix::sim::testing {
namespace {

using TimerTest = SimHostTest;

std::vector<uint64_t> Times(const RecordingHandler& handler) {
  std::vector<uint64_t> times;
  for (const Callback& c : handler.Calls) times.push_back(c.Time);
  return times;
}

TEST_F(TimerTest, FiresAtItsIntervalWithItsIdOnlyWhileEnabled) {
  const ITimerManager timers = HostClient().GetTimerManager();
  const ComPtr<RecordingHandler> handler = NewHandler();
  const uint32_t id = timers.AddHandler(handler->AsDispatch(), 100, true);
  ASSERT_NE(id, 0u);

  EXPECT_EQ(Host.AdvanceTime(350), 3);
  EXPECT_EQ(Times(*handler.Get()), (std::vector<uint64_t>{100, 200, 300}));
  for (const Callback& c : handler->Calls) EXPECT_EQ(c.Number, static_cast<int64_t>(id));

  timers.EnableHandler(id, false);
  EXPECT_EQ(Host.AdvanceTime(1000), 0);

  // Switching it on again starts a fresh interval from now (1350).
  timers.EnableHandler(id, true);
  Host.AdvanceTime(250);
  EXPECT_EQ(Times(*handler.Get()), (std::vector<uint64_t>{100, 200, 300, 1450, 1550}));
}

TEST_F(TimerTest, CreatedDisabledWaitsUntilEnabled) {
  const ITimerManager timers = HostClient().GetTimerManager();
  const ComPtr<RecordingHandler> handler = NewHandler();
  const uint32_t id = timers.AddHandler(handler->AsDispatch(), 500, false);
  Host.AdvanceTime(2000);
  EXPECT_TRUE(handler->Calls.empty());
  timers.EnableHandler(id, true);
  Host.AdvanceTime(1000);
  EXPECT_EQ(Times(*handler.Get()), (std::vector<uint64_t>{2500, 3000}));
}

TEST_F(TimerTest, RemovalStopsTheTimerAndReleasesTheHandler) {
  const ITimerManager timers = HostClient().GetTimerManager();
  const ComPtr<RecordingHandler> handler = NewHandler();
  const uint32_t id = timers.AddHandler(handler->AsDispatch(), 100, true);
  EXPECT_EQ(handler->RefCount(), 2);
  Host.AdvanceTime(100);
  timers.RemoveHandler(id);
  EXPECT_EQ(handler->RefCount(), 1);
  Host.AdvanceTime(1000);
  EXPECT_EQ(handler->Calls.size(), 1u);
  EXPECT_FALSE(Host.Timers().Find(id));
  timers.RemoveHandler(id);  // gone already: nothing to do, no error
  EXPECT_THROW(timers.EnableHandler(id, true), EOleError);
}

TEST_F(TimerTest, DueTimersFireInTimeOrderOlderFirstOnTies) {
  const ITimerManager timers = HostClient().GetTimerManager();
  std::vector<char> order;
  const ComPtr<RecordingHandler> a = NewHandler(), b = NewHandler();
  a->OnCall = [&](const Callback&) { order.push_back('a'); };
  b->OnCall = [&](const Callback&) { order.push_back('b'); };
  timers.AddHandler(a->AsDispatch(), 100, true);
  timers.AddHandler(b->AsDispatch(), 250, true);
  EXPECT_EQ(Host.AdvanceTime(500), 7);
  EXPECT_EQ(std::string(order.begin(), order.end()), "aabaaab");
}

TEST_F(TimerTest, HandlerMayRemoveItsOwnTimerWhileFiring) {
  const ITimerManager timers = HostClient().GetTimerManager();
  const ComPtr<RecordingHandler> handler = NewHandler();
  handler->OnCall = [&](const Callback& c) { timers.RemoveHandler(static_cast<uint32_t>(c.Number)); };
  timers.AddHandler(handler->AsDispatch(), 10, true);
  Host.AdvanceTime(100);
  EXPECT_EQ(handler->Calls.size(), 1u);
  EXPECT_TRUE(Host.Timers().Timers().empty());
}

TEST_F(TimerTest, RejectsAMissingHandlerOrAnIntervalBelowOneMillisecond) {
  const ITimerManager timers = HostClient().GetTimerManager();
  const ComPtr<RecordingHandler> handler = NewHandler();
  for (const int32_t interval : {0, -5}) {
    try {
      timers.AddHandler(handler->AsDispatch(), interval, true);
      ADD_FAILURE() << "interval " << interval << " accepted";
    } catch (const EOleError& e) {
      EXPECT_EQ(e.Code(), E_INVALIDARG);
    }
  }
  EXPECT_THROW(timers.AddHandler(nullptr, 100, true), EOleError);
  EXPECT_TRUE(Host.Timers().Timers().empty());
}

TEST_F(TimerTest, ShutDownReleasesHandlersStillRegistered) {
  const ComPtr<RecordingHandler> handler = NewHandler();
  HostClient().GetTimerManager().AddHandler(handler->AsDispatch(), 100, true);
  Host.Timers().Clear();
  EXPECT_EQ(handler->RefCount(), 1);
}

TEST(TimerRealClock, LoopFiresDueTimersAndManualAdvanceIsRefused) {
  ScratchFolder data;
  SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Real});
  const ComPtr<RecordingHandler> handler = MakeHostObject<RecordingHandler>(host);
  HostClient().GetTimerManager().AddHandler(handler->AsDispatch(), 5, true);
  // The loop runs past the first due time, so the timer has fired at least once.
  host.RunFor(20);
  EXPECT_FALSE(handler->Calls.empty());
  EXPECT_THROW(host.AdvanceTime(10), ESimHostError);
}

TEST(HostLoop, RunsLoopTasksAndTimersUntilQuit) {
  ScratchFolder data;
  SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Real});
  int turns = 0;
  host.AddLoopTask([&] { ++turns; });
  const ComPtr<RecordingHandler> handler = MakeHostObject<RecordingHandler>(host);
  handler->OnCall = [&](const Callback&) {
    if (handler->Calls.size() == 3) host.Quit();
  };
  HostClient().GetTimerManager().AddHandler(handler->AsDispatch(), 1, true);
  host.Run();
  EXPECT_EQ(handler->Calls.size(), 3u);
  EXPECT_GE(turns, 3);
}

TEST(HostLoop, ManualClockRunForAdvancesTimeAndRefusesAFreeRunningLoop) {
  ScratchFolder data;
  SimHost host(SimHostOptions{.DataFolder = data.Path(), .Clock = ClockMode::Manual});
  int turns = 0;
  host.AddLoopTask([&] { ++turns; });
  const ComPtr<RecordingHandler> handler = MakeHostObject<RecordingHandler>(host);
  HostClient().GetTimerManager().AddHandler(handler->AsDispatch(), 40, true);
  host.RunFor(100);
  EXPECT_EQ(host.Now(), 100u);
  EXPECT_EQ(handler->Calls.size(), 2u);
  EXPECT_EQ(turns, 1);
  EXPECT_THROW(host.Run(), ESimHostError);
}

}  // namespace
}  // namespace tavix::sim::testing
