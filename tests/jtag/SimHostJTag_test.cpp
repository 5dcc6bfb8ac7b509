// The stand-in host's JTAG objects over the simulated chain: the channel as the module's own
// JTAG routines drive it, the chain devices that carry their drivers, the JTAG devices that
// sample the boundary register into an entity, and the port's shared lifetime.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "jtag/Tavix.Utils.h"
#include "platform/Files.h"
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


// ---- the configuration download as the device receives it ----

// What reached device `position` in Shift-DR during one download of `file`.
struct TReceived {
  int32_t Result;
  uint64_t Bits;     // every bit the device took as configuration data
  uint64_t SyncEnd;  // bit count at which the image's sync word ended
  bool Configured;
};

class AlteraDownloadTest : public SimHostJTagTest {
 protected:
  TReceived Download(const std::string& file, int32_t position) {
    auto driver = MakeHostObject<FakeDriver>();
    TSimDevice& device = Port->Chain().Device(static_cast<size_t>(position));
    const int32_t result = ProgramAlteraDevice(ITavixDriver(driver->AsDispatch()), file, Channel, position);
    const TConfigReceiver& r = device.Receiver();
    EXPECT_EQ(Port->Engine().AccessDepth(), 0) << "the channel access is ended";
    return {result, r.BitsReceived(), r.SyncEnd(), device.Configured()};
  }
  std::string Image(const char* name, uint64_t size, uint32_t userCode) {
    const std::string file = Data.Path() + name;
    WriteSimImageFile(file, size, userCode);
    return file;
  }
  // An installed extension whose "TavixConfig.ini" says `text`.
  void InstallExtension(const std::string& text) {
    const std::string folder = Data.Path() + "ext" + std::to_string(++FExtensions) + "/";
    ForceDirectories(folder);
    ASSERT_TRUE(WriteFileAtomically(folder + "TavixConfig.ini", text));
    Host.InstallExtension(folder);
  }

 private:
  int FExtensions = 0;
};

TEST_F(AlteraDownloadTest, SkippedBytesAreLeftOutAndTheImageStillArrivesWhole) {
  const std::string file = Image("design.rbf", 600, 0x12345678);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(file, bytes));
  const TReceived whole = Download(file, 2);
  EXPECT_TRUE(whole.Configured);  // the payload arrived whole: its checksum holds
  EXPECT_EQ(whole.Result, static_cast<int32_t>(bytes.size() * 8));
  EXPECT_EQ(ReadAlteraUserCode(Channel, 2), 0x12345678u);

  Host.Families().Define("Arria5GZ").SetParameter("ND_ProgramBitsToIgnore", "4");
  const TReceived skipped = Download(file, 2);
  EXPECT_TRUE(skipped.Configured);
  EXPECT_EQ(skipped.Result, whole.Result) << "the answer is still the file size";
  EXPECT_EQ(whole.Bits - skipped.Bits, 4u * 8) << "four bytes were not sent";
  EXPECT_EQ(whole.SyncEnd - skipped.SyncEnd, 4u * 8);
  EXPECT_EQ(Host.Gui().ProgressPercent(), 0);
  size_t steps = 0;
  for (const auto& call : Host.Gui().StatusCalls()) steps += call.Code == -7;
  EXPECT_EQ(steps, 200u) << "100 percent per download, skipped bytes stepped too";
}

TEST_F(AlteraDownloadTest, TheFamilyCanAskForActiveDisengageFirst) {
  // A file that is no image: the device stays out of user mode, so the disengage shows.
  const std::string file = Data.Path() + "noimage.rbf";
  ASSERT_TRUE(WriteFileAtomically(file, std::string(64, '\x5A')));
  Download(file, 1);
  EXPECT_FALSE(Port->Chain().Device(1).ActiveDisengaged());
  Host.Families().Define("Arria5GZ").SetParameter("ND_ActiveDisengage", "True");
  EXPECT_FALSE(Download(file, 1).Configured);
  EXPECT_TRUE(Port->Chain().Device(1).ActiveDisengaged());
  EXPECT_FALSE(Port->Chain().Device(0).ActiveDisengaged()) << "only the addressed device";
}

TEST_F(AlteraDownloadTest, IdleClocksComeFromTheFamilyOrAnExtension) {
  const std::string file = Image("design.rbf", 64, 1);
  const TReceived byDefault = Download(file, 2);  // no extension: 175 idle clocks
  InstallExtension("[General]\nDeviceFamily=Stratix\n[ClockCore]\nCycles=5\n");  // another family
  InstallExtension("[General]\nDeviceFamily=arria5gz\n[ClockCore]\nCycles=40\n");
  const TReceived fromExtension = Download(file, 2);
  EXPECT_EQ(byDefault.SyncEnd - fromExtension.SyncEnd, 175u - 40u);
  EXPECT_EQ(GetProgramIdleCycles("Arria5GZ"), 40);
  EXPECT_EQ(GetProgramIdleCycles("Cyclone3"), 3181);
  EXPECT_TRUE(fromExtension.Configured);
}

TEST_F(AlteraDownloadTest, ACyclesValueThatIsNoNumberGivesNoIdleClocks) {
  const std::string file = Image("design.rbf", 64, 1);
  const TReceived byDefault = Download(file, 2);
  InstallExtension("[General]\nDeviceFamily=Arria5GZ\n[ClockCore]\nCycles=many\n");
  EXPECT_EQ(GetProgramIdleCycles("Arria5GZ"), -1);
  const TReceived none = Download(file, 2);
  EXPECT_EQ(byDefault.SyncEnd - none.SyncEnd, 175u);
  EXPECT_TRUE(none.Configured);
}

TEST_F(AlteraDownloadTest, PositionTwoOfThreeTakesTheImageThroughTheBypassBits) {
  const std::string file = Image("design.rbf", 300, 0xABCD0002);
  const TReceived far = Download(file, 0);  // nearest TDI: two devices between it and TDO
  EXPECT_TRUE(far.Configured);
  EXPECT_EQ(ReadAlteraUserCode(Channel, 0), 0xABCD0002u);
  EXPECT_EQ(GetAlteraDeviceState(kBaseNames[0], Channel, 0), kDeviceState_Programmed);
  const TReceived near = Download(file, 2);
  EXPECT_TRUE(near.Configured);
  EXPECT_EQ(ReadAlteraUserCode(Channel, 2), 0xABCD0002u);
  EXPECT_EQ(GetAlteraDeviceState(kBaseNames[1], Channel, 1), kDeviceState_Reset);
}

TEST_F(AlteraDownloadTest, AnEmptyFileSendsNoDataButFinishesTheSequence) {
  const std::string file = Data.Path() + "empty.rbf";
  ASSERT_TRUE(WriteFileAtomically(file, std::string()));
  const TReceived empty = Download(file, 2);
  EXPECT_EQ(empty.Result, 0);
  EXPECT_FALSE(empty.Configured);
  // Only the two bypass bits of the devices nearer TDI, the idle ones, the 128 trailing ones
  // and the exit clock reached the device.
  EXPECT_EQ(empty.Bits, 2u + 175u + 128u + 1u);
  EXPECT_EQ(empty.SyncEnd, 0u);
  EXPECT_FALSE(Host.Gui().ProgressActive()) << "the progress is ended";
  // A file that does not exist sends nothing at all.
  const TReceived missing = Download(Data.Path() + "missing.rbf", 2);
  EXPECT_EQ(missing.Result, 0);
  EXPECT_EQ(missing.Bits, empty.Bits);
}

// A channel that answers every DISPID of the real one but has no pin-level lines.
class LinelessChannel : public HostObject {
 public:
  explicit LinelessChannel(IDispatch* real) : FReal(real) {}

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override {
    std::vector<VARIANT> reversed;
    for (uint32_t i = args.Count(); i > 0; --i) reversed.push_back(args.Arg(args.Count() - i));
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
    OleCheck(FReal->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr));
    return true;
  }

 private:
  ComPtr<IDispatch> FReal;
};

TEST_F(AlteraDownloadTest, AChannelWithoutLinesFailsTheOperationAndLeavesNoAccessOpen) {
  auto lineless = MakeHostObject<LinelessChannel>(Channel.Dispatch());
  const IJTagChannel channel(lineless->AsDispatch());
  ASSERT_FALSE(channel.GetLines());
  const std::string file = Image("design.rbf", 64, 1);
  auto driver = MakeHostObject<FakeDriver>();
  EXPECT_THROW(ProgramAlteraDevice(ITavixDriver(driver->AsDispatch()), file, channel, 2), EOleError);
  EXPECT_THROW(GetAlteraDeviceState(kBaseNames[2], channel, 2), EOleError);
  EXPECT_THROW(ResetAlteraDevice(kBaseNames[2], channel, 2), EOleError);
  EXPECT_EQ(Port->Engine().AccessDepth(), 0);
  // The user-code read needs no lines.
  EXPECT_EQ(ReadAlteraUserCode(channel, 2), 0xFFFFFFFFu);
  EXPECT_EQ(Port->Engine().AccessDepth(), 0);
}

}  // namespace
}  // namespace tavix::sim
