// The module's panel forms and handlers on the stand-in host: its timer manager and its
// notifications reach them for exactly their lifetime.
#include "SimHostTestSupport.h"
#include "host/Opal.Classes.h"

namespace tavix::sim::testing {
namespace {

using ServerFormsOnSimHost = SimHostTest;

class TTickingPanel : public TServerPanelForm {
 public:
  using TServerPanelForm::TServerPanelForm;
  std::vector<uint32_t> Ticks;
  void TimerTick(uint32_t id) override { Ticks.push_back(id); }
};

TEST_F(ServerFormsOnSimHost, PanelFormTimerTicksOnlyWhileEnabledAndGoesWithTheForm) {
  auto* panel = NewForm<TTickingPanel>(nullptr);
  const uint32_t id = panel->TimerHandler()->TimerID();
  ASSERT_NE(id, 0u);
  const auto timer = Host.Timers().Find(id);
  ASSERT_TRUE(timer.has_value());
  EXPECT_EQ(timer->IntervalMs, 500);
  EXPECT_FALSE(timer->Enabled) << "created disabled";

  Host.AdvanceTime(2000);
  EXPECT_TRUE(panel->Ticks.empty());
  panel->TimerHandler()->SetEnabled(true);
  Host.AdvanceTime(1000);
  EXPECT_EQ(panel->Ticks, (std::vector<uint32_t>{id, id}));

  Free(panel);
  EXPECT_FALSE(Host.Timers().Find(id).has_value());
  EXPECT_EQ(Host.AdvanceTime(1000), 0);
  EXPECT_EQ(Host.Timers().FailedCallbacks(), 0);
}

TEST_F(ServerFormsOnSimHost, NotificationHandlerHearsTheHostUntilItsOwnerLetsGo) {
  std::vector<std::string> heard;
  auto handler = TNotificationHandler::Create([&](const INotification& n) {
    heard.push_back(n.GetCategory() + ":" + std::to_string(n.GetCode()));
  });
  EXPECT_EQ(Host.Broadcast(3, "corvane.opal.tavix"), 1);
  handler->Unregister();
  EXPECT_EQ(Host.Broadcast(6, "corvane.opal.tavix"), 0);
  EXPECT_EQ(heard, (std::vector<std::string>{"corvane.opal.tavix:3"}));
}

}  // namespace
}  // namespace tavix::sim::testing
