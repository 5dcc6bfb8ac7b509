// The channel operations a host offers over a JTAG chain, on the simulated chain: the cable's
// pin-level lines (levels set, then applied together by Flush; Capture samples TDO) and the
// TAP-level operations (go to a state, move along a path, one TMS clock, load an instruction
// with the other devices in BYPASS, data-register scans). The host's channel object answers
// its DISPIDs with these.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "simhost/jtag/SimChain.h"

namespace tavix::jtagsim {

class TSimChannel {
 public:
  explicit TSimChannel(TSimChain& chain);

  TSimChain& Chain() { return FChain; }

  // ---- access bracket: nested Begin/End pairs; Depth is 0 outside any access.
  void BeginAccess() { ++FDepth; }
  void EndAccess() {
    if (FDepth > 0) --FDepth;
  }
  int AccessDepth() const { return FDepth; }

  // ---- pin-level lines: Set* only record a level; Flush drives TMS and TDI, then TCK, so a
  // TCK edge in the same flush sees the new TMS and TDI; Capture latches TDO for GetTdo.
  void SetTck(bool level) { FTck = level; }
  void SetTms(bool level) { FTms = level; }
  void SetTdi(bool level) { FTdi = level; }
  void SetTrst(bool level) { FTrst = level; }
  bool PendingTck() const { return FTck; }
  bool PendingTms() const { return FTms; }
  bool PendingTdi() const { return FTdi; }
  void Flush() {
    FChain.SetTms(FTms);
    FChain.SetTdi(FTdi);
    if (FTrst != FChain.Trst()) FChain.SetTrst(FTrst);
    FChain.SetTck(FTck);
  }
  void Capture() { FTdo = FChain.GetTdo(); }
  bool Tdo() const { return FTdo; }

  // ---- TAP-level operations (each flushes what the lines hold first and leaves TCK low)
  // Resets the chain's TAPs and waits in Run-Test/Idle: the start of a download.
  void PrepareChain();
  // The shortest path from the present state; Test-Logic-Reset always by five TMS-high clocks.
  void GoToTapState(TTapState state);
  // The path from `from` to `to`, trusting the caller that the TAP is in `from`.
  void MoveTapState(TTapState from, TTapState to);
  // One TCK cycle with TMS at `level` and TDI as it stands, ending with TCK low.
  void ClockTms(bool level);
  // Loads `code` at `position`, BYPASS elsewhere; ends in Run-Test/Idle.
  void LoadInstruction(uint32_t code, size_t position);
  // Full data scan from and back to Run-Test/Idle of `bitCount` bits of `value` into the device
  // at `position` (the others one bypass bit each); the captured bits (beyond 32: low 32).
  uint32_t ScanDataRegister(uint32_t value, int bitCount, size_t position);
  // The same shift without the state moves: starts in Shift-DR, ends in Exit1-DR.
  uint32_t ExchangeDataRegister(uint32_t value, int bitCount, size_t position);
  // Bits as text, bit 0 (the first shifted, nearest TDO) last, as register values are
  // written; answers the captured bits in the same form. Raises std::invalid_argument for a
  // character other than '0' or '1'.
  std::string ExchangeDataRegisterText(const std::string& bits, size_t position);

 private:
  void Settle();  // flush the lines, TCK low, lines mirror the chain
  void ClockNoSettle(bool tms, bool tdi);
  std::vector<uint8_t> ShiftBits(std::span<const uint8_t> bits, size_t position);

  TSimChain& FChain;
  int FDepth = 0;
  bool FTck = false;
  bool FTms = true;
  bool FTdi = true;
  bool FTrst = true;
  bool FTdo = true;
};

// Throws std::invalid_argument when `number` is no TAP state (1..16).
TTapState TapStateFromNumber(int number);

}  // namespace tavix::jtagsim
