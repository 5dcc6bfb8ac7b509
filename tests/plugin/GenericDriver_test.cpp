// The generic driver: default answers, Supports, flow cache, processor control and register
// access against a recording channel, EPM download and the device picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "../support/RecordingDispatch.h"
#include "host/Opal.Util.h"
#include "platform/Graphics.h"
#include "plugin/Tavix.Classes.h"

namespace tavix {
namespace {

using testing::TRecordingDispatch;

TEST(GenericDriver, DefaultAnswers) {
  TTavixDriver d(".EDN");
  EXPECT_EQ(d.GetDeviceName(), "Generic Tavix Device");
  EXPECT_EQ(d.GetDeviceDescription(), "Generic Tavix Device");
  EXPECT_EQ(d.GetDeviceDisplayName(), "Generic Tavix Device");
  EXPECT_EQ(d.GetInstructionLength(), 4);
  EXPECT_EQ(d.GetPackageDimensions(), "? x ? mm");
  EXPECT_EQ(d.GetPackageTypeId(), "Generic");
  EXPECT_EQ(d.GetPackageTypeDescription(), "Un-Classified Packages");
  EXPECT_EQ(d.ReadUserCode(), 0xFFFFFFFFu);
  EXPECT_EQ(d.GetDeviceIOCount(), -1);
  EXPECT_EQ(d.GetDevicePinCount(), 0);
  EXPECT_EQ(d.EPM_GetTestResult(0), -1);
  EXPECT_EQ(d.CoreGen_OutputExtension(), ".EDN");
  EXPECT_EQ(d.GetMemorySpaceBytesPerUnit(0), 1u);
  EXPECT_EQ(d.GetRegisterIndex_PC(), -1);
  EXPECT_TRUE(d.InitDownload(0));
  EXPECT_FALSE(d.ResetDevice());
  EXPECT_EQ(d.GetDeviceState(), 0);
  EXPECT_FALSE(d.GetDevicePin(0));
  EXPECT_EQ(d.GetFolder_Library(), GetModuleLibraryFolder());
}

TEST(GenericDriver, SupportsClassesAndActions) {
  struct TFpga : TTavixDriver {
    TFpga() : TTavixDriver(".EDN") {}
    bool SupportsFPGA() override { return true; }
  } fpga;
  const struct {
    const char* Kind;
    bool Expected;
  } cases[] = {
      {"fpga", true},
      {"CPLD", false},
      {"Target=HardDevice|Action=ResetDevice", true},
      {"Target=HardDevice|Action=PauseProcessor", false},
      {"Action=verifyprogram", false},
      {"ResetDevice", true},
      {"Flash_ResetDevice", false},
      {"SomethingNew", true},
      {"ToolchainName=Quartus|Action=ResetDevice", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Kind);
    EXPECT_EQ(fpga.Supports(c.Kind), c.Expected);
  }
}

TEST(GenericDriver, FlowsAreCreatedOnceAndAskedAgainWhenEmpty) {
  TRecordingDispatch flow;  // outlives the driver that caches it
  struct TCounting : TTavixDriver {
    explicit TCounting(IDispatch* flow) : TTavixDriver(".EDN"), Flow(flow) {}
    IDispatch* Flow;
    int Created = 0;
    bool Give = false;
    IProcessFlow CreateFlow(int32_t) override {
      ++Created;
      return Give ? IProcessFlow(Flow) : IProcessFlow();
    }
  } d(&flow);
  EXPECT_FALSE(d.FlowStage_Build());
  EXPECT_FALSE(d.FlowStage_Build());
  EXPECT_EQ(d.Created, 2);
  d.Give = true;
  const IProcessFlow first = d.FlowStage_Build();
  EXPECT_EQ(first, d.FlowStage_Build());
  EXPECT_EQ(d.Created, 3);
}

// A chain device whose channel records every call.
struct TRecordingChain {
  TRecordingDispatch Channel, Device;  // the device holds a reference to the channel
  explicit TRecordingChain(int32_t position) {
    Device.Results[503629] = Variant::FromInt(position);
    Device.Results[503630] = Variant::FromDispatch(&Channel);
    Device.Results[503666] = Variant::FromInt(0);
  }
  ITavixDevice Record() { return ITavixDevice(static_cast<IDispatch*>(&Device)); }
};

struct TProcessorDriver : TTavixDriver {
  TProcessorDriver() : TTavixDriver(".EDN") {}
  int32_t GetProcessorRegisterCount() override { return 8; }
  uint32_t GetProcessorRegisterWidth(int32_t index) override { return index == 3 ? 4 : 6; }
};

TEST(GenericDriver, ProcessorRegisterAccessShiftsAddressThenData) {
  TRecordingChain chain(2);
  TProcessorDriver d;
  d.SetTavixDevice(chain.Record());
  chain.Channel.Results[503589] = Variant::FromInt(0x2A);

  EXPECT_EQ(d.GetProcessorRegisterValue(2), 0x2Au);
  EXPECT_EQ(chain.Channel.CallTexts(),
            (std::vector<std::string>{"503601(3,2)", "503605(2,5)", "503588(4,8,2)", "503605(6,2)", "503601(4,2)",
                                      "503605(2,5)", "503589(0,6,2)", "503605(6,2)"}));
  chain.Channel.Calls.clear();
  EXPECT_TRUE(d.SetProcessorRegisterValue(2, 9));
  EXPECT_EQ(chain.Channel.Calls[2].Text(), "503588(132,8,2)");  // 0x84: write flag on the address
  EXPECT_EQ(chain.Channel.Calls[6].Text(), "503589(9,6,2)");
  // Index 7 is 0x90 in the address table.
  chain.Channel.Calls.clear();
  d.GetProcessorRegisterValue(7);
  EXPECT_EQ(chain.Channel.Calls[2].Text(), "503588(144,8,2)");
}

TEST(GenericDriver, ProcessorRegisterTextIsCutAndPaddedToTheWidth) {
  TRecordingChain chain(0);
  TProcessorDriver d;
  d.SetTavixDevice(chain.Record());
  chain.Channel.Results[503591] = Variant::FromString("000111");
  EXPECT_TRUE(d.SetProcessorRegisterWideValue(0, "101"));
  EXPECT_EQ(chain.Channel.Calls[6].Text(), "503591(000101,0)");
  chain.Channel.Calls.clear();
  d.SetProcessorRegisterWideValue(3, "11110101");  // 4-bit register: rightmost four characters
  EXPECT_EQ(chain.Channel.Calls[6].Text(), "503591(0101,0)");
  EXPECT_EQ(d.GetProcessorRegisterWideValue(0), "000111");
}

TEST(GenericDriver, OutOfRangeRegistersNeverTouchTheChannel) {
  TRecordingChain chain(0);
  TProcessorDriver d;
  d.SetTavixDevice(chain.Record());
  for (int32_t index : {-1, 8, 100}) {
    EXPECT_EQ(d.GetProcessorRegisterValue(index), 0u);
    EXPECT_FALSE(d.SetProcessorRegisterValue(index, 1));
    EXPECT_EQ(d.GetProcessorRegisterWideValue(index), "0");
  }
  EXPECT_TRUE(chain.Channel.Calls.empty());
  EXPECT_TRUE(chain.Device.Calls.empty());
  // Without a chain device the read answers 0 and the text read "0".
  TProcessorDriver lone;
  EXPECT_EQ(lone.GetProcessorRegisterValue(1), 0u);
  EXPECT_EQ(lone.GetProcessorRegisterWideValue(1), "0");
}

TEST(GenericDriver, ProcessorControlSequences) {
  TRecordingChain chain(1);
  TTavixDriver d(".EDN");
  d.SetTavixDevice(chain.Record());
  chain.Device.Results[503666] = Variant::FromInt(0xFF);
  d.PauseProcessor();
  // read; clear SCBE, Reset, DebugAck, Step, ProgSel (bit 6 stays); set Enable and Request;
  // write; read.
  std::vector<std::string> got;
  for (const auto& c : chain.Device.Calls)
    if (c.Id != 503629) got.push_back(c.Text());
  EXPECT_EQ(chain.Channel.CallTexts(), (std::vector<std::string>{"503425()", "503426()"}));
  EXPECT_EQ(got, (std::vector<std::string>{"503630()", "503666(64,8)", "503667(64,8,84)", "503666(64,8)", "503630()"}));
  EXPECT_EQ(d.ControlRegister(), 0xFF);  // the last read

  chain.Device.Results[503666] = Variant::FromInt(0x18);  // DebugEnable + DebugAcknowledge
  EXPECT_TRUE(d.ProcessorIsPaused());
  EXPECT_FALSE(d.ProcessorIsReset());
  EXPECT_FALSE(d.ProcessorIsRunning());
  chain.Device.Results[503666] = Variant::FromInt(0x00);
  EXPECT_TRUE(d.ProcessorIsRunning());
}

TEST(GenericDriver, ControlRegisterWithoutChainDeviceFails) {
  TTavixDriver d(".EDN");
  EXPECT_THROW(d.PauseProcessor(), EOleError);
}

TEST(GenericDriver, EpmDownloadProgramsOnlyAfterASuccessfulReset) {
  struct TScripted : TTavixDriver {
    TScripted() : TTavixDriver(".EDN") {}
    bool ResetOk = false;
    uint8_t State = 1;
    std::vector<std::string> Log;
    bool ResetDevice() override {
      Log.push_back("reset");
      return ResetOk;
    }
    int32_t ProgramDevice(const std::string& f) override {
      Log.push_back("program " + f);
      return 8;
    }
    uint8_t GetDeviceState() override {
      Log.push_back("state");
      return State;
    }
  } d;
  EXPECT_FALSE(d.EPM_Download("a", "image.rbf", "c"));
  EXPECT_EQ(d.Log, (std::vector<std::string>{"reset"}));
  d.ResetOk = true;
  d.State = 2;
  d.Log.clear();
  EXPECT_TRUE(d.EPM_Download("a", "image.rbf", "c"));
  EXPECT_EQ(d.Log, (std::vector<std::string>{"reset", "program image.rbf", "state"}));
}

TEST(GenericDriver, ConstraintFileSearch) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "tavix_constraints";
  fs::create_directories(dir);
  const std::string custom = (dir / "custom.Constraint").string();
  { std::ofstream(custom) << "x"; }
  TTavixDriver d(".EDN");
  EXPECT_EQ(d.GetEmbeddedConstraintFile(), "");
  d.SetEmbeddedConstraintFile(custom);
  EXPECT_EQ(d.GetEmbeddedConstraintFile(), custom);
  d.SetEmbeddedConstraintFile((dir / "missing.Constraint").string());
  EXPECT_EQ(d.GetEmbeddedConstraintFile(), "");
  EXPECT_EQ(d.FindConstraintFile(""), "");
  fs::remove_all(dir);
}

TEST(GenericDriver, DevicePictureCentresTheFamilyPictureWithoutItsBorder) {
  // The build installs both pictures into the program folder's layout.
  TBitmap generic, family;
  ASSERT_TRUE(generic.LoadFromFile(GetSystemFolder() + "Generic_Hard_Device.bmp"));
  ASSERT_TRUE(family.LoadFromFile(GetHostFolder() + "Library/DeviceImages/Arria5GZ.bmp"));
  struct TFamily : TTavixDriver {
    TFamily() : TTavixDriver(".EDN") {}
    std::string GetFamilyName() override { return "Arria5GZ"; }
    // The test program's folder stands in for the module's.
    std::string GetFolder_Library() override { return GetHostFolder() + "Library/"; }
  } d;
  const uint32_t handle = d.GetBitmapHandle();
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(handle, d.GetBitmapHandle());  // built once
  int32_t w = 0, h = 0, bpp = 0;
  ASSERT_TRUE(OsGetBitmapInfo(handle, &w, &h, &bpp));
  EXPECT_EQ(w, generic.Width());
  EXPECT_EQ(bpp, 24);
  const int32_t left = (generic.Width() - family.Width()) / 2, top = (generic.Height() - family.Height()) / 2;
  // Read the composed picture back through its handle.
  const uint8_t* px = OsBitmapPixels(handle);
  auto at = [&](int32_t x, int32_t y) {
    const uint8_t* p = px + (static_cast<size_t>(y) * w + x) * 3;
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  };
  EXPECT_EQ(at(left + 1, top + 1), family.GetPixel(1, 1));
  EXPECT_EQ(at(left + family.Width() / 2, top + family.Height() / 2),
            family.GetPixel(family.Width() / 2, family.Height() / 2));
  // The family picture's outer frame is left out: the generic picture shows there.
  EXPECT_EQ(at(left, top), generic.GetPixel(left, top));
  EXPECT_EQ(at(left + family.Width() - 1, top + family.Height() - 1),
            generic.GetPixel(left + family.Width() - 1, top + family.Height() - 1));
  // A family without a picture keeps the generic one.
  TTavixDriver plain(".EDN");
  const uint32_t plainHandle = plain.GetBitmapHandle();
  ASSERT_NE(plainHandle, 0u);
  EXPECT_EQ(OsBitmapPixels(plainHandle)[0], OsBitmapPixels(generic.Handle())[0]);
}

}  // namespace
}  // namespace tavix
