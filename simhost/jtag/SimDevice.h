// A simulated IEEE 1149.1 device, built from a description: TAP controller, instruction
// register, BYPASS, IDCODE, USERCODE and the boundary register with SAMPLE/PRELOAD and
// EXTEST, plus the configuration behaviour of Altera FPGAs (PROGRAM, STARTUP, CHECK_STATUS,
// ACTIVE_DISENGAGE) when the description lists those instructions.
//
// Timing is the standard's: on the rising TCK edge TMS and TDI are sampled, the state
// advances, and Capture/Shift act; on the falling edge Update-IR/Update-DR latch and TDO takes
// the next bit. TDO is driven only in Shift-IR and Shift-DR; elsewhere it floats and reads 1
// (the pull-up of the next TDI or of the cable).
//
// Configuration: loading PROGRAM clears the device (unconfigured, CONF_DONE low) and starts a
// new configuration receiver; what is shifted in Shift-DR under PROGRAM feeds it (SimImage.h
// says what counts as a complete image). Loading STARTUP and then StartupClocks rising edges
// in Run-Test/Idle start a device whose image is complete: it enters user mode, CONF_DONE
// goes high and USERCODE answers the image's user code. CHECK_STATUS captures the boundary
// register with CONF_DONE on the status cell.
//
// Pins: every port named by the boundary cells is a pin. An unconfigured device's pins read a
// fixed idle pattern (pin k high when k is even); once configured they move with the host's
// clock (milliseconds): pin k reads bit (6 + k % 5) of (time + 64 * k), so pins toggle every
// 64 to 1024 ms at different phases, and two pins in three are driven by the design. Under
// EXTEST a pin whose output is enabled in the update register reads the value driven there.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simhost/jtag/SimImage.h"
#include "simhost/jtag/SimTap.h"

namespace tavix::jtagsim {

enum class TSimCellFunction : uint8_t { Input, Output2, Output3, Control, Internal, ObserveOnly, Bidir };

struct TSimCell {
  TSimCellFunction Function = TSimCellFunction::Internal;
  std::string Port;          // empty for cells without a port ("*" in BSDL)
  int32_t ControlCell = -1;  // for output and bidir cells: the cell enabling the driver
  uint8_t DisableValue = 0;  // the control cell's level that disables this cell's driver
};

struct TSimOpCode {
  std::string Name;
  uint32_t Code = 0;
};

struct TSimDeviceDescription {
  std::string Name;
  uint32_t IdCode = 0;  // 0: the device has no IDCODE register (Test-Logic-Reset selects BYPASS)
  int InstructionLength = 0;
  uint32_t InstructionCapture = 0x1;  // loaded in Capture-IR; the standard demands ...01
  std::vector<TSimOpCode> OpCodes;    // by name: BYPASS, EXTEST, SAMPLE, PRELOAD, IDCODE, ...
  int BoundaryLength = 0;
  std::vector<TSimCell> Cells;  // cell i is boundary bit i; cell 0 is nearest TDO
  int32_t StatusCell = -1;      // the cell capturing CONF_DONE; -1 when none
  int StartupClocks = 64;       // Run-Test/Idle clocks under STARTUP before user mode
};

// Throws std::invalid_argument naming the first inconsistency (lengths, cell references,
// opcodes wider than the register, an IDCODE without its mandatory low 1 bit, ...).
void ValidateDescription(const TSimDeviceDescription& description);

// What an instruction does, from its name in the description. Opcodes the description does
// not list act as BYPASS, as the standard requires.
enum class TSimInstruction : uint8_t {
  Bypass,
  Extest,         // EXTEST, EXTEST_PULSE, EXTEST_TRAIN
  SamplePreload,  // SAMPLE, PRELOAD, SAMPLE/PRELOAD
  IdCode,
  UserCode,
  Clamp,
  HighZ,
  Program,          // PROGRAM
  Startup,          // STARTUP
  CheckStatus,      // CHECK_STATUS
  ActiveDisengage,  // ACTIVE_DISENGAGE
  Other,            // any other listed name: selects BYPASS
};
TSimInstruction InstructionRole(std::string_view name);

// Milliseconds of the host's clock.
using TSimClock = std::function<uint64_t()>;

// A pin of the device: a port of the boundary register with its cells.
struct TSimPort {
  std::string Name;
  int32_t InputCell = -1;   // cell capturing the pin level
  int32_t OutputCell = -1;  // cell driving the pin
  int32_t ControlCell = -1;
  uint8_t DisableValue = 0;
};

class TSimDevice {
 public:
  explicit TSimDevice(TSimDeviceDescription description);

  const TSimDeviceDescription& Description() const { return FDescription; }

  // ---- pins, driven by the chain
  void RisingEdge(bool tms, bool tdi) {
    switch (FState) {
      case TTapState::ShiftDR:
        ShiftDr(tdi);
        break;
      case TTapState::ShiftIR:
        FIrShift = (FIrShift >> 1) | (static_cast<uint32_t>(tdi) << (FDescription.InstructionLength - 1));
        break;
      case TTapState::CaptureDR:
        CaptureDr();
        break;
      case TTapState::CaptureIR:
        FIrShift = FDescription.InstructionCapture & FIrMask;
        break;
      case TTapState::RunTestIdle:
        if (FRole == TSimInstruction::Startup) StartupClock();
        break;
      default:
        break;
    }
    FState = NextTapState(FState, tms);
    if (FState == TTapState::TestLogicReset) ResetLogic();
  }
  void FallingEdge() {
    switch (FState) {
      case TTapState::ShiftDR:
        FTdo = DrLsb();
        FTdoDriven = true;
        return;
      case TTapState::ShiftIR:
        FTdo = FIrShift & 1u;
        FTdoDriven = true;
        return;
      case TTapState::UpdateIR:
        UpdateIr();
        break;
      case TTapState::UpdateDR:
        UpdateDr();
        break;
      default:
        break;
    }
    FTdoDriven = false;
  }
  // TRST asserted: Test-Logic-Reset at once.
  void TapReset();
  // The level at the device's TDO pin (1 when not driven).
  bool Tdo() const { return FTdoDriven ? FTdo : true; }
  bool TdoDriven() const { return FTdoDriven; }

  // ---- state
  TTapState State() const { return FState; }
  uint32_t Instruction() const { return FInstruction; }
  TSimInstruction Role() const { return FRole; }
  bool Configured() const { return FConfigured; }
  bool ConfDone() const { return FConfigured; }
  // The USERCODE register: the image's user code once configured, all ones before.
  uint32_t UserCode() const { return FConfigured ? FUserCode : 0xFFFFFFFFu; }
  bool ActiveDisengaged() const { return FDisengaged; }
  // A board keeps its devices powered between two sessions of the host: the configuration a
  // device held is put back without sending the image again.
  void RestoreConfiguration(uint32_t userCode) {
    FConfigured = true;
    FUserCode = userCode;
  }
  const TConfigReceiver& Receiver() const { return FReceiver; }
  TConfigReceiver& Receiver() { return FReceiver; }
  // The opcode the description gives a name, compared without regard to case.
  std::optional<uint32_t> OpCode(std::string_view name) const;

  // ---- pins and boundary register
  void SetClock(TSimClock clock) { FClock = std::move(clock); }
  uint64_t Now() const { return FClock ? FClock() : 0; }
  const std::vector<TSimPort>& Ports() const { return FPorts; }
  // The level on port `index` now.
  bool PinLevel(size_t index) const { return PinLevelAt(index, Now()); }
  // What each boundary cell captures now (SAMPLE and CHECK_STATUS).
  std::vector<uint8_t> CaptureCells() const;
  // The boundary register as last latched by Update-DR under SAMPLE/PRELOAD or EXTEST.
  const std::vector<uint8_t>& UpdateRegister() const { return FUpdate; }

 private:
  enum class TDataRegister : uint8_t { Bypass, Word, Boundary, Program };

  void ShiftDr(bool tdi) {
    switch (FDr) {
      case TDataRegister::Program:
        FReceiver.PushBit(tdi);
        [[fallthrough]];
      case TDataRegister::Bypass:
        FBit = tdi;
        return;
      case TDataRegister::Word:
        FWord = (FWord >> 1) | (static_cast<uint32_t>(tdi) << 31);
        return;
      case TDataRegister::Boundary:
        FBoundary[FHead] = tdi;
        if (++FHead == FBoundary.size()) FHead = 0;
        return;
    }
  }
  bool DrLsb() const {
    switch (FDr) {
      case TDataRegister::Word:
        return FWord & 1u;
      case TDataRegister::Boundary:
        return FBoundary[FHead];
      default:
        return FBit;
    }
  }
  void CaptureDr();
  void UpdateIr();
  void UpdateDr();
  void ResetLogic();
  void StartupClock();
  void Select(uint32_t code);
  bool PinLevelAt(size_t index, uint64_t now) const;

  TSimDeviceDescription FDescription;
  uint32_t FIrMask = 0;
  std::vector<TSimPort> FPorts;
  std::vector<int32_t> FControlPort;  // per cell: the port a control cell enables, or -1
  int32_t FStatusPort = -1;           // the port whose input is the status cell (CONF_DONE)

  TTapState FState = TTapState::TestLogicReset;
  uint32_t FIrShift = 0;
  uint32_t FInstruction = 0;
  TSimInstruction FRole = TSimInstruction::Bypass;
  TDataRegister FDr = TDataRegister::Bypass;
  bool FBit = false;
  uint32_t FWord = 0;
  std::vector<uint8_t> FBoundary;  // shift register as a ring: bit i at FHead + i
  size_t FHead = 0;
  std::vector<uint8_t> FUpdate;
  bool FTdo = true;
  bool FTdoDriven = false;

  bool FConfigured = false;
  uint32_t FUserCode = 0;
  bool FDisengaged = false;
  int FStartupCount = 0;
  TConfigReceiver FReceiver;
  TSimClock FClock;
};

}  // namespace tavix::jtagsim
