// The TAP controller's state diagram and the TMS paths through it.
#include <gtest/gtest.h>

#include "simhost/jtag/SimTap.h"

namespace tavix::jtagsim {
namespace {

using S = TTapState;

struct TTransition {
  S From;
  bool Tms;
  S To;
};

TEST(JtagSimTap, FollowsTheStateDiagram) {
  // Every arc of the standard's diagram.
  const TTransition arcs[] = {
      {S::TestLogicReset, false, S::RunTestIdle}, {S::TestLogicReset, true, S::TestLogicReset},
      {S::RunTestIdle, false, S::RunTestIdle},    {S::RunTestIdle, true, S::SelectDRScan},
      {S::SelectDRScan, false, S::CaptureDR},     {S::SelectDRScan, true, S::SelectIRScan},
      {S::CaptureDR, false, S::ShiftDR},          {S::CaptureDR, true, S::Exit1DR},
      {S::ShiftDR, false, S::ShiftDR},            {S::ShiftDR, true, S::Exit1DR},
      {S::Exit1DR, false, S::PauseDR},            {S::Exit1DR, true, S::UpdateDR},
      {S::PauseDR, false, S::PauseDR},            {S::PauseDR, true, S::Exit2DR},
      {S::Exit2DR, false, S::ShiftDR},            {S::Exit2DR, true, S::UpdateDR},
      {S::UpdateDR, false, S::RunTestIdle},       {S::UpdateDR, true, S::SelectDRScan},
      {S::SelectIRScan, false, S::CaptureIR},     {S::SelectIRScan, true, S::TestLogicReset},
      {S::CaptureIR, false, S::ShiftIR},          {S::CaptureIR, true, S::Exit1IR},
      {S::ShiftIR, false, S::ShiftIR},            {S::ShiftIR, true, S::Exit1IR},
      {S::Exit1IR, false, S::PauseIR},            {S::Exit1IR, true, S::UpdateIR},
      {S::PauseIR, false, S::PauseIR},            {S::PauseIR, true, S::Exit2IR},
      {S::Exit2IR, false, S::ShiftIR},            {S::Exit2IR, true, S::UpdateIR},
      {S::UpdateIR, false, S::RunTestIdle},       {S::UpdateIR, true, S::SelectDRScan},
  };
  for (const TTransition& t : arcs)
    EXPECT_EQ(NextTapState(t.From, t.Tms), t.To) << TapStateName(t.From) << " TMS " << t.Tms;
}

TEST(JtagSimTap, FiveTmsHighClocksResetFromEveryState) {
  for (int n = kTapStateFirst; n <= kTapStateLast; ++n) {
    S s = static_cast<S>(n);
    for (int i = 0; i < 5; ++i) s = NextTapState(s, true);
    EXPECT_EQ(s, S::TestLogicReset) << "from " << TapStateName(static_cast<S>(n));
  }
}

TEST(JtagSimTap, PathsReachTheirTargetInFewestClocks) {
  auto walk = [](S s, uint32_t bits, int count) {
    for (int i = 0; i < count; ++i) s = NextTapState(s, (bits >> i) & 1u);
    return s;
  };
  for (int f = kTapStateFirst; f <= kTapStateLast; ++f) {
    for (int t = kTapStateFirst; t <= kTapStateLast; ++t) {
      const S from = static_cast<S>(f), to = static_cast<S>(t);
      const TTmsPath path = TmsPath(from, to);
      EXPECT_EQ(walk(from, path.Bits, path.Count), to);
      // No shorter TMS sequence gets there.
      for (int count = 0; count < path.Count; ++count)
        for (uint32_t bits = 0; bits < (1u << count); ++bits)
          ASSERT_NE(walk(from, bits, count), to) << TapStateName(from) << " -> " << TapStateName(to);
    }
  }
  // The routes every scan takes.
  EXPECT_EQ(TmsPath(S::RunTestIdle, S::ShiftDR).Count, 3);
  EXPECT_EQ(TmsPath(S::RunTestIdle, S::ShiftDR).Bits, 0b001u);
  EXPECT_EQ(TmsPath(S::RunTestIdle, S::ShiftIR).Count, 4);
  EXPECT_EQ(TmsPath(S::RunTestIdle, S::ShiftIR).Bits, 0b0011u);
  EXPECT_EQ(TmsPath(S::Exit1DR, S::RunTestIdle).Count, 2);
  EXPECT_EQ(TmsPath(S::TestLogicReset, S::RunTestIdle).Count, 1);
  EXPECT_EQ(TmsPath(S::ShiftDR, S::ShiftIR).Count, 6);
}

}  // namespace
}  // namespace tavix::jtagsim
