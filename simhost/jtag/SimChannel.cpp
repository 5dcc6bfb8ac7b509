#include "simhost/jtag/SimChannel.h"

#include <stdexcept>

namespace tavix::jtagsim {

TTapState TapStateFromNumber(int number) {
  if (!IsTapState(number)) throw std::invalid_argument("no TAP state " + std::to_string(number));
  return static_cast<TTapState>(number);
}

TSimChannel::TSimChannel(TSimChain& chain) : FChain(chain) {
  FTck = chain.Tck();
  FTms = chain.Tms();
  FTdi = chain.Tdi();
  FTrst = chain.Trst();
}

void TSimChannel::Settle() {
  Flush();
  FChain.SetTck(false);
  FTck = false;
}

void TSimChannel::ClockNoSettle(bool tms, bool tdi) {
  FChain.Clock(tms, tdi);
  FTms = tms;
  FTdi = tdi;
}

void TSimChannel::PrepareChain() {
  Settle();
  FChain.ResetTap();
  FChain.GoToState(TTapState::RunTestIdle);
  FTms = FChain.Tms();
  FTdi = FChain.Tdi();
}

void TSimChannel::GoToTapState(TTapState state) {
  Settle();
  if (state == TTapState::TestLogicReset)
    FChain.ResetTap();
  else
    FChain.GoToState(state);
  FTms = FChain.Tms();
  FTdi = FChain.Tdi();
}

void TSimChannel::MoveTapState(TTapState from, TTapState to) {
  Settle();
  const TTmsPath path = TmsPath(from, to);
  for (int i = 0; i < path.Count; ++i) ClockNoSettle((path.Bits >> i) & 1u, FTdi);
}

void TSimChannel::ClockTms(bool level) {
  Settle();
  ClockNoSettle(level, FTdi);
}

void TSimChannel::LoadInstruction(uint32_t code, size_t position) {
  Settle();
  FChain.LoadInstruction(code, position);
  FTms = FChain.Tms();
  FTdi = FChain.Tdi();
}

std::vector<uint8_t> TSimChannel::ShiftBits(std::span<const uint8_t> bits, size_t position) {
  // Devices nearer TDO hold one bypass bit each ahead of the target's register; those nearer
  // TDI one each behind it.
  const size_t before = FChain.DeviceCount() - 1 - position;
  const size_t total = before + bits.size() + position;
  std::vector<uint8_t> captured(bits.size());
  for (size_t i = 0; i < total; ++i) {
    const bool inTarget = i >= before && i < before + bits.size();
    const bool out = FChain.Clock(i + 1 == total, inTarget && bits[i - before] != 0);
    if (inTarget) captured[i - before] = out;
  }
  FTms = FChain.Tms();
  FTdi = FChain.Tdi();
  return captured;
}

namespace {

std::vector<uint8_t> ValueBits(uint32_t value, int bitCount) {
  if (bitCount < 0) throw std::invalid_argument("negative bit count");
  std::vector<uint8_t> bits(static_cast<size_t>(bitCount));
  for (int i = 0; i < bitCount && i < 32; ++i) bits[static_cast<size_t>(i)] = (value >> i) & 1u;
  return bits;
}

uint32_t BitsValue(const std::vector<uint8_t>& bits) {
  uint32_t value = 0;
  for (size_t i = 0; i < bits.size() && i < 32; ++i) value |= static_cast<uint32_t>(bits[i]) << i;
  return value;
}

}  // namespace

uint32_t TSimChannel::ScanDataRegister(uint32_t value, int bitCount, size_t position) {
  FChain.Device(position);  // raises for a position outside the chain
  const std::vector<uint8_t> bits = ValueBits(value, bitCount);
  Settle();
  FChain.GoToState(TTapState::RunTestIdle);
  FChain.GoToState(TTapState::ShiftDR);
  const std::vector<uint8_t> captured = ShiftBits(bits, position);
  FChain.GoToState(TTapState::RunTestIdle);
  FTms = FChain.Tms();
  return BitsValue(captured);
}

uint32_t TSimChannel::ExchangeDataRegister(uint32_t value, int bitCount, size_t position) {
  FChain.Device(position);
  const std::vector<uint8_t> bits = ValueBits(value, bitCount);
  Settle();
  return BitsValue(ShiftBits(bits, position));
}

std::string TSimChannel::ExchangeDataRegisterText(const std::string& text, size_t position) {
  FChain.Device(position);
  std::vector<uint8_t> bits(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[text.size() - 1 - i];
    if (c != '0' && c != '1') throw std::invalid_argument("register text holds '" + std::string(1, c) + "'");
    bits[i] = c == '1';
  }
  Settle();
  const std::vector<uint8_t> captured = ShiftBits(bits, position);
  std::string result(captured.size(), '0');
  for (size_t i = 0; i < captured.size(); ++i) result[captured.size() - 1 - i] = captured[i] ? '1' : '0';
  return result;
}

}  // namespace tavix::jtagsim
