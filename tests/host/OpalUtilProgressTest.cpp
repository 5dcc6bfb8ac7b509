// The status-bar progress: the exact status calls the host's GUI manager receives.
#include <gtest/gtest.h>

#include "../support/FakeHost.h"
#include "host/Opal.Util.h"

namespace tavix {
namespace {

using test::TFakeHost;

// Status codes in the order the GUI manager received them.
std::vector<int32_t> Codes(const TFakeHost& host) {
  std::vector<int32_t> codes;
  for (const auto& call : host.GUIManager->CallsOf(164)) codes.push_back(call.Int(0));
  return codes;
}

TEST(ProgressTest, BeginAndEndBracketTheOperation) {
  TFakeHost host;
  ResetStatus();
  BeginProgress("Programming Device Via JTAG...", 10);
  EXPECT_EQ(ProgressDepth(), 1);
  EndProgress();
  EXPECT_EQ(ProgressDepth(), 0);
  EXPECT_EQ(Codes(host), (std::vector<int32_t>{-1, -3, -5, -6, -4}));
  EXPECT_EQ(host.GUIManager->CallsOf(164)[2].Str(1), "Programming Device Via JTAG...");
  EndProgress();  // nothing under way: no call
  StepProgress();
  EXPECT_EQ(Codes(host).size(), 5u);
}

struct TStepCase {
  const char* Name;
  int64_t Total;
  int Steps;
  std::vector<int> PercentCallsPerStep;
  friend void PrintTo(const TStepCase& c, std::ostream* os) { *os << c.Name; }
};

class StepProgressTest : public testing::TestWithParam<TStepCase> {};

TEST_P(StepProgressTest, OneCallPerWholePercentGained) {
  const TStepCase& c = GetParam();
  TFakeHost host;
  BeginProgress("Working", c.Total);
  std::vector<int> perStep;
  for (int i = 0; i < c.Steps; ++i) {
    const size_t before = Codes(host).size();
    StepProgress();
    const std::vector<int32_t> codes = Codes(host);
    for (size_t k = before; k < codes.size(); ++k) EXPECT_EQ(codes[k], -7);
    perStep.push_back(static_cast<int>(codes.size() - before));
  }
  EndProgress();
  EXPECT_EQ(perStep, c.PercentCallsPerStep);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, StepProgressTest,
    testing::Values(
        // 33.3 -> 33, 66.7 -> 67, 100
        TStepCase{"Thirds", 3, 3, {33, 34, 33}},
        // 12.5 -> 12 and 37.5 -> 38 and 62.5 -> 62 and 87.5 -> 88: halves go to the even percent
        TStepCase{"EighthsRoundHalfToEven", 8, 8, {12, 13, 13, 12, 12, 13, 13, 12}},
        TStepCase{"ZeroTotalIsDoneAtOnce", 0, 3, {100, 0, 0}},
        TStepCase{"NeverBeyondAHundred", 2, 4, {50, 50, 0, 0}},
        // 0.5 -> 0, 1.0 -> 1, 1.5 -> 2, 2.0 -> 2
        TStepCase{"SmallStepsWaitForAWholePercent", 200, 4, {0, 1, 1, 0}}),
    [](const testing::TestParamInfo<TStepCase>& info) { return std::string(info.param.Name); });

TEST(ProgressTest, NestedOperationsStepTheInnermost) {
  TFakeHost host;
  BeginProgress("Outer", 2);
  BeginProgress("Inner", 4);
  StepProgress();  // inner: 25
  EndProgress();
  host.GUIManager->ClearCalls();
  StepProgress();  // outer: 50
  EXPECT_EQ(Codes(host), std::vector<int32_t>(50, -7));
  EndProgress();
  EXPECT_EQ(ProgressDepth(), 0);
}

TEST(ProgressTest, WithoutAHostTheOperationsStillNest) {
  BeginProgress("Alone", 5);
  StepProgress();
  EXPECT_EQ(ProgressDepth(), 1);
  EndProgress();
  EXPECT_EQ(ProgressDepth(), 0);
}

}  // namespace
}  // namespace tavix
