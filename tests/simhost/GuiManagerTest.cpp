// The GUI manager: status bar and progress state, panels, shortcut keys.
#include "SimHostTestSupport.h"

namespace tavix::sim::testing {
namespace {

struct StatusCase {
  const char* Name;
  std::vector<StatusCall> Calls;
  bool Active;
  int Percent;
  std::string ProgressText;
  std::string StatusText;
};

std::vector<StatusCall> Steps(int count) { return std::vector<StatusCall>(static_cast<size_t>(count), {-7, ""}); }

std::vector<StatusCall> Join(std::initializer_list<std::vector<StatusCall>> parts) {
  std::vector<StatusCall> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class StatusBarTest : public SimHostTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusBarTest, KeepsTheProgressState) {
  const StatusCase& c = GetParam();
  const IGUIManager gui = HostClient().GetGUIManager();
  for (const StatusCall& call : c.Calls) gui.UpdateStatusBar(call.Code, call.Text);
  const GuiManager& state = Host.Gui();
  EXPECT_EQ(state.ProgressActive(), c.Active);
  EXPECT_EQ(state.ProgressPercent(), c.Percent);
  EXPECT_EQ(state.ProgressText(), c.ProgressText);
  EXPECT_EQ(state.StatusText(), c.StatusText);
  ASSERT_EQ(state.StatusCalls().size(), c.Calls.size());
  for (size_t i = 0; i < c.Calls.size(); ++i) {
    EXPECT_EQ(state.StatusCalls()[i].Code, c.Calls[i].Code);
    EXPECT_EQ(state.StatusCalls()[i].Text, c.Calls[i].Text);
  }
}

const std::vector<StatusCall> kBegin = {{-3, ""}, {-5, "Programming Device Via JTAG..."}};
const std::vector<StatusCall> kEnd = {{-6, ""}, {-4, ""}};

INSTANTIATE_TEST_SUITE_P(
    Sequences, StatusBarTest,
    ::testing::Values(
        StatusCase{"Begin", kBegin, true, 0, "Programming Device Via JTAG...", ""},
        StatusCase{"ThreeSteps", Join({kBegin, Steps(3)}), true, 3, "Programming Device Via JTAG...", ""},
        StatusCase{"StepsStopAtOneHundred", Join({kBegin, Steps(150)}), true, 100, "Programming Device Via JTAG...", ""},
        StatusCase{"End", Join({kBegin, Steps(40), kEnd}), false, 0, "", ""},
        StatusCase{"NestedBarRestoresTheOuter",
                   Join({kBegin, Steps(10), {{-3, ""}, {-5, "inner"}}, Steps(50), kEnd}), true, 10,
                   "Programming Device Via JTAG...", ""},
        StatusCase{"CaptionClearedBeforeTheBarCloses", Join({kBegin, Steps(2), {{-6, ""}}}), true, 2, "", ""},
        StatusCase{"StepWithoutBarChangesNothing", Steps(2), false, 0, "", ""},
        StatusCase{"TextWithoutBarIsTheStatusText", {{-5, "Ready"}}, false, 0, "", "Ready"},
        StatusCase{"PlainMessage", {{0, "Loading"}}, false, 0, "", "Loading"},
        StatusCase{"ResetClearsEverything", Join({{{0, "Loading"}}, kBegin, Steps(5), {{-1, ""}}}), false, 0, "", ""}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.Name); });

using GuiTest = SimHostTest;

TEST_F(GuiTest, UnknownStatusCodeIsRefusedAndNotRecorded) {
  EXPECT_THROW(HostClient().GetGUIManager().UpdateStatusBar(-8, "x"), EOleError);
  EXPECT_TRUE(Host.Gui().StatusCalls().empty());
}

TEST_F(GuiTest, PanelsKeepVisibilityAndSizeByName) {
  const IGUIManager gui = HostClient().GetGUIManager();
  gui.SetPanelSize("Pins Panel", 420, 300);
  gui.ShowPanel("PINS PANEL", true);
  const PanelState panel = Host.Gui().Panel("pins panel");
  EXPECT_TRUE(panel.Visible);
  EXPECT_EQ(panel.Width, 420);
  EXPECT_EQ(panel.Height, 300);
  EXPECT_EQ(panel.ShowCalls, 1);
  EXPECT_EQ(panel.SizeCalls, 1);
  gui.ShowPanel("Pins Panel", false);
  EXPECT_FALSE(Host.Gui().Panel("Pins Panel").Visible);
  EXPECT_THROW(gui.SetPanelSize("Pins Panel", -1, 10), EOleError);
}

TEST_F(GuiTest, OnlyRegisteredShortcutsAreTakenAndRun) {
  Host.Gui().RegisterShortcut({'S', false, false, true}, "Save");
  const IGUIManager gui = HostClient().GetGUIManager();
  EXPECT_TRUE(gui.IsShortcutKey('S', false, false, true));
  EXPECT_FALSE(gui.IsShortcutKey('S', false, true, true));
  EXPECT_FALSE(gui.IsShortcutKey('S', false, false, false));
  gui.ProcessShortcutKey('S', false, false, true);
  EXPECT_THROW(gui.ProcessShortcutKey('X', false, false, true), EOleError);
  EXPECT_EQ(Host.Gui().ShortcutsRun(), (std::vector<std::string>{"Save"}));
}

}  // namespace
}  // namespace tavix::sim::testing
