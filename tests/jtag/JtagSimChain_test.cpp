// The simulated devices on a chain, driven at the pin level: TAP timing, instruction and data
// registers, chain positions, boundary scan and live pins.
#include <gtest/gtest.h>

#include <vector>

#include "platform/automation/AutoTypes.h"
#include "simhost/jtag/SimChain.h"
#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::jtagsim {
namespace {

uint64_t Value(const std::vector<uint8_t>& bits, size_t from, size_t count) {
  uint64_t v = 0;
  for (size_t i = 0; i < count; ++i) v |= static_cast<uint64_t>(bits[from + i]) << i;
  return v;
}

// A small foreign device: 4-bit IR, 6 boundary cells on two pins, no configuration logic.
TSimDeviceDescription SmallDevice() {
  TSimDeviceDescription d;
  d.Name = "SMALL";
  d.IdCode = 0x1234567F;
  d.InstructionLength = 4;
  d.OpCodes = {{"BYPASS", 0xF}, {"EXTEST", 0x0}, {"SAMPLE", 0x1}, {"IDCODE", 0x2}, {"HIGHZ", 0x3}};
  d.BoundaryLength = 6;
  d.Cells = {
      {TSimCellFunction::Input, "A", -1, 0},   {TSimCellFunction::Control, "", -1, 0},
      {TSimCellFunction::Output3, "A", 1, 0},  {TSimCellFunction::Bidir, "B", 4, 0},
      {TSimCellFunction::Control, "", -1, 0},  {TSimCellFunction::Internal, "", -1, 0},
  };
  return d;
}

class JtagSimChainTest : public ::testing::Test {
 protected:
  // Chain: 5AGZME1 (TDI end), the small device, 5AGZME7 (TDO end).
  JtagSimChainTest() : Chain({ArriaVGZDescription(0), SmallDevice(), ArriaVGZDescription(31)}) {
    Chain.SetClock([this] { return Now; });
    Chain.ResetTap();
  }
  uint64_t Now = 0;
  TSimChain Chain;
};

TEST_F(JtagSimChainTest, TestLogicResetSelectsIdcodeInEveryDevice) {
  // After reset every device puts its IDCODE in the data path; the device nearest TDO comes
  // out first.
  const std::vector<uint8_t> out = Chain.ScanDR(std::vector<uint8_t>(96, 0));
  EXPECT_EQ(Value(out, 0, 32), 0x029F70DDu);
  EXPECT_EQ(Value(out, 32, 32), 0x1234567Fu);
  EXPECT_EQ(Value(out, 64, 32), 0x029310DDu);
}

TEST_F(JtagSimChainTest, InstructionRegistersCaptureZeroOneInTheirLowBits) {
  const std::vector<uint8_t> out = Chain.ScanIR(std::vector<uint8_t>(24, 1));
  EXPECT_EQ(Value(out, 0, 10), 0x001u);   // 5AGZME7
  EXPECT_EQ(Value(out, 10, 4), 0x1u);     // small device
  EXPECT_EQ(Value(out, 14, 10), 0x001u);  // 5AGZME1
  EXPECT_EQ(Chain.State(), TTapState::RunTestIdle);
}

TEST_F(JtagSimChainTest, RegistersReadAtEveryPosition) {
  struct TCase {
    size_t Position;
    uint32_t Code;
    uint32_t Expected;
  };
  const TCase cases[] = {
      {0, kOpIdCode, 0x029310DD}, {1, 0x2, 0x1234567F},  {2, kOpIdCode, 0x029F70DD},
      {0, kOpUserCode, 0xFFFFFFFF}, {2, kOpUserCode, 0xFFFFFFFF},  // unconfigured
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Chain.ReadRegister32(c.Position, c.Code), c.Expected) << "position " << c.Position;
    EXPECT_EQ(Chain.Device(c.Position).Instruction(), c.Code);
  }
}

TEST_F(JtagSimChainTest, BypassAndUnknownOpcodesGiveAOneBitRegister) {
  // All three in BYPASS: a 3-bit delay line that captured zeros.
  Chain.ScanIR(std::vector<uint8_t>(24, 1));
  std::vector<uint8_t> in = {1, 0, 1, 1, 0, 0, 1};
  std::vector<uint8_t> out = Chain.ScanDR(in);
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 1, 0, 1, 1}));
  // An opcode the device does not list acts as BYPASS too.
  Chain.LoadInstruction(0x155, 2);
  EXPECT_EQ(Chain.Device(2).Role(), TSimInstruction::Bypass);
  out = Chain.ScanDR(in);
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 1, 0, 1, 1}));
}

TEST_F(JtagSimChainTest, TdoChangesOnTheFallingEdgeAndOnlyInShiftStates) {
  Chain.GoToState(TTapState::RunTestIdle);
  EXPECT_TRUE(Chain.GetTdo());  // not driven: pulled up
  EXPECT_FALSE(Chain.Device(2).TdoDriven());
  Chain.GoToState(TTapState::ShiftDR);  // IDCODE of the 5AGZME7 at TDO: 0x...DD = 1011 1011
  ASSERT_TRUE(Chain.Device(2).TdoDriven());
  EXPECT_TRUE(Chain.GetTdo());  // bit 0
  Chain.SetTms(false);
  Chain.SetTdi(false);
  Chain.SetTck(true);           // shifts...
  EXPECT_TRUE(Chain.GetTdo());  // ...but TDO still shows bit 0 until the falling edge
  Chain.SetTck(false);
  EXPECT_FALSE(Chain.GetTdo());  // bit 1
  Chain.Clock(true);             // to Exit1-DR
  EXPECT_FALSE(Chain.Device(2).TdoDriven());
  EXPECT_TRUE(Chain.GetTdo());
}

TEST_F(JtagSimChainTest, TrstHoldsEveryTapInReset) {
  Chain.LoadInstruction(kOpSample, 0);
  Chain.GoToState(TTapState::ShiftDR);
  Chain.SetTrst(false);
  EXPECT_EQ(Chain.State(), TTapState::TestLogicReset);
  Chain.Clock(false);  // ignored while TRST is low
  for (size_t p = 0; p < Chain.DeviceCount(); ++p) {
    EXPECT_EQ(Chain.Device(p).State(), TTapState::TestLogicReset);
    EXPECT_EQ(Chain.Device(p).Role(), TSimInstruction::IdCode);
  }
  Chain.SetTrst(true);
  Chain.Clock(false);
  EXPECT_EQ(Chain.Device(0).State(), TTapState::RunTestIdle);
}

TEST_F(JtagSimChainTest, StatusCheckPutsConfDoneOnTheStatusCell) {
  for (size_t position : {0u, 2u}) {
    const TSimDevice& device = Chain.Device(position);
    const auto length = static_cast<size_t>(device.Description().BoundaryLength);
    Chain.LoadInstruction(kOpCheckStatus, position);
    std::vector<uint8_t> cells = Chain.ScanDeviceDR(position, std::vector<uint8_t>(length, 0));
    ASSERT_EQ(cells.size(), length);
    EXPECT_EQ(cells[static_cast<size_t>(device.Description().StatusCell)], 0) << "unconfigured";
  }
}

TEST_F(JtagSimChainTest, UnconfiguredPinsReadTheIdlePatternAndDoNotMove) {
  TSimDevice& device = Chain.Device(0);
  Chain.LoadInstruction(kOpSample, 0);
  const size_t length = 2131;
  const std::vector<uint8_t> first = Chain.ScanDeviceDR(0, std::vector<uint8_t>(length, 0));
  Now += 5000;
  const std::vector<uint8_t> later = Chain.ScanDeviceDR(0, std::vector<uint8_t>(length, 0));
  EXPECT_EQ(first, later);
  for (size_t k = 0; k < device.Ports().size(); ++k) {
    const TSimPort& port = device.Ports()[k];
    ASSERT_GE(port.InputCell, 0);
    const int expected = port.Name == "CONF_DONE" ? 0 : k % 2 == 0 ? 1 : 0;
    EXPECT_EQ(first[static_cast<size_t>(port.InputCell)], expected) << port.Name;
    EXPECT_EQ(first[static_cast<size_t>(port.ControlCell)], 1) << "driver off: " << port.Name;
  }
}

TEST_F(JtagSimChainTest, PreloadAndExtestDriveThePins) {
  // Small device at position 1: pin A (output3 cell 2, control 1, enabled by 1), pin B (bidir
  // cell 3, control 4).
  // Idle pattern: A (port 0) high, B (port 1) low. Drive the opposite.
  const std::vector<uint8_t> preload = {0, 1, 0, 1, 1, 0};
  Chain.LoadInstruction(0x1, 1);  // SAMPLE/PRELOAD
  Chain.ScanDeviceDR(1, preload);
  EXPECT_EQ(Chain.Device(1).UpdateRegister(), preload);
  EXPECT_TRUE(Chain.Device(1).PinLevel(0)) << "PRELOAD alone drives nothing";
  Chain.LoadInstruction(0x0, 1);  // EXTEST
  EXPECT_FALSE(Chain.Device(1).PinLevel(0));
  EXPECT_TRUE(Chain.Device(1).PinLevel(1));
  std::vector<uint8_t> captured = Chain.ScanDeviceDR(1, preload);
  EXPECT_EQ(captured[0], 0);  // A reads what it drives
  EXPECT_EQ(captured[3], 1);  // so does the bidirectional B
  // Switch A's driver off: A floats back to its idle level, B keeps being driven.
  const std::vector<uint8_t> next = {0, 0, 0, 1, 1, 0};
  Chain.ScanDeviceDR(1, next);
  captured = Chain.ScanDeviceDR(1, next);
  EXPECT_EQ(captured[0], 1);
  EXPECT_EQ(captured[3], 1);
}

TEST(JtagSimDevice, RejectsInconsistentDescriptions) {
  struct TCase {
    const char* What;
    void (*Spoil)(TSimDeviceDescription&);
  };
  const TCase cases[] = {
      {"instruction length", [](TSimDeviceDescription& d) { d.InstructionLength = 1; }},
      {"capture value", [](TSimDeviceDescription& d) { d.InstructionCapture = 0x2; }},
      {"idcode low bit", [](TSimDeviceDescription& d) { d.IdCode = 0x1234; }},
      {"wide opcode", [](TSimDeviceDescription& d) { d.OpCodes.push_back({"X", 0x10}); }},
      {"cell count", [](TSimDeviceDescription& d) { d.BoundaryLength = 7; }},
      {"control reference", [](TSimDeviceDescription& d) { d.Cells[2].ControlCell = 9; }},
      {"control not a control", [](TSimDeviceDescription& d) { d.Cells[2].ControlCell = 0; }},
      {"status cell", [](TSimDeviceDescription& d) { d.StatusCell = 6; }},
  };
  for (const TCase& c : cases) {
    TSimDeviceDescription d = SmallDevice();
    c.Spoil(d);
    EXPECT_THROW(TSimDevice{d}, std::invalid_argument) << c.What;
  }
  EXPECT_NO_THROW(TSimDevice{SmallDevice()});
}

TEST(JtagSimDevice, DeviceWithoutIdcodeStartsInBypass) {
  TSimDeviceDescription d = SmallDevice();
  d.IdCode = 0;
  TSimChain chain({d});
  chain.ResetTap();
  const std::vector<uint8_t> out = chain.ScanDR(std::vector<uint8_t>{1, 1, 0});
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 1, 1}));
}

TEST(JtagSimCatalog, DescriptionsFollowTheCatalog) {
  struct TCase {
    int Kind;
    const char* Name;
    uint32_t IdCode;
    int Length;
    int Status;
  };
  const TCase cases[] = {
      {0, "5AGZME1E2H29C3N", 0x029310DD, 2131, 1348},  {9, "5AGZME3E2H29I3LN", 0x029710DD, 2131, 1348},
      {20, "5AGZME5K2F40C3N", 0x029770DD, 2775, 1804}, {31, "5AGZME7K3F40I4N", 0x029F70DD, 2775, 1804},
  };
  for (const TCase& c : cases) {
    const TSimDeviceDescription d = ArriaVGZDescription(c.Kind);
    EXPECT_EQ(d.Name, c.Name);
    EXPECT_EQ(d.IdCode, c.IdCode);
    EXPECT_EQ(d.InstructionLength, 10);
    EXPECT_EQ(d.BoundaryLength, c.Length);
    EXPECT_EQ(d.StatusCell, c.Status);
    EXPECT_EQ(FindArriaVGZKind(LowerCase(c.Name)), c.Kind);
    ASSERT_NO_THROW(TSimDevice{d});
    const TSimDevice device(d);
    for (const char* name : {"BYPASS", "EXTEST", "SAMPLE", "PRELOAD", "IDCODE", "USERCODE", "CLAMP", "HIGHZ",
                             "PRIVATE", "CONFIG_IO", "EXTEST_PULSE", "EXTEST_TRAIN"})
      EXPECT_TRUE(device.OpCode(name).has_value()) << name;
    EXPECT_EQ(device.OpCode("USERCODE"), 0x007u);
    EXPECT_EQ(device.OpCode("EXTEST_PULSE"), 0x08Fu);
    EXPECT_EQ(device.OpCode("PROGRAM"), kOpProgram);
    EXPECT_EQ(device.OpCode("CHECK_STATUS"), kOpCheckStatus);
    EXPECT_EQ(device.OpCode("ACTIVE_DISENGAGE"), kOpActiveDisengage);
  }
  EXPECT_FALSE(FindArriaVGZKind("5AGZME1E2"));
  // Chains by ordering code or kind, from the TDI end.
  const std::vector<TSimDeviceDescription> chain = ArriaVGZChain(" 5agzme3h2f35c3n, 28 ,0");
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(chain[0].Name, "5AGZME3H2F35C3N");
  EXPECT_EQ(chain[1].Name, "5AGZME7K2F40C3N");
  EXPECT_EQ(chain[2].Name, "5AGZME1E2H29C3N");
  EXPECT_EQ(ArriaVGZChain(kDefaultSimChain).size(), 1u);
  for (const char* bad : {"", "0,", "32", "5AGZME1E2", "0,,1", "-1"})
    EXPECT_THROW(ArriaVGZChain(bad), std::invalid_argument) << '"' << bad << '"';
  EXPECT_THROW(ArriaVGZDescription(32), std::out_of_range);
  EXPECT_EQ(ArriaVGZConfigBits(31), 213798720u);
}

}  // namespace
}  // namespace tavix::jtagsim
