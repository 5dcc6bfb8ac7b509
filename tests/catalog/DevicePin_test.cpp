// Pins and I/O standards as the host reads them through Invoke.
#include <set>
#include <string>
#include <vector>

#include "CatalogTest.h"

namespace tavix::test {
namespace {

// The Boolean pin queries by DISPID, with the flag names of the pin lists.
const std::vector<std::pair<DISPID, std::string>> kFlagQueries = {
    {503527, "IO"},       {503528, "CLK"},          {503529, "VREF"},        {503530, "Special"},
    {503533, "InputOnly"}, {503534, "DCIP"},        {503535, "DCIN"},        {503536, "DiffP"},
    {503537, "DiffN"},    {503538, "HDiffP"},       {503539, "HDiffN"},      {503540, "TransmitDiff"},
    {503541, "ReceiveDiff"}, {503542, "ClkDiffP"},  {503543, "ClkDiffN"},    {503544, "DLL"},
    {503548, "PosPinOfDiffPair"}, {503549, "NegPinOfDiffPair"}};

struct PinCase {
  int32_t Index;
  const char* Ball;
  const char* Bank;
  const char* DiffId;
  const char* ClkDiffId;
  std::set<std::string> Flags;  // every query answering True
  int32_t StandardCount;
  const char* Unique;
};

void PrintTo(const PinCase& c, std::ostream* os) { *os << "pin " << c.Index << " " << c.Ball; }

class Kind0Pins : public ::testing::TestWithParam<PinCase> {
 protected:
  static void SetUpTestSuite() { Driver = MakeDriver(0).release(); }
  static void TearDownTestSuite() {
    delete Driver;
    Driver = nullptr;
  }
  static TDevice_Arria5GZDriver* Driver;
};
TDevice_Arria5GZDriver* Kind0Pins::Driver = nullptr;

TEST_P(Kind0Pins, AnswerTheirRow) {
  const PinCase& c = GetParam();
  IDispatch* const pin = InvokeObject(Driver->AsDispatch(), kIdGetDevicePin, c.Index);
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(Invoke(pin, kIdPinNumber).AsString(), c.Ball);
  EXPECT_EQ(Invoke(pin, kIdIOBank).AsString(), c.Bank);
  EXPECT_EQ(Invoke(pin, kIdDifferentialId).AsString(), c.DiffId);
  EXPECT_EQ(Invoke(pin, kIdClkDifferentialId).AsString(), c.ClkDiffId);
  EXPECT_EQ(Invoke(pin, kIdUniqueDifferentialID).AsString(), c.Unique);
  std::set<std::string> flags;
  for (const auto& [id, name] : kFlagQueries) {
    const Variant answer = Invoke(pin, id);
    EXPECT_EQ(answer.Type(), VT_BOOL);
    if (answer.AsBool()) flags.insert(name);
  }
  EXPECT_EQ(flags, c.Flags);
  const Variant count = Invoke(pin, kIdPinIOStandardCount);
  EXPECT_EQ(count.Type(), VT_I4);
  EXPECT_EQ(count.AsInt(), c.StandardCount);
  EXPECT_EQ(InvokeObject(pin, kIdPinIOStandard, c.StandardCount), nullptr);
  EXPECT_EQ(InvokeObject(pin, kIdPinIOStandard, -1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Catalog, Kind0Pins,
    ::testing::Values(
        PinCase{0, "A27", "", "", "", {}, 0, "||"},
        PinCase{1, "L22", "B1L", "", "3", {"IO", "CLK", "ClkDiffP", "PosPinOfDiffPair"}, 7, "B1L||3"},
        PinCase{2, "L23", "B1L", "", "3", {"IO", "CLK", "ClkDiffN", "NegPinOfDiffPair"}, 7, "B1L||3"},
        PinCase{3, "D26", "", "T", "", {"HDiffN", "TransmitDiff", "NegPinOfDiffPair"}, 0, "|T|"},
        PinCase{4, "D25", "", "T", "", {"HDiffP", "TransmitDiff", "PosPinOfDiffPair"}, 0, "|T|"},
        PinCase{5, "C28", "", "R", "", {"InputOnly", "HDiffN", "ReceiveDiff", "NegPinOfDiffPair"}, 0, "|R|"},
        PinCase{6, "C27", "", "R", "", {"InputOnly", "HDiffP", "ReceiveDiff", "PosPinOfDiffPair"}, 0, "|R|"},
        PinCase{390, "L17", "8C", "97", "", {"IO", "DiffP", "PosPinOfDiffPair"}, 50, "8C|97|"},
        PinCase{391, "K17", "8C", "97", "", {"IO", "DiffN", "NegPinOfDiffPair"}, 50, "8C|97|"}));

TEST(PinStandards, ReferenceClockPinOffersTheSevenClockStandardsInIdOrder) {
  const auto driver = MakeDriver(0);
  IDispatch* const pin = InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 1);
  std::vector<std::string> names;
  for (int32_t i = 0; i < 7; ++i) names.push_back(Invoke(InvokeObject(pin, kIdPinIOStandard, i), kIdParamName).AsString());
  EXPECT_EQ(names, (std::vector<std::string>{"PCML12", "PCML14", "PCML15", "PCML25", "LVPECL", "LVDS", "HCSL"}));
  // The pin hands out the family's shared objects.
  EXPECT_EQ(InvokeObject(pin, kIdPinIOStandard, 6), InvokeObject(driver->AsDispatch(), kIdGetIOStandard, 55));
}

TEST(PinStandards, GeneralPinLacksTheClockOnlyStandards) {
  const auto driver = MakeDriver(0);
  IDispatch* const pin = InvokeObject(driver->AsDispatch(), kIdGetDevicePin, 390);
  std::set<std::string> names;
  for (int32_t i = 0; i < 50; ++i) names.insert(Invoke(InvokeObject(pin, kIdPinIOStandard, i), kIdParamName).AsString());
  EXPECT_EQ(names.size(), 50u);
  for (const char* absent : {"PCML12", "PCML14", "PCML15", "PCML25", "LVPECL", "HCSL"}) EXPECT_FALSE(names.count(absent)) << absent;
  EXPECT_TRUE(names.count("LVDS"));
}

// ---- the I/O-standard objects ----

struct StandardCase {
  int32_t Id;
  const char* DisplayName;
  const char* ParamName;
  std::vector<std::string> Slews;
  std::vector<std::string> Drives;
};

void PrintTo(const StandardCase& c, std::ostream* os) { *os << "standard " << c.Id; }

class Standards : public ::testing::TestWithParam<StandardCase> {};

TEST_P(Standards, AnswerTheirRow) {
  const StandardCase& c = GetParam();
  IDispatch* const standard = DeviceIOStandard(c.Id)->AsDispatch();
  EXPECT_EQ(Invoke(standard, kIdDisplayName).AsString(), c.DisplayName);
  EXPECT_EQ(Invoke(standard, kIdParamName).AsString(), c.ParamName);
  const auto list = [&](DISPID countId, DISPID valueId) {
    std::vector<std::string> values;
    const int32_t count = Invoke(standard, countId).AsInt();
    for (int32_t i = 0; i < count; ++i) values.push_back(Invoke(standard, valueId, i).AsString());
    // Out of range answers empty, never a failure.
    EXPECT_EQ(Invoke(standard, valueId, count).AsString(), "");
    EXPECT_EQ(Invoke(standard, valueId, -1).AsString(), "");
    return values;
  };
  EXPECT_EQ(list(kIdSlewCount, kIdSlewValue), c.Slews);
  EXPECT_EQ(list(kIdDriveCount, kIdDriveStrength), c.Drives);
}

const std::vector<std::string> kSlowFast = {"SLOW", "FAST"};

INSTANTIATE_TEST_SUITE_P(
    Catalog, Standards,
    ::testing::Values(
        StandardCase{0, "LVCMOS 1.2V", "LVCMOS12", kSlowFast, {"2mA", "4mA", "6mA", "8mA"}},
        StandardCase{2, "LVCMOS 1.8V", "LVCMOS18", kSlowFast, {"2mA", "4mA", "6mA", "8mA", "10mA", "12mA", "16mA"}},
        StandardCase{4, "LVCMOS 3.3V", "LVCMOS33", kSlowFast, {"2mA"}},
        StandardCase{9, "LVTTL 3.3V", "LVTTL33", kSlowFast, {"4mA", "8mA"}},
        StandardCase{20, "Differential 2.5-V SSTL Class I", "DSSTL25I", kSlowFast, {"8mA", "10mA", "12mA"}},
        StandardCase{21, "Differential 2.5-V SSTL Class I", "DSSTL25II", kSlowFast, {"16mA"}},
        StandardCase{23, "HSTLII_12", "HSTLII_12", kSlowFast, {"16mA"}},
        StandardCase{35, "Differential 1.3-V SSTL", "DSSTL12", {}, {}},
        StandardCase{47, "Differential 2.5-V Pseudo Current Mode Logic", "PCML25", {}, {}},
        StandardCase{50, "LVDS", "LVDS", {}, {}},
        StandardCase{51, "MiniLVDS25 External Three-Resistor Network", "MiniLVDS25_E_3R", {}, {}},
        StandardCase{55, "HCSL", "HCSL", {}, {}}));

TEST(StandardTable, DifferentialColumnAndNamesAreUnique) {
  std::set<std::string> params;
  int differential = 0;
  for (int32_t id = 0; id < kDeviceIOStandardCount; ++id) {
    params.insert(kDeviceIOStandardTable[id].ParamName);
    differential += kDeviceIOStandardTable[id].Differential;
  }
  EXPECT_EQ(params.size(), 56u);
  EXPECT_EQ(differential, 24);
  EXPECT_TRUE(kDeviceIOStandardTable[sDHSTL12I].Differential);
  EXPECT_FALSE(kDeviceIOStandardTable[sDSSTL15].Differential);
  EXPECT_TRUE(kDeviceIOStandardTable[sLVPECL].Differential);
  EXPECT_FALSE(kDeviceIOStandardTable[sHCSL].Differential);
  EXPECT_EQ(DeviceIOStandard(56), nullptr);
  EXPECT_EQ(DeviceIOStandard(-1), nullptr);
}

}  // namespace
}  // namespace tavix::test
