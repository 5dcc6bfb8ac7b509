// The catalog's answers for device kinds, as the host reads them through Invoke.
#include <string>
#include <variant>

#include "../support/FakeHost.h"
#include "../support/TempFolder.h"
#include "CatalogTest.h"
#include "catalog/EDP.SCH.Util.h"

namespace tavix::test {
namespace {

struct KindCase {
  int32_t Kind;
  DISPID Id;
  std::variant<int32_t, std::string, bool> Expected;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << "kind " << c.Kind << " DISPID " << c.Id; }

class KindAnswers : public ::testing::TestWithParam<KindCase> {};

TEST_P(KindAnswers, InvokeAnswersTheTableRow) {
  const KindCase& c = GetParam();
  const auto driver = MakeDriver(c.Kind);
  const Variant result = Invoke(driver->AsDispatch(), c.Id);
  if (const auto* text = std::get_if<std::string>(&c.Expected)) {
    EXPECT_EQ(result.Type(), VT_BSTR);
    EXPECT_EQ(result.AsString(), *text);
  } else if (const auto* number = std::get_if<int32_t>(&c.Expected)) {
    EXPECT_EQ(result.Type(), VT_I4);
    EXPECT_EQ(result.AsInt(), *number);
  } else {
    EXPECT_EQ(result.Type(), VT_BOOL);
    EXPECT_EQ(result.AsBool(), std::get<bool>(c.Expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Catalog, KindAnswers,
    ::testing::Values(
        KindCase{0, 503379, static_cast<int32_t>(0x029310DD)}, KindCase{0, 503380, "5AGZME1E2H29C3N"},
        KindCase{0, 503382, "Arria5GZ"}, KindCase{0, 503383, "Arria V GZ FPGA"},
        KindCase{0, 503384, "Altera Arria V GZ.IntLib"}, KindCase{0, 503386, "5AGZME1E2"},
        KindCase{0, 503387, 220000}, KindCase{0, 503389, "H"}, KindCase{0, 503390, "HBGA"},
        KindCase{0, 503391, "Hybrid FineLine Ball Grid Array (H)"}, KindCase{0, 503392, "H29"},
        KindCase{0, 503393, "HBGA780"},
        KindCase{0, 503394, "780-Ball Hybrid FinleLine Ball Grid Array(HBGA780)"},
        KindCase{0, 503395, "29 x 29 mm"}, KindCase{0, 503397, "Commercial"},
        KindCase{0, 503398, "Commercial Grade"}, KindCase{0, 503399, "3"},
        KindCase{0, 503401, "Speed Grade 3 (Fastest)"}, KindCase{0, 503403, "N"},
        KindCase{0, 503404, "Pb-Free"}, KindCase{0, 503405, "5AGZME1E2H29.bsd"}, KindCase{0, 503408, 10},
        KindCase{0, 503409, 780}, KindCase{0, 503410, 350}, KindCase{0, 503413, 1600}, KindCase{0, 503414, 20},
        KindCase{0, 503415, 11700}, KindCase{0, 503416, true}, KindCase{0, 503417, 16},
        KindCase{0, 503418, 137598720}, KindCase{0, 503419, 171}, KindCase{0, 503420, 24},
        KindCase{0, 503421, 56},
        KindCase{1, 503396, "I"}, KindCase{1, 503397, "Industrial"}, KindCase{1, 503402, "LN"},
        KindCase{1, 503404, "Low-voltage device and Pb-Free"}, KindCase{1, 503405, "5AGZME1E2H29.bsd"},
        KindCase{6, 503394, "1152-Ball FineLine Ball Grid Array (FBGA1152)"},
        KindCase{6, 503395, "35 x 35 mm"}, KindCase{6, 503400, "4"}, KindCase{6, 503401, "Speed Grade 4"},
        KindCase{6, 503390, "FBGA"}, KindCase{6, 503391, "FineLine Ball Grid Array (F)"},
        KindCase{21, 503380, "5AGZME5K2F40I3LN"}, KindCase{21, 503392, "F40"}, KindCase{21, 503389, "F"},
        KindCase{21, 503393, "FBGA1517"}, KindCase{21, 503394, "1517-Ball FIneLine Ball Grid Array(FBGA1517)"},
        KindCase{21, 503395, "40 x 40 mm"}, KindCase{21, 503409, 1517}, KindCase{21, 503410, 698},
        KindCase{21, 503413, 2184}, KindCase{21, 503414, 24}, KindCase{21, 503415, 28800},
        KindCase{21, 503418, 213798720}, KindCase{21, 503419, 337}, KindCase{21, 503420, 72},
        KindCase{14, 503413, 2088}, KindCase{14, 503415, 19140}, KindCase{14, 503410, 430},
        KindCase{14, 503387, 360000}, KindCase{18, 503410, 550}, KindCase{18, 503419, 267},
        KindCase{31, 503379, static_cast<int32_t>(0x029F70DD)}, KindCase{31, 503387, 450000},
        KindCase{31, 503388, 674}, KindCase{31, 503413, 2278}, KindCase{31, 503415, 34000},
        KindCase{31, 503405, "5AGZME7K3F40.bsd"}, KindCase{31, 503403, "N"}));

// Every row is one ordering code: base name, package, temperature grade, speed grade and
// option designator spell out the full name, and the die fixes IDCODE and pin-set stem.
TEST(DeviceTable, EveryKindSpellsItsOrderingCode) {
  const std::pair<const char*, uint32_t> dies[] = {
      {"5AGZME1", 0x029310DD}, {"5AGZME3", 0x029710DD}, {"5AGZME5", 0x029770DD}, {"5AGZME7", 0x029F70DD}};
  for (int32_t kind = 0; kind < kDeviceKindCount; ++kind) {
    SCOPED_TRACE(kind);
    const auto driver = MakeDriver(kind);
    const std::string option = driver->GetOptionDesignatorId();
    EXPECT_EQ(driver->GetDeviceName(), driver->GetBaseName() + driver->GetPackageId() +
                                           driver->GetTemperatureGradeId() + driver->GetSpeedGradeId() +
                                           (option == "None" ? "" : option));
    const std::string stem = driver->GetBaseName() + driver->GetPackageId();
    EXPECT_EQ(driver->GetBSDLFilename(), stem + ".bsd");
    EXPECT_EQ(kPinSetStems[driver->Row().PinSet], stem);
    EXPECT_EQ(kPinSetStems[driver->Row().DevicePackage], stem);
    EXPECT_EQ(kBSDLFileNames[driver->Row().PinSet], stem + ".bsd");
    EXPECT_EQ(driver->Row().Kind, kind);
    EXPECT_EQ(driver->GetPackageTypeId(), driver->GetPackageId().substr(0, 1));
    EXPECT_EQ(driver->GetInstructionLength(), 10);
    EXPECT_TRUE(driver->GetTerminationSupport());
    EXPECT_EQ(driver->GetIOStandardCount(), 56);
    for (const auto& [die, idCode] : dies)
      if (driver->GetBaseName().starts_with(die)) {
        EXPECT_EQ(driver->GetIdCode(), idCode);
      }
  }
}

// The vendor comes from the device-family registry, which installed extensions fill.
class DeviceVendor : public ::testing::Test {
 protected:
  void SetUp() override { ResetDeviceFamilies(); }
  void TearDown() override { ResetDeviceFamilies(); }
};

TEST_F(DeviceVendor, DescriptionWithoutRegisteredVendorStartsWithASpace) {
  const auto driver = MakeDriver(0);
  EXPECT_EQ(Invoke(driver->AsDispatch(), 503407).AsString(), "");
  EXPECT_EQ(Invoke(driver->AsDispatch(), 503381).AsString(), " Arria5GZ 5AGZME1E2H29C3N");
}

TEST_F(DeviceVendor, ComesFromTheExtensionThatDeclaresTheFamily) {
  TFakeHost host;
  host.Client->Returns(486, Variant::FromInt(0));  // the application handle the driver asks for
  TTempFolder folder;
  folder.Write("arria/TavixConfig.ini", "[General]\nDeviceFamily=Arria5GZ\nDeviceVendor=Altera\nEDIF=ARRIA5GZ\n");
  folder.Write("other/TavixConfig.ini", "[General]\nDeviceFamily=arria5gz\nDeviceVendor=Nobody\nEDIF=X\n");
  host.AddExtension(folder / "arria/");
  host.AddExtension(folder / "other/");  // registry keys are exact: this is another family
  const auto driver = MakeDriver(0);
  EXPECT_EQ(Invoke(driver->AsDispatch(), 503407).AsString(), "Altera");
  EXPECT_EQ(Invoke(driver->AsDispatch(), 503381).AsString(), "Altera Arria5GZ 5AGZME1E2H29C3N");
}

TEST(DeviceTable, DeviceActionsOfTheDriverStayItsOwn) {
  const auto driver = MakeDriver(3);
  EXPECT_EQ(driver->CoreGen_OutputExtension(), ".VHD");
  EXPECT_EQ(driver->GetDeviceDisplayName(), driver->GetDeviceName());
}

// ---- I/O standards of a kind ----

TEST(DeviceIOStandards, IndexedInIdOrderAndNullOutsideTheCount) {
  const auto driver = MakeDriver(0);
  IDispatch* const self = driver->AsDispatch();
  EXPECT_EQ(Invoke(InvokeObject(self, kIdGetIOStandard, 0), kIdDisplayName).AsString(), "LVCMOS 1.2V");
  EXPECT_EQ(Invoke(InvokeObject(self, kIdGetIOStandard, 55), kIdParamName).AsString(), "HCSL");
  EXPECT_EQ(InvokeObject(self, kIdGetIOStandard, 56), nullptr);
  EXPECT_EQ(InvokeObject(self, kIdGetIOStandard, -1), nullptr);
}

TEST(DeviceIOStandards, AllKindsHandOutTheSameSharedObjects) {
  const auto first = MakeDriver(0);
  const auto last = MakeDriver(31);
  for (int32_t i = 0; i < 56; ++i)
    EXPECT_EQ(InvokeObject(first->AsDispatch(), kIdGetIOStandard, i),
              InvokeObject(last->AsDispatch(), kIdGetIOStandard, i));
}

TEST(DeviceIOStandards, ReleasesByTheHostNeverFreeAStandard) {
  const auto driver = MakeDriver(5);
  IDispatch* const standard = InvokeObject(driver->AsDispatch(), kIdGetIOStandard, 50);
  ASSERT_NE(standard, nullptr);
  for (int i = 0; i < 100; ++i) {
    ComPtr<IDispatch> taken(InvokeObject(driver->AsDispatch(), kIdGetIOStandard, 50));
    EXPECT_EQ(standard->Release(), -1);
    EXPECT_EQ(standard->AddRef(), -1);
  }
  for (int i = 0; i < 100; ++i) standard->Release();
  EXPECT_EQ(InvokeObject(driver->AsDispatch(), kIdGetIOStandard, 50), standard);
  EXPECT_EQ(Invoke(standard, kIdDisplayName).AsString(), "LVDS");
  EXPECT_EQ(DeviceIOStandard(sLVDS)->AsDispatch(), standard);
}

// ---- pins of a kind ----

TEST(DevicePins, CreatedOnceAndHandedOutAgain) {
  const auto driver = MakeDriver(0);
  IDispatch* const pin = InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 5);
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 5), pin);
  EXPECT_EQ(InvokeObject(driver->AsDispatch(), kIdGetDevicePin, "5"), pin);  // an argument that coerces
  EXPECT_NE(InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 6), pin);
  // A second driver of the same kind has pins of its own.
  const auto other = MakeDriver(0);
  EXPECT_NE(InvokeObject(other->AsDispatch(), kIdGetDevicePin, 5), pin);
}

TEST(DevicePins, IndexOutsideThePinsAnswersAnEmptyReference) {
  for (int32_t kind : {0, 4, 20}) {
    const auto driver = MakeDriver(kind);
    const int32_t count = driver->GetDevicePinCount();
    EXPECT_EQ(InvokeObject(driver->AsDispatch(), kIdGetDevicePin, -1), nullptr);
    EXPECT_EQ(InvokeObject(driver->AsDispatch(), kIdGetDevicePin, count), nullptr);
    EXPECT_EQ(InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 1 << 30), nullptr);
    IDispatch* const lastPin = InvokeObject(driver->AsDispatch(), kIdGetDevicePin, count - 1);
    ASSERT_NE(lastPin, nullptr);
    EXPECT_EQ(Invoke(lastPin, kIdPinNumber).AsString(), kPinSetParameters[driver->Row().PinSet].Pins[count - 1].PinNumber);
  }
}

TEST(DevicePins, AreNotReferenceCountedAndAnswerTheirServiceName) {
  const auto driver = MakeDriver(0);
  IDispatch* const pin = InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(pin->Release(), -1);
  EXPECT_EQ(pin->AddRef(), -1);
  EXPECT_EQ(Invoke(pin, kIdPinNumber).AsString(), "L22");
  EXPECT_TRUE(Invoke(pin, 1023, "devicepin").AsBool());
  EXPECT_FALSE(Invoke(pin, 1023, "DeviceIOStandard").AsBool());
  IDispatch* const standard = InvokeObject(pin, kIdPinIOStandard, 0);
  EXPECT_TRUE(Invoke(standard, 1023, "DeviceIOStandard").AsBool());
  EXPECT_FALSE(Invoke(standard, 1023, "DevicePin").AsBool());
}

// ---- device classes ----

struct SupportsCase {
  const char* Kind;
  bool Expected;
};

class Supports : public ::testing::TestWithParam<SupportsCase> {};

TEST_P(Supports, AnswersForTheFpgaDriver) {
  const auto driver = MakeDriver(12);
  EXPECT_EQ(Invoke(driver->AsDispatch(), kIdSupports, GetParam().Kind).AsBool(), GetParam().Expected)
      << GetParam().Kind;
}

INSTANTIATE_TEST_SUITE_P(Catalog, Supports,
                         ::testing::Values(SupportsCase{"FPGA", true}, SupportsCase{"fpga", true},
                                           SupportsCase{"CPLD", false}, SupportsCase{"PROM", false},
                                           SupportsCase{"PROC", false}, SupportsCase{"GPROC", false},
                                           SupportsCase{"Target=HardDevice|Action=ResetDevice", true},
                                           SupportsCase{"Action=PauseProcessor", false},
                                           SupportsCase{"Target=HardDevice|ToolchainName=Quartus", false},
                                           SupportsCase{"ShowViewer", true}, SupportsCase{"VerifyProgram", false},
                                           SupportsCase{"SomethingNew", true}));

}  // namespace
}  // namespace tavix::test
