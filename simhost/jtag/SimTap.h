// The IEEE 1149.1 TAP controller: its sixteen states, the TMS-driven transitions between them
// and the shortest TMS sequences from one state to another.
//
// State numbers follow the host's numbering (2 Run-Test/Idle, 5 Shift-DR, 6 Exit1-DR, ...):
// the sixteen states in the order of the standard's state diagram, Test-Logic-Reset first at 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavix::jtagsim {

enum class TTapState : uint8_t {
  TestLogicReset = 1,
  RunTestIdle = 2,
  SelectDRScan = 3,
  CaptureDR = 4,
  ShiftDR = 5,
  Exit1DR = 6,
  PauseDR = 7,
  Exit2DR = 8,
  UpdateDR = 9,
  SelectIRScan = 10,
  CaptureIR = 11,
  ShiftIR = 12,
  Exit1IR = 13,
  PauseIR = 14,
  Exit2IR = 15,
  UpdateIR = 16,
};

constexpr int kTapStateFirst = 1;
constexpr int kTapStateLast = 16;

// True for the numbers 1..16.
constexpr bool IsTapState(int number) { return number >= kTapStateFirst && number <= kTapStateLast; }

// The state diagram: next state by [state number][TMS].
inline constexpr std::array<std::array<TTapState, 2>, 17> kTapNext = {{
    {TTapState::TestLogicReset, TTapState::TestLogicReset},  // 0: not a state
    {TTapState::RunTestIdle, TTapState::TestLogicReset},     // Test-Logic-Reset
    {TTapState::RunTestIdle, TTapState::SelectDRScan},       // Run-Test/Idle
    {TTapState::CaptureDR, TTapState::SelectIRScan},         // Select-DR-Scan
    {TTapState::ShiftDR, TTapState::Exit1DR},                // Capture-DR
    {TTapState::ShiftDR, TTapState::Exit1DR},                // Shift-DR
    {TTapState::PauseDR, TTapState::UpdateDR},               // Exit1-DR
    {TTapState::PauseDR, TTapState::Exit2DR},                // Pause-DR
    {TTapState::ShiftDR, TTapState::UpdateDR},               // Exit2-DR
    {TTapState::RunTestIdle, TTapState::SelectDRScan},       // Update-DR
    {TTapState::CaptureIR, TTapState::TestLogicReset},       // Select-IR-Scan
    {TTapState::ShiftIR, TTapState::Exit1IR},                // Capture-IR
    {TTapState::ShiftIR, TTapState::Exit1IR},                // Shift-IR
    {TTapState::PauseIR, TTapState::UpdateIR},               // Exit1-IR
    {TTapState::PauseIR, TTapState::Exit2IR},                // Pause-IR
    {TTapState::ShiftIR, TTapState::UpdateIR},               // Exit2-IR
    {TTapState::RunTestIdle, TTapState::SelectDRScan},       // Update-IR
}};

// The state the controller enters on a rising TCK edge with the given TMS level.
inline TTapState NextTapState(TTapState state, bool tms) { return kTapNext[static_cast<size_t>(state)][tms]; }

// The standard's name of a state, e.g. "Shift-DR".
std::string_view TapStateName(TTapState state);

// The shortest TMS sequence leading from one state to another: Count clocks, the TMS level of
// clock i being bit i of Bits. From a state to itself the path is empty.
struct TTmsPath {
  uint32_t Bits = 0;
  int Count = 0;
};
TTmsPath TmsPath(TTapState from, TTapState to);

}  // namespace tavix::jtagsim
