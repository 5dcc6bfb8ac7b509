#include "simhost/jtag/SimChain.h"

#include <chrono>
#include <stdexcept>
#include <string>

#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::jtagsim {

TSimChain::TSimChain() {
  const auto start = std::chrono::steady_clock::now();
  FClock = [start] {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
  };
}

TSimChain::TSimChain(const std::vector<TSimDeviceDescription>& devices) : TSimChain() {
  for (const TSimDeviceDescription& d : devices) AddDevice(d);
}

TSimDevice& TSimChain::AddDevice(TSimDeviceDescription description) {
  auto device = std::make_unique<TSimDevice>(std::move(description));
  device->SetClock(FClock);
  // A device joining a chain that is not in Test-Logic-Reset would be out of step with the
  // others; bring everything back to a common start.
  FDevices.push_back(std::move(device));
  for (const auto& d : FDevices) d->TapReset();
  FState = TTapState::TestLogicReset;
  return *FDevices.back();
}

void TSimChain::CheckPosition(size_t position) const {
  if (position >= FDevices.size())
    throw std::out_of_range("no device at chain position " + std::to_string(position) + " (chain of " +
                            std::to_string(FDevices.size()) + ")");
}

TSimDevice& TSimChain::Device(size_t position) {
  CheckPosition(position);
  return *FDevices[position];
}

const TSimDevice& TSimChain::Device(size_t position) const {
  CheckPosition(position);
  return *FDevices[position];
}

void TSimChain::SetClock(TSimClock clock) {
  FClock = std::move(clock);
  for (const auto& d : FDevices) d->SetClock(FClock);
}

void TSimChain::SetTrst(bool level) {
  FTrst = level;
  if (level) return;
  for (const auto& d : FDevices) d->TapReset();
  FState = TTapState::TestLogicReset;
}

bool TSimChain::Clock(bool tms, bool tdi) {
  SetTck(false);
  SetTms(tms);
  SetTdi(tdi);
  const bool out = GetTdo();
  SetTck(true);
  SetTck(false);
  return out;
}

void TSimChain::ResetTap() {
  for (int i = 0; i < 5; ++i) Clock(true);
}

void TSimChain::GoToState(TTapState state) {
  const TTmsPath path = TmsPath(FState, state);
  for (int i = 0; i < path.Count; ++i) Clock((path.Bits >> i) & 1u);
}

void TSimChain::Idle(int clocks, bool tdi) {
  GoToState(TTapState::RunTestIdle);
  for (int i = 0; i < clocks; ++i) Clock(false, tdi);
}

std::vector<uint8_t> TSimChain::Scan(TTapState shift, std::span<const uint8_t> bits) {
  GoToState(TTapState::RunTestIdle);
  GoToState(shift);
  std::vector<uint8_t> out(bits.size());
  for (size_t i = 0; i < bits.size(); ++i) out[i] = Clock(i + 1 == bits.size(), bits[i] != 0);
  GoToState(TTapState::RunTestIdle);
  return out;
}

std::vector<uint8_t> TSimChain::ScanIR(std::span<const uint8_t> bits) { return Scan(TTapState::ShiftIR, bits); }
std::vector<uint8_t> TSimChain::ScanDR(std::span<const uint8_t> bits) { return Scan(TTapState::ShiftDR, bits); }

size_t TSimChain::IrLength() const {
  size_t total = 0;
  for (const auto& d : FDevices) total += static_cast<size_t>(d->Description().InstructionLength);
  return total;
}

void TSimChain::LoadInstruction(uint32_t code, size_t position) {
  CheckPosition(position);
  // The first bits shifted travel furthest: the device nearest TDO comes first.
  std::vector<uint8_t> bits;
  bits.reserve(IrLength());
  for (size_t i = FDevices.size(); i-- > 0;) {
    const int length = FDevices[i]->Description().InstructionLength;
    for (int b = 0; b < length; ++b) bits.push_back(i == position ? (code >> b) & 1u : 1u);
  }
  ScanIR(bits);
}

std::vector<uint8_t> TSimChain::ScanDeviceDR(size_t position, std::span<const uint8_t> bits) {
  CheckPosition(position);
  // Devices nearer TDO each hold one bypass bit ahead of the target's register.
  const size_t before = FDevices.size() - 1 - position;
  std::vector<uint8_t> stream(before + bits.size() + position, 0);
  std::copy(bits.begin(), bits.end(), stream.begin() + static_cast<std::ptrdiff_t>(before));
  const std::vector<uint8_t> out = ScanDR(stream);
  return {out.begin() + static_cast<std::ptrdiff_t>(before),
          out.begin() + static_cast<std::ptrdiff_t>(before + bits.size())};
}

uint32_t TSimChain::ReadRegister32(size_t position, uint32_t code) {
  LoadInstruction(code, position);
  const std::vector<uint8_t> zeros(32, 0);
  const std::vector<uint8_t> bits = ScanDeviceDR(position, zeros);
  uint32_t value = 0;
  for (size_t i = 0; i < 32; ++i) value |= static_cast<uint32_t>(bits[i]) << i;
  return value;
}

bool TSimChain::ProgramImage(size_t position, std::span<const uint8_t> image, int idleBits, int startupClocks) {
  CheckPosition(position);
  LoadInstruction(kOpProgram, position);
  GoToState(TTapState::ShiftDR);
  for (int i = 0; i < idleBits; ++i) Clock(false, true);
  for (uint8_t byte : image)
    for (int b = 0; b < 8; ++b) Clock(false, (byte >> b) & 1u);
  for (int i = 0; i < 128; ++i) Clock(false, true);
  Clock(true, false);  // to Exit1-DR
  GoToState(TTapState::RunTestIdle);
  LoadInstruction(kOpStartup, position);
  Idle(startupClocks);
  return FDevices[position]->Configured();
}

}  // namespace tavix::jtagsim
