// Configuration of the simulated FPGA: the image format and its receiver, the image tool, and
// programming, start-up, status check and reset through the chain.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "simhost/jtag/SimChain.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimImage.h"

namespace tavix::jtagsim {
namespace {

using TPhase = TConfigReceiver::TPhase;

void PushBits(TConfigReceiver& r, int count, bool level) {
  for (int i = 0; i < count; ++i) r.PushBit(level);
}

TEST(JtagSimImage, ReceiverFindsTheImageWhateverPrecedesIt) {
  const std::vector<uint8_t> image = MakeSimImage(300, 0xCAFE0001);
  struct TCase {
    const char* What;
    int Zeros;     // bypass bits of devices nearer TDI
    int Ones;      // idle clocks
    size_t Skip;   // leading file bytes not sent
  };
  const TCase cases[] = {
      {"plain", 0, 0, 0},          {"module's default", 0, 175, 0}, {"position 3", 3, 175, 0},
      {"unaligned", 5, 3, 0},      {"skipped preamble", 2, 175, 20},  {"no preamble left", 0, 7, 32},
  };
  for (const TCase& c : cases) {
    TConfigReceiver r;
    r.SetKeepPayload(true);
    PushBits(r, c.Zeros, false);
    PushBits(r, c.Ones, true);
    r.PushBytes(std::span<const uint8_t>(image).subspan(c.Skip));
    PushBits(r, 128, true);  // trailing ones change nothing
    PushBits(r, 3, false);
    ASSERT_TRUE(r.Complete()) << c.What << ": " << r.Status();
    EXPECT_EQ(r.UserCode(), 0xCAFE0001u);
    EXPECT_EQ(r.PayloadLength(), 300 - kSimImageMinSize);
    EXPECT_EQ(std::vector<uint8_t>(r.KeptPayload()), std::vector<uint8_t>(image.begin() + kSimImageMinSize, image.end()));
    EXPECT_EQ(r.SyncEnd(), static_cast<uint64_t>(c.Zeros + c.Ones) + 8 * (kSimImagePreamble + 4 - c.Skip));
  }
}

TEST(JtagSimImage, DamagedOrShortImagesAreNotComplete) {
  const std::vector<uint8_t> image = MakeSimImage(200, 7);
  struct TCase {
    const char* What;
    size_t FlipByte;  // index to corrupt, or 0 for none
    size_t Length;    // bytes sent
    TPhase Expected;
  };
  const TCase cases[] = {
      {"payload bit flipped", 150, 200, TPhase::Failed},
      {"payload cut short", 0, 199, TPhase::Payload},
      {"header cut short", 0, kSimImagePreamble + 4 + 10, TPhase::Header},
      {"sync word damaged", kSimImagePreamble + 1, 200, TPhase::Hunting},
      // A damaged header reads as a false sync: hunting goes on and finds nothing more.
      {"header damaged", kSimImagePreamble + 4 + 5, 200, TPhase::Hunting},
      {"nothing but preamble", 0, kSimImagePreamble, TPhase::Hunting},
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(c.Length));
    if (c.FlipByte != 0) bytes[c.FlipByte] ^= 0x10;
    TConfigReceiver r;
    r.PushBytes(bytes);
    EXPECT_EQ(r.Phase(), c.Expected) << c.What << ": " << r.Status();
    EXPECT_FALSE(r.Complete()) << c.What;
    EXPECT_FALSE(r.Status().empty()) << c.What;
    const TSimImageCheck check = CheckSimImage(bytes);
    EXPECT_FALSE(check.Valid) << c.What;
    EXPECT_EQ(check.Message, r.Status()) << c.What;
  }
}

TEST(JtagSimImage, FalseSyncBeforeTheImageIsPassedOver) {
  // Stray data holding the sync word, followed closely by the real image: the bits taken for a
  // header turn out wrong and are searched again, so the real sync inside them is found.
  const std::vector<uint8_t> image = MakeSimImage(100, 0x55);
  std::vector<uint8_t> stream = {0x6A, 0x5C, 0x3B, 0xD9, 0x00, 0x01};
  stream.insert(stream.end(), image.begin() + kSimImagePreamble, image.end());
  const TSimImageCheck check = CheckSimImage(stream);
  EXPECT_TRUE(check.Valid) << check.Message;
  EXPECT_EQ(check.UserCode, 0x55u);
  EXPECT_EQ(check.SyncOffset, 6u);
}

TEST(JtagSimImage, ToolWritesCheckableFilesAndRefusesBadSizes) {
  const auto folder = std::filesystem::temp_directory_path() / ("jtagsim_image_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "design.rbf").string();

  WriteSimImageFile(path, 4096, 0x00C0FFEE);
  EXPECT_EQ(std::filesystem::file_size(path), 4096u);
  TSimImageCheck check = CheckSimImageFile(path);
  EXPECT_TRUE(check.Valid) << check.Message;
  EXPECT_EQ(check.Message, "valid image");
  EXPECT_EQ(check.UserCode, 0x00C0FFEEu);
  EXPECT_EQ(check.PayloadLength, 4096 - kSimImageMinSize);
  EXPECT_EQ(check.SyncOffset, kSimImagePreamble);

  // The smallest image is still valid; anything smaller cannot hold one.
  EXPECT_TRUE(CheckSimImage(MakeSimImage(kSimImageMinSize, 1)).Valid);
  EXPECT_THROW(MakeSimImage(kSimImageMinSize - 1, 1), std::invalid_argument);
  EXPECT_THROW(MakeSimImage(kSimImageMaxSize + 1, 1), std::invalid_argument);
  // A bad size leaves an existing file alone; an unwritable place leaves nothing behind.
  EXPECT_THROW(WriteSimImageFile(path, 3, 1), std::invalid_argument);
  EXPECT_EQ(std::filesystem::file_size(path), 4096u);
  const std::string blocked = (folder / "missing" / "x.rbf").string();
  EXPECT_THROW(WriteSimImageFile(blocked, 100, 1), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(blocked));
  EXPECT_THROW(CheckSimImageFile(blocked), std::runtime_error);

  // Different user codes give different payloads (and checksums), equal ones equal images.
  EXPECT_NE(MakeSimImage(500, 1), MakeSimImage(500, 2));
  EXPECT_EQ(MakeSimImage(500, 1), MakeSimImage(500, 1));
  std::filesystem::remove_all(folder);
}

// ---- through the chain -------------------------------------------------------------------

class JtagSimConfigTest : public ::testing::Test {
 protected:
  // Three dies: 5AGZME1 at the TDI end, 5AGZME5, 5AGZME7 at the TDO end.
  JtagSimConfigTest() : Chain({ArriaVGZDescription(0), ArriaVGZDescription(16), ArriaVGZDescription(24)}) {
    Chain.SetClock([this] { return Now; });
    Chain.ResetTap();
  }

  // The module's status read: CHECK_STATUS, Run-Test/Idle to Shift-DR, N clocks with TMS 0,
  // then the bit on TDO. N = 3 (A - B) + count - position with the table's A and B, i.e. the
  // status cell plus one per bypass bit between the device and TDO.
  bool ReadStatusBit(size_t position) {
    Chain.LoadInstruction(kOpCheckStatus, position);
    Chain.GoToState(TTapState::ShiftDR);
    const int statusCell = Chain.Device(position).Description().StatusCell;
    const int n = statusCell - 1 + static_cast<int>(Chain.DeviceCount() - position);
    for (int i = 0; i < n; ++i) Chain.Clock(false);
    const bool bit = Chain.GetTdo();
    Chain.Clock(true);
    Chain.GoToState(TTapState::RunTestIdle);
    return bit;
  }

  uint64_t Now = 0;
  TSimChain Chain;
};

TEST_F(JtagSimConfigTest, ProgramsAndStartsTheDeviceAtEachPosition) {
  for (size_t position = 0; position < Chain.DeviceCount(); ++position) {
    const uint32_t userCode = 0xA5000000u + static_cast<uint32_t>(position);
    const std::vector<uint8_t> image = MakeSimImage(1000 + 100 * position, userCode);
    ASSERT_TRUE(Chain.ProgramImage(position, image)) << Chain.Device(position).Receiver().Status();
    EXPECT_EQ(Chain.ReadRegister32(position, kOpUserCode), userCode);
    EXPECT_TRUE(ReadStatusBit(position));
  }
  // Each device kept its own configuration.
  for (size_t position = 0; position < Chain.DeviceCount(); ++position)
    EXPECT_EQ(Chain.Device(position).UserCode(), 0xA5000000u + position);
}

TEST_F(JtagSimConfigTest, StatusBitReadsLowUntilConfiguredAndAfterProgramInstruction) {
  for (size_t position = 0; position < Chain.DeviceCount(); ++position) EXPECT_FALSE(ReadStatusBit(position));
  ASSERT_TRUE(Chain.ProgramImage(1, MakeSimImage(256, 42)));
  EXPECT_FALSE(ReadStatusBit(0));
  EXPECT_TRUE(ReadStatusBit(1));
  EXPECT_FALSE(ReadStatusBit(2));
  // The reset: loading PROGRAM alone clears the device.
  Chain.LoadInstruction(kOpProgram, 1);
  Chain.GoToState(TTapState::RunTestIdle);
  EXPECT_FALSE(Chain.Device(1).Configured());
  EXPECT_FALSE(ReadStatusBit(1));
  EXPECT_EQ(Chain.ReadRegister32(1, kOpUserCode), 0xFFFFFFFFu);
  // Test-Logic-Reset does not touch the configuration.
  ASSERT_TRUE(Chain.ProgramImage(1, MakeSimImage(256, 43)));
  Chain.ResetTap();
  EXPECT_TRUE(ReadStatusBit(1));
}

TEST_F(JtagSimConfigTest, BadImagesAndShortStartUpLeaveTheDeviceUnconfigured) {
  std::vector<uint8_t> damaged = MakeSimImage(600, 9);
  damaged[400] ^= 0x01;
  EXPECT_FALSE(Chain.ProgramImage(2, damaged));
  EXPECT_EQ(Chain.Device(2).Receiver().Phase(), TPhase::Failed);
  const std::vector<uint8_t> image = MakeSimImage(600, 9);
  EXPECT_FALSE(Chain.ProgramImage(2, std::span<const uint8_t>(image).first(599)));
  EXPECT_FALSE(Chain.ProgramImage(2, image, 175, 10)) << "too few start-up clocks";
  EXPECT_FALSE(ReadStatusBit(2));
  // More start-up clocks finish the job on the image already received.
  Chain.LoadInstruction(kOpStartup, 2);
  Chain.Idle(100);
  EXPECT_TRUE(Chain.Device(2).Configured());
  EXPECT_EQ(Chain.Device(2).UserCode(), 9u);
}

TEST_F(JtagSimConfigTest, ConfiguredPinsMoveWithTheHostClock) {
  ASSERT_TRUE(Chain.ProgramImage(0, MakeSimImage(256, 1)));
  TSimDevice& device = Chain.Device(0);
  Chain.LoadInstruction(kOpSample, 0);
  auto sample = [&] { return Chain.ScanDeviceDR(0, std::vector<uint8_t>(2131, 0)); };
  const std::vector<uint8_t> atZero = sample();
  EXPECT_EQ(sample(), atZero) << "same time, same levels";
  Now = 700;
  const std::vector<uint8_t> later = sample();
  size_t changed = 0;
  for (size_t k = 0; k < device.Ports().size(); ++k) {
    const auto cell = static_cast<size_t>(device.Ports()[k].InputCell);
    EXPECT_EQ(later[cell], device.PinLevel(k) ? 1 : 0);
    changed += later[cell] != atZero[cell];
  }
  EXPECT_GT(changed, device.Ports().size() / 4);
  EXPECT_EQ(later[1348], 1) << "CONF_DONE";
}

TEST_F(JtagSimConfigTest, ActiveDisengageBeforeProgramIsAccepted) {
  Chain.LoadInstruction(kOpActiveDisengage, 1);
  EXPECT_TRUE(Chain.Device(1).ActiveDisengaged());
  EXPECT_EQ(Chain.Device(1).Role(), TSimInstruction::ActiveDisengage);
  EXPECT_TRUE(Chain.ProgramImage(1, MakeSimImage(128, 3)));
}

}  // namespace
}  // namespace tavix::jtagsim
