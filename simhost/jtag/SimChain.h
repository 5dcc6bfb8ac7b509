// A simulated JTAG chain: any sequence of simulated devices on one TCK/TMS/TRST, with TDI
// entering device 0 and each device's TDO feeding the next device's TDI; the last device's TDO
// is the chain's TDO (position 0 is nearest TDI, as the host counts chain positions).
//
// The pin-level API is what a cable drives: SetTck/SetTms/SetTdi/SetTrst and GetTdo. Every
// TCK edge reaches every device; nothing allocates on the way, so a configuration image can be
// clocked through bit by bit at full length. The helpers below it (Clock, GoToState,
// LoadInstruction, ScanDR, ProgramImage, ...) drive the same pins and serve tests and tools.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "simhost/jtag/SimDevice.h"

namespace tavix::jtagsim {

class TSimChain {
 public:
  TSimChain();
  explicit TSimChain(const std::vector<TSimDeviceDescription>& devices);
  TSimChain(const TSimChain&) = delete;
  TSimChain& operator=(const TSimChain&) = delete;

  // Appends a device at the TDO end; it starts in Test-Logic-Reset. Throws
  // std::invalid_argument for an inconsistent description.
  TSimDevice& AddDevice(TSimDeviceDescription description);
  size_t DeviceCount() const { return FDevices.size(); }
  // Throws std::out_of_range for a position outside the chain.
  TSimDevice& Device(size_t position);
  const TSimDevice& Device(size_t position) const;

  // The host's clock in milliseconds, for the devices' live pins (default: steady clock).
  void SetClock(TSimClock clock);

  // ---- pins
  void SetTck(bool level) {
    if (level == FTck) return;
    FTck = level;
    if (level)
      RisingEdge();
    else
      FallingEdge();
  }
  void SetTms(bool level) { FTms = level; }
  void SetTdi(bool level) { FTdi = level; }
  // TRST is active low: while it is 0 every TAP stays in Test-Logic-Reset.
  void SetTrst(bool level);
  bool GetTdo() const { return FDevices.empty() ? FTdi : FDevices.back()->Tdo(); }
  bool Tck() const { return FTck; }
  bool Tms() const { return FTms; }
  bool Tdi() const { return FTdi; }
  bool Trst() const { return FTrst; }

  // The TAP state, common to all devices (they share TCK and TMS).
  TTapState State() const { return FState; }

  // ---- helpers over the pins
  // One TCK cycle: TMS and TDI set, TCK up, TCK down. Returns TDO as it was before the rising
  // edge, i.e. the bit shifted out by this clock.
  bool Clock(bool tms, bool tdi = false);
  // Five clocks with TMS 1: Test-Logic-Reset from any state.
  void ResetTap();
  // The shortest TMS path to a state (nothing when already there).
  void GoToState(TTapState state);
  // Clocks in Run-Test/Idle (goes there first).
  void Idle(int clocks, bool tdi = false);
  // A full scan from Run-Test/Idle through Shift-IR or Shift-DR and back to Run-Test/Idle:
  // shifts `bits` (bit 0 first, nearest TDO at the end of the scan) and returns the bits
  // shifted out, in the same order.
  std::vector<uint8_t> ScanIR(std::span<const uint8_t> bits);
  std::vector<uint8_t> ScanDR(std::span<const uint8_t> bits);
  // Loads `code` into the device at `position` and BYPASS into the others; ends in
  // Run-Test/Idle.
  void LoadInstruction(uint32_t code, size_t position);
  // Scans the data register of the device at `position` (the others being in BYPASS): shifts
  // `bits` into it and returns what it captured, both least significant bit first.
  std::vector<uint8_t> ScanDeviceDR(size_t position, std::span<const uint8_t> bits);
  // LoadInstruction and a 32-bit scan of zeros: the captured word (IDCODE, USERCODE, ...).
  uint32_t ReadRegister32(size_t position, uint32_t code);
  // Sends a configuration image to the device at `position` at the pin level and starts it:
  // PROGRAM; in Shift-DR `idleBits` one-bits, the image's bytes least significant bit first,
  // 128 one-bits; then STARTUP and `startupClocks` clocks in Run-Test/Idle. Returns whether the
  // device came up configured.
  bool ProgramImage(size_t position, std::span<const uint8_t> image, int idleBits = 175,
                    int startupClocks = 400);

 private:
  void RisingEdge() {
    if (!FTrst) return;
    // Every device samples the TDO its neighbour presented before this edge; TDO only
    // changes on falling edges, so the order of the devices does not matter.
    bool in = FTdi;
    for (const auto& device : FDevices) {
      const bool out = device->Tdo();
      device->RisingEdge(FTms, in);
      in = out;
    }
    FState = NextTapState(FState, FTms);
  }
  void FallingEdge() {
    for (const auto& device : FDevices) device->FallingEdge();
  }
  std::vector<uint8_t> Scan(TTapState shift, std::span<const uint8_t> bits);
  size_t IrLength() const;
  void CheckPosition(size_t position) const;

  std::vector<std::unique_ptr<TSimDevice>> FDevices;
  TSimClock FClock;
  TTapState FState = TTapState::TestLogicReset;
  bool FTck = false;
  bool FTms = true;
  bool FTdi = true;
  bool FTrst = true;
};

}  // namespace tavix::jtagsim
