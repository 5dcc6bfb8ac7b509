// The stand-in host's JTAG objects over the simulated chain: the channel as the module's own
// JTAG routines drive it, the chain devices that carry their drivers, the JTAG devices that
// sample the boundary register into an entity, and the port's shared lifetime.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "jtag/Tavix.Utils.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimHost.JTag.h"
#include "simhost/jtag/SimImage.h"
#include "tests/simhost/SimHostTestSupport.h"

namespace tavix::sim {
namespace {

using namespace jtagsim;

// A boundary-scan entity as a host walks it: cells and scan pins made from a description,
// recording what the host writes into them (DISPID 509024).
class FakeBsdlObject : public HostObject {
 public:
  int32_t Number = -1;    // cells: cell number
  int32_t Function = 0;   // cells: the model's cell function
  std::vector<ComPtr<FakeBsdlObject>> Cells;  // pins: their cells
  int32_t Value = -1;     // last value written, -1 none

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override {
    switch (id) {
      case 509024: Value = args.Int(0); return true;
      case 503501: SetResultInt(result, Number); return true;
      case 503504: SetResultInt(result, Function); return true;
      case 503495: SetResultInt(result, static_cast<int32_t>(Cells.size())); return true;
      case 503496: SetResultDispatch(result, Cells.at(static_cast<size_t>(args.Int(0))).Get()); return true;
      default: return false;
    }
  }
};

class FakeEntity : public HostObject {
 public:
  explicit FakeEntity(const TSimDeviceDescription& d) : Length(d.BoundaryLength) {
    static const int32_t kFunction[] = {1, 3, 4, 5, 7, 9, 8};  // by TSimCellFunction
    for (size_t i = 0; i < d.Cells.size(); ++i) {
      auto cell = MakeHostObject<FakeBsdlObject>();
      cell->Number = static_cast<int32_t>(i);
      cell->Function = kFunction[static_cast<int>(d.Cells[i].Function)];
      Cells.push_back(cell);
    }
    // One scan pin per port, its output cell listed before its input cell.
    std::map<std::string, ComPtr<FakeBsdlObject>> byPort;
    for (size_t i = d.Cells.size(); i-- > 0;) {
      const std::string& port = d.Cells[i].Port;
      if (port.empty()) continue;
      auto& pin = byPort[port];
      if (!pin) {
        pin = MakeHostObject<FakeBsdlObject>();
        Pins.push_back(pin);
        PinNames.push_back(port);
      }
      pin->Cells.push_back(Cells[i]);
    }
  }
  int32_t Length;
  uint32_t Sample = 5;
  std::vector<ComPtr<FakeBsdlObject>> Cells, Pins;
  std::vector<std::string> PinNames;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override {
    auto item = [&](const std::vector<ComPtr<FakeBsdlObject>>& list) {
      const int32_t i = args.Int(0);
      SetResultDispatch(result, i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)].Get() : nullptr);
    };
    switch (id) {
      case 503461: SetResultInt(result, Length); return true;
      case 503479: SetResultUInt(result, Sample); return true;
      case 503469: SetResultInt(result, static_cast<int32_t>(Cells.size())); return true;
      case 503464: item(Cells); return true;
      case 503467: SetResultInt(result, static_cast<int32_t>(Pins.size())); return true;
      case 503462: item(Pins); return true;
      default: return false;
    }
  }
};

// A driver as the host meets it: it keeps the chain device the host gives it, describes its
// device, hands out its entity, and answers the device actions (recorded).
class FakeDriver : public HostObject {
 public:
  ComPtr<IDispatch> TavixDevice;
  int SetCalls = 0;
  ComPtr<IDispatch> Entity;
  std::vector<std::string> Actions;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override {
    switch (id) {
      case 503754: TavixDevice = args.Object(0); ++SetCalls; SetResultBool(result, true); return true;
      case 503380: SetResultString(result, "5AGZME7H2F35C3N"); return true;
      case 503382: SetResultString(result, "Arria5GZ"); return true;
      case 503412: SetResultString(result, "RBF"); return true;
      case 503406: SetResultDispatch(result, Entity.Get()); return true;
      case 503786: Actions.push_back("reset"); SetResultBool(result, true); return true;
      case 503787: Actions.push_back("state"); SetResultInt(result, 2); return true;
      case 503788: Actions.push_back("program " + args.Str(0)); SetResultInt(result, 800); return true;
      default: return false;
    }
  }
};

class SimHostJTagTest : public testing::SimHostTest {
 protected:
  // 5AGZME3 at the TDI end, 5AGZME7 in the middle, 5AGZME1 at the TDO end.
  SimHostJTagTest() : Port(MakeSimJTagPort({ArriaVGZDescription(8), ArriaVGZDescription(24), ArriaVGZDescription(0)})) {
    Host.AddJTagPort(ComPtr<IDispatch>(Port->AsDispatch()));
    Channel = IJTagChannel(Port->Channel().AsDispatch());
  }
  ~SimHostJTagTest() override { Port->DetachDrivers(); }

  static constexpr const char* kBaseNames[] = {"5AGZME3E2", "5AGZME7H2", "5AGZME1E2"};
  ComPtr<JTagPort> Port;
  IJTagChannel Channel;
};

TEST_F(SimHostJTagTest, ModuleRoutinesReadStateResetAndUserCodeAtEveryPosition) {
  for (int32_t p = 0; p < 3; ++p) {
    EXPECT_EQ(GetAlteraDeviceState(kBaseNames[p], Channel, p), kDeviceState_Reset);
    ASSERT_TRUE(Port->Chain().ProgramImage(static_cast<size_t>(p), MakeSimImage(400, 0x0A000000u + p)));
    EXPECT_TRUE(ReadConfigDoneBit(kBaseNames[p], Channel, p)) << "position " << p;
    EXPECT_EQ(GetAlteraDeviceState(kBaseNames[p], Channel, p), kDeviceState_Programmed);
    EXPECT_EQ(ReadAlteraUserCode(Channel, p), 0x0A000000u + p);
  }
  EXPECT_TRUE(ResetAlteraDevice(kBaseNames[1], Channel, 1));
  EXPECT_EQ(GetAlteraDeviceState(kBaseNames[1], Channel, 1), kDeviceState_Reset);
  EXPECT_EQ(GetAlteraDeviceState(kBaseNames[0], Channel, 0), kDeviceState_Programmed);
  EXPECT_EQ(GetAlteraDeviceState(kBaseNames[2], Channel, 2), kDeviceState_Programmed);
  EXPECT_EQ(ReadDataRegister32(Channel, 1, 0x006), 0x029F70DDu);
  EXPECT_EQ(Port->Engine().AccessDepth(), 0) << "every access bracket closed";
}

TEST_F(SimHostJTagTest, ModuleDownloadConfiguresTheDeviceThroughTheLines) {
  const std::string file = Data.Path() + "design.rbf";
  WriteSimImageFile(file, 2000, 0xD0D0CAFE);
  auto driver = MakeHostObject<FakeDriver>();
  // A device away from TDO: each data bit passes the other devices' bypass bits.
  EXPECT_EQ(ProgramAlteraDevice(ITavixDriver(driver->AsDispatch()), file, Channel, 1), 2000 * 8);
  EXPECT_TRUE(Port->Chain().Device(1).Configured()) << Port->Chain().Device(1).Receiver().Status();
  EXPECT_EQ(ReadAlteraUserCode(Channel, 1), 0xD0D0CAFEu);
  EXPECT_FALSE(Port->Chain().Device(0).Configured());
  EXPECT_FALSE(Port->Chain().Device(2).Configured());
}

TEST_F(SimHostJTagTest, ChannelAnswersItsContract) {
  IDispatch* channel = Channel.Dispatch();
  EXPECT_EQ(Channel.GetChainDeviceCount(), 3);
  EXPECT_TRUE(SameObject(Channel.GetJTagDevice(2).Dispatch(), Channel.GetJTagDevice(2).Dispatch()));
  EXPECT_FALSE(SameObject(Channel.GetJTagDevice(1).Dispatch(), Channel.GetJTagDevice(2).Dispatch()));
  // The channel's port is port 0 of the host's "TavixManager.dll", found as the module finds it.
  void* manager = ::dlopen("TavixManager.dll", RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(manager, nullptr) << "the host loaded its modules";
  using TCountFn = HRESULT TAVIX_STDCALL (*)(int32_t*);
  using TPortFn = HRESULT TAVIX_STDCALL (*)(int32_t, IDispatch**);
  const auto portCount = reinterpret_cast<TCountFn>(::dlsym(manager, "GetJTagPortCount"));
  const auto portAt = reinterpret_cast<TPortFn>(::dlsym(manager, "GetJTagPort"));
  ASSERT_TRUE(portCount && portAt);
  int32_t count = 0;
  ASSERT_EQ(portCount(&count), S_OK);
  EXPECT_EQ(count, 1);
  ComPtr<IDispatch> hostPort;
  ASSERT_EQ(portAt(0, hostPort.Out()), S_OK);
  EXPECT_TRUE(SameObject(Channel.GetJtagPort().Dispatch(), hostPort.Get()));
  ::dlclose(manager);
  // The lines belong to the channel: same identity both ways.
  ComPtr<IJTagLines> lines = Channel.GetLines();
  ASSERT_TRUE(lines);
  EXPECT_TRUE(SameObject(lines.Get(), channel));
  // A scan through DISPIDs: IDCODE of the device at the TDO end, then a text exchange.
  Channel.GoToTapState(2);
  Channel.LoadInstruction(0x006, 2);
  EXPECT_EQ(Channel.ScanDataRegister(0, 32, 2), 0x029310DDu);
  Channel.LoadInstruction(0x006, 0);
  Channel.MoveTapState(2, 5);
  EXPECT_EQ(Channel.ExchangeDataRegisterText(std::string(32, '0'), 0), "00000010100101110001000011011101");
  EXPECT_EQ(Port->Chain().State(), jtagsim::TTapState::Exit1DR);
  // Bad arguments are refused with a code, not a crash.
  struct TBad {
    const char* What;
    DISPID Id;
    std::vector<int32_t> Args;
  };
  const TBad bad[] = {{"position", 503579, {3}},       {"negative position", 503601, {6, -1}},
                      {"state 0", 503607, {0}},        {"state 17", 503605, {2, 17}},
                      {"scan position", 503599, {0, 32, 9}}};
  for (const TBad& b : bad) {
    HRESULT code = S_OK;
    try {
      if (b.Args.size() == 1) DispCall(channel, b.Id, b.Args[0]);
      if (b.Args.size() == 2) DispCall(channel, b.Id, b.Args[0], b.Args[1]);
      if (b.Args.size() == 3) DispCall(channel, b.Id, b.Args[0], b.Args[1], b.Args[2]);
    } catch (const EOleError& e) {
      code = e.Code();
    }
    EXPECT_EQ(code, E_INVALIDARG) << b.What;
  }
  EXPECT_THROW(DispCall(channel, 503591, std::string("0120"), 0), EOleError);
}

TEST_F(SimHostJTagTest, ChainDevicesCarryTheirDriverAndForwardTheDeviceActions) {
  auto driver = MakeHostObject<FakeDriver>();
  Port->AttachDriver(1, driver->AsDispatch());
  ASSERT_EQ(driver->SetCalls, 1);
  const ITavixDevice device(driver->TavixDevice);
  EXPECT_EQ(device.GetChainPosition(), 1);
  EXPECT_TRUE(SameObject(device.GetJTagChannel().Dispatch(), Channel.Dispatch()));
  EXPECT_TRUE(SameObject(device.GetTavixDriver().Dispatch(), driver->AsDispatch()));
  EXPECT_EQ(device.GetDeviceName(), "5AGZME7H2F35C3N");
  EXPECT_EQ(device.GetDownloadFileExtensions(), "RBF");
  EXPECT_TRUE(device.ResetHardDevice());
  EXPECT_EQ(device.GetHardDeviceState(), 2);
  EXPECT_EQ(device.ProgramHardDevice("/tmp/x.rbf"), 800);
  EXPECT_EQ(driver->Actions, (std::vector<std::string>{"reset", "state", "program /tmp/x.rbf"}));
  // Debug registers keep what is written, cut to the width asked.
  device.BeginRegisterAccess();
  device.WriteDebugRegister(3, 8, 0x1FF);
  EXPECT_EQ(device.ReadDebugRegister(3, 16), 0xFFu);
  EXPECT_EQ(device.ReadDebugRegister(3, 4), 0xFu);
  device.EndRegisterAccess();
  EXPECT_FALSE(device.GetProcessorRegister(0));

  // A position no driver serves names its simulated device and refuses device actions.
  const ITavixDevice bare(Port->TavixDevice(0).AsDispatch());
  EXPECT_EQ(bare.GetDeviceName(), "5AGZME3E2H29C3N");
  EXPECT_FALSE(bare.GetTavixDriver());
  EXPECT_THROW(bare.GetHardDeviceState(), EOleError);

  // Detaching tells the driver its device is gone.
  Port->DetachDrivers();
  EXPECT_EQ(driver->SetCalls, 2);
  EXPECT_FALSE(driver->TavixDevice);
  EXPECT_FALSE(Port->Driver(1));
}

TEST_F(SimHostJTagTest, ScanBoundaryWritesEveryCellAndPinOfTheEntity) {
  const TSimDeviceDescription description = ArriaVGZDescription(24);
  auto entity = MakeHostObject<FakeEntity>(description);
  auto driver = MakeHostObject<FakeDriver>();
  driver->Entity = entity->AsDispatch();
  Port->AttachDriver(1, driver->AsDispatch());
  ASSERT_TRUE(Port->Chain().ProgramImage(1, MakeSimImage(300, 1)));

  const IJTagDevice device = Channel.GetJTagDevice(1);
  EXPECT_EQ(device.GetJTagDeviceName(), "5AGZME7H2F35C3N");
  EXPECT_TRUE(SameObject(device.GetEntity().Dispatch(), entity->AsDispatch()));
  EXPECT_EQ(device.GetGenericKey(), 0x029F70DD);
  EXPECT_EQ(device.GetGenericSubKey(), 0);

  Host.AdvanceTime(1000);
  ASSERT_TRUE(device.ScanBoundary(entity->AsDispatch()));
  const TSimDevice& sim = Port->Chain().Device(1);
  const std::vector<uint8_t> expected = sim.CaptureCells();
  for (size_t i = 0; i < entity->Cells.size(); ++i) ASSERT_EQ(entity->Cells[i]->Value, expected[i]) << "cell " << i;
  EXPECT_EQ(entity->Cells[1804]->Value, 1) << "CONF_DONE";
  // A pin reads its input cell, not its output cell (listed first).
  size_t checked = 0;
  for (size_t k = 0; k < sim.Ports().size(); ++k) {
    const TSimPort& port = sim.Ports()[k];
    for (size_t i = 0; i < entity->PinNames.size(); ++i) {
      if (entity->PinNames[i] != port.Name) continue;
      EXPECT_EQ(entity->Pins[i]->Value, sim.PinLevel(k) ? 1 : 0) << port.Name;
      ++checked;
    }
  }
  EXPECT_EQ(checked, sim.Ports().size());

  // Time moves, the design's pins move, a new scan shows it.
  Host.AdvanceTime(700);
  ASSERT_TRUE(device.ScanBoundary(entity->AsDispatch()));
  const std::vector<uint8_t> later = sim.CaptureCells();
  EXPECT_NE(later, expected);
  for (size_t i = 0; i < entity->Cells.size(); ++i) ASSERT_EQ(entity->Cells[i]->Value, later[i]);
  EXPECT_EQ(Port->Engine().AccessDepth(), 0);
}

TEST_F(SimHostJTagTest, DriversHoldingChainDevicesKeepThePortAlive) {
  auto driver = MakeHostObject<FakeDriver>();
  Port->AttachDriver(2, driver->AsDispatch());
  const int32_t held = Port->RefCount();
  EXPECT_GT(held, 1);
  ComPtr<IJTagLines> lines = Channel.GetLines();
  EXPECT_EQ(Port->RefCount(), held + 1) << "the lines count on the port";
  lines.Reset();
  Port->DetachDrivers();
  EXPECT_EQ(Port->RefCount(), held - 1) << "the driver's reference is gone";
}

}  // namespace
}  // namespace tavix::sim
