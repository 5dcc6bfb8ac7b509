// The channel operations over the simulated chain, driven the way the module drives a host
// channel: status bit, reset, register reads and the download, line by line.
#include <gtest/gtest.h>

#include <vector>

#include "simhost/jtag/SimChannel.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimImage.h"

namespace tavix::jtagsim {
namespace {

constexpr TTapState kIdle = TTapState::RunTestIdle;
constexpr TTapState kShiftDR = TTapState::ShiftDR;
constexpr TTapState kExit1DR = TTapState::Exit1DR;

class JtagSimChannelTest : public ::testing::Test {
 protected:
  // 5AGZME3 (A 777, B 328), 5AGZME7 (A 1025, B 424), 5AGZME1 (A 777, B 328).
  JtagSimChannelTest()
      : Chain({ArriaVGZDescription(8), ArriaVGZDescription(24), ArriaVGZDescription(0)}), Channel(Chain) {
    Chain.SetClock([] { return uint64_t{0}; });
  }

  // The status read: CHECK_STATUS, Run-Test/Idle to Shift-DR, N = 3 (A - B) + count - position
  // clocks with TMS low, Capture, the bit; then out to Exit1-DR and back to Run-Test/Idle.
  bool ReadConfigDoneBit(size_t position) {
    static const int a[] = {777, 1025, 777}, b[] = {328, 424, 328};
    Channel.BeginAccess();
    Channel.LoadInstruction(kOpCheckStatus, position);
    Channel.MoveTapState(kIdle, kShiftDR);
    const int n = 3 * (a[position] - b[position]) + static_cast<int>(Chain.DeviceCount()) - static_cast<int>(position);
    for (int i = 0; i < n; ++i) Channel.ClockTms(false);
    Channel.Capture();
    const bool bit = Channel.Tdo();
    Channel.ClockTms(true);
    Channel.MoveTapState(kExit1DR, kIdle);
    Channel.EndAccess();
    return bit;
  }

  uint32_t ReadDataRegister32(size_t position, uint32_t code) {
    Channel.GoToTapState(kIdle);
    Channel.LoadInstruction(code, position);
    return Channel.ScanDataRegister(0, 32, position);
  }

  void Reset(size_t position) {
    Channel.GoToTapState(kIdle);
    Channel.LoadInstruction(kOpProgram, position);
    Channel.GoToTapState(kIdle);
  }

  // The module's download, every edge through the lines with a flush.
  void Download(const std::vector<uint8_t>& file, size_t position, int idleCycles = 175, size_t skip = 0) {
    Channel.BeginAccess();
    Channel.PrepareChain();
    Channel.GoToTapState(kIdle);
    Channel.LoadInstruction(kOpProgram, position);
    Channel.SetTdi(true);
    Channel.Flush();
    Channel.MoveTapState(kIdle, kShiftDR);
    for (int i = 0; i < idleCycles; ++i) {
      Channel.SetTck(false), Channel.Flush(), Channel.SetTck(true), Channel.Flush();
    }
    Channel.SetTdi(false), Channel.SetTms(false), Channel.SetTck(false), Channel.Flush();
    for (size_t k = 0; k < file.size(); ++k) {
      if (k < skip) continue;
      for (int bit = 0; bit < 8; ++bit) {
        if (position > 0) Channel.SetTck(false), Channel.Flush();
        Channel.SetTck(false), Channel.SetTdi((file[k] >> bit) & 1u), Channel.Flush();
        Channel.SetTck(true), Channel.Flush();
      }
    }
    for (int i = 0; i < 128; ++i) Channel.SetTck(false), Channel.SetTdi(true), Channel.Flush(), Channel.SetTck(true), Channel.Flush();
    if (position == 0) Channel.SetTck(false), Channel.Flush();
    Channel.SetTdi(false), Channel.Flush(), Channel.SetTck(false), Channel.Flush();
    for (size_t i = 0; i < position; ++i) Channel.ClockTms(false);
    Channel.ClockTms(true);
    Channel.MoveTapState(kExit1DR, kIdle);
    // Start-up.
    Channel.LoadInstruction(kOpStartup, position);
    for (int i = 0; i < 200; ++i) {
      Channel.SetTdi(false), Channel.Flush(), Channel.ClockTms(false);
      Channel.SetTdi(true), Channel.Flush(), Channel.ClockTms(false);
    }
    Channel.GoToTapState(kIdle);
    Channel.EndAccess();
  }

  TSimChain Chain;
  TSimChannel Channel;
};

TEST_F(JtagSimChannelTest, DownloadThroughTheLinesConfiguresTheDeviceAtAnyPosition) {
  for (size_t position = 0; position < Chain.DeviceCount(); ++position) {
    EXPECT_FALSE(ReadConfigDoneBit(position));
    const uint32_t userCode = 0x10C0DE00u + static_cast<uint32_t>(position);
    Download(MakeSimImage(700, userCode), position);
    EXPECT_TRUE(Chain.Device(position).Configured()) << Chain.Device(position).Receiver().Status();
    EXPECT_TRUE(ReadConfigDoneBit(position)) << "position " << position;
    EXPECT_EQ(ReadDataRegister32(position, kOpUserCode), userCode);
    EXPECT_EQ(Channel.AccessDepth(), 0);
  }
  // Reset clears just the one device.
  Reset(1);
  EXPECT_FALSE(ReadConfigDoneBit(1));
  EXPECT_TRUE(ReadConfigDoneBit(0));
  EXPECT_TRUE(ReadConfigDoneBit(2));
  EXPECT_EQ(ReadDataRegister32(1, kOpUserCode), 0xFFFFFFFFu);
  EXPECT_EQ(ReadDataRegister32(1, kOpIdCode), 0x029F70DDu);
}

TEST_F(JtagSimChannelTest, DownloadVariantsOfTheFamilySettings) {
  const std::vector<uint8_t> image = MakeSimImage(300, 77);
  // Leading preamble bytes skipped, no idle cycles, or many: the device still configures.
  Download(image, 2, /*idleCycles=*/0, /*skip=*/4);
  EXPECT_TRUE(Chain.Device(2).Configured());
  Download(image, 0, 3181);
  EXPECT_TRUE(Chain.Device(0).Configured());
  // Skipping into the sync word loses the image.
  Download(image, 0, 175, kSimImagePreamble + 1);
  EXPECT_FALSE(Chain.Device(0).Configured());
  // An empty file: the sequence runs, nothing configures.
  Download({}, 1);
  EXPECT_FALSE(Chain.Device(1).Configured());
}

TEST_F(JtagSimChannelTest, LinesApplyOnFlushAndTdoIsSampledOnCapture) {
  Channel.GoToTapState(kIdle);
  Channel.SetTms(true);
  Channel.SetTck(true);
  EXPECT_FALSE(Chain.Tck()) << "nothing moves before Flush";
  EXPECT_EQ(Chain.State(), kIdle);
  Channel.Flush();
  EXPECT_EQ(Chain.State(), TTapState::SelectDRScan);
  Channel.SetTck(false);
  Channel.Flush();
  Channel.MoveTapState(TTapState::SelectDRScan, kShiftDR);  // IDCODEs, nearest TDO first: 0x029310DD
  Channel.Capture();
  EXPECT_TRUE(Channel.Tdo());
  Channel.ClockTms(false);
  EXPECT_TRUE(Channel.Tdo()) << "GetTdo answers the last capture";
  Channel.Capture();
  EXPECT_FALSE(Channel.Tdo());
  EXPECT_FALSE(Chain.Tck()) << "ClockTms ends with TCK low";
}

TEST_F(JtagSimChannelTest, ExchangeShiftsFromShiftDrToExit1Dr) {
  Channel.LoadInstruction(kOpIdCode, 1);  // the others in BYPASS
  Channel.MoveTapState(kIdle, kShiftDR);
  EXPECT_EQ(Channel.ExchangeDataRegister(0, 32, 1), 0x029F70DDu);
  EXPECT_EQ(Chain.State(), kExit1DR);

  Channel.LoadInstruction(kOpIdCode, 2);
  Channel.MoveTapState(kIdle, kShiftDR);
  EXPECT_EQ(Channel.ExchangeDataRegisterText(std::string(32, '0'), 2), "00000010100100110001000011011101");
  EXPECT_EQ(Chain.State(), kExit1DR);
  EXPECT_THROW(Channel.ExchangeDataRegisterText("01x", 2), std::invalid_argument);

  EXPECT_THROW(Channel.ScanDataRegister(0, 32, 3), std::out_of_range);
}

TEST_F(JtagSimChannelTest, TapStateNumbersAreChecked) {
  EXPECT_EQ(TapStateFromNumber(2), kIdle);
  EXPECT_EQ(TapStateFromNumber(16), TTapState::UpdateIR);
  EXPECT_THROW(TapStateFromNumber(0), std::invalid_argument);
  EXPECT_THROW(TapStateFromNumber(17), std::invalid_argument);
}

}  // namespace
}  // namespace tavix::jtagsim
