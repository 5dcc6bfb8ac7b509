// The compiled-in pin tables of the 16 pin sets, and the pin-list reader they come from.
#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "catalog/Device_Arria5GZ_Data.h"
#include "catalog/Device_Arria5GZ_PinList.h"

namespace tavix::test {
namespace {

bool Has(const TPinParameters& pin, TPinOption option) { return (pin.Options & PinOptionBit(option)) != 0; }

// The device-table row of a pin set (its first kind).
const TDeviceParameters& FirstKindOf(int set) {
  return *std::find_if(std::begin(kDeviceTable), std::end(kDeviceTable),
                       [&](const TDeviceParameters& row) { return row.PinSet == set; });
}

// Row names of a ball grid: A..Y, then AA..; I, O, Q, S, X and Z are not used.
std::set<std::string> GridBalls(int size) {
  const std::string letters = "ABCDEFGHJKLMNPRTUVWY";
  std::vector<std::string> rows;
  for (char c : letters) rows.push_back(std::string(1, c));
  for (char c : letters) rows.push_back(std::string("A") + c);
  std::set<std::string> balls;
  for (int r = 0; r < size; ++r)
    for (int c = 1; c <= size; ++c) balls.insert(rows[r] + std::to_string(c));
  return balls;
}

struct PackageFacts {
  int Grid;
  int RefClockPins;
  int LvpeclPins;
  std::vector<std::string> Tap;  // TDI, TDO, TMS, TCK, TRST
};

const std::map<TPackage, PackageFacts> kPackages = {
    {ePackage_H29, {28, 8, 48, {"AD22", "AB22", "Y20", "AA21", "W19"}}},
    {ePackage_F35, {34, 16, 48, {"AL29", "AK29", "AJ30", "AN31", "Y27"}}},
    {ePackage_F40, {39, 24, 47, {"AJ34", "AH34", "AT35", "AA31", "AM35"}}},
};

// Pin, I/O, pair and high-speed pair counts by die group and package.
struct SetCounts {
  int Pins, IO, Diff, HSpeedDiff, BoundaryLength;
};
SetCounts ExpectedCounts(const std::string& stem) {
  const bool large = stem.starts_with("5AGZME5") || stem.starts_with("5AGZME7");
  if (stem.ends_with("H29")) return {780, 350, 171, 24, 2131};
  if (stem.ends_with("F40")) return {1517, 698, 337, 72, 2775};
  return large ? SetCounts{1152, 550, 267, 48, 2775} : SetCounts{1152, 430, 207, 48, 2131};
}

TEST(PinTables, EveryPinSetHoldsItsFacts) {
  for (int set = 0; set < kPinSetCount; ++set) {
    const std::string stem = kPinSetStems[set];
    SCOPED_TRACE(stem);
    const TPinSetParameters& table = kPinSetParameters[set];
    const SetCounts want = ExpectedCounts(stem);
    const PackageFacts& package = kPackages.at(FirstKindOf(set).Package);
    EXPECT_EQ(table.PinCount, want.Pins);
    EXPECT_EQ(table.IOCount, want.IO);
    EXPECT_EQ(table.DiffCount, want.Diff);
    EXPECT_EQ(table.HSpeedDiffCount, want.HSpeedDiff);
    EXPECT_EQ(table.Standards, kAllDeviceIOStandards);

    const std::set<std::string> grid = GridBalls(package.Grid);
    std::set<std::string> balls;
    std::map<std::string, std::pair<int, int>> pairs;  // DiffId -> (DiffP pins, DiffN pins)
    std::map<TPinOption, int> flags;
    std::map<TPinFunctionKind, int> kinds;
    std::map<std::string, std::string> functionOf;
    int lvpecl = 0, refclk = 0;
    for (int i = 0; i < table.PinCount; ++i) {
      const TPinParameters& pin = table.Pins[i];
      const std::string ball = pin.PinNumber;
      EXPECT_TRUE(grid.count(ball)) << ball << " is not on the package grid";
      EXPECT_TRUE(balls.insert(ball).second) << ball << " listed twice";
      for (int f = 0; f < kPinOptionCount; ++f) flags[TPinOption(f)] += Has(pin, TPinOption(f));
      if (Has(pin, ePinOption_DiffP)) ++pairs[pin.DiffId].first;
      if (Has(pin, ePinOption_DiffN)) ++pairs[pin.DiffId].second;
      if (*pin.Bank == 0) {
        EXPECT_EQ(pin.Standards, 0u) << ball << " has no bank but accepts standards";
      } else if (pin.Standards == (kGeneralStandards | StandardBit(sLVPECL))) {
        ++lvpecl;
      } else if (pin.Standards == kRefClockStandards) {
        ++refclk;
      } else {
        EXPECT_EQ(pin.Standards, kGeneralStandards) << ball << " carries no known standard set";
      }
      ++kinds[ClassifyPinFunction(kPinFunctions[set][i])];
      functionOf[ball] = kPinFunctions[set][i];
    }
    EXPECT_EQ(flags[ePinOption_IO], want.IO);
    EXPECT_EQ(flags[ePinOption_DiffP], want.Diff);
    EXPECT_EQ(flags[ePinOption_DiffN], want.Diff);
    EXPECT_EQ(flags[ePinOption_HDiffP], want.HSpeedDiff);
    EXPECT_EQ(flags[ePinOption_HDiffN], want.HSpeedDiff);
    for (const auto& [id, counts] : pairs) {
      EXPECT_FALSE(id.empty()) << "a differential pin without a pair id";
      EXPECT_EQ(counts, std::make_pair(1, 1)) << "pair " << id;
    }
    EXPECT_EQ(lvpecl, package.LvpeclPins);
    EXPECT_EQ(refclk, package.RefClockPins);

    // The TAP pins, and room in the boundary register for three cells per I/O pin.
    const TPinFunctionKind tapKinds[] = {ePinFunction_TDI, ePinFunction_TDO, ePinFunction_TMS, ePinFunction_TCK,
                                         ePinFunction_TRST};
    for (int t = 0; t < 5; ++t) {
      EXPECT_EQ(ClassifyPinFunction(functionOf[package.Tap[t]]), tapKinds[t]) << package.Tap[t];
      EXPECT_EQ(kinds[tapKinds[t]], 1);
    }
    EXPECT_LE(3 * kinds[ePinFunction_IO], want.BoundaryLength);
    EXPECT_GT(kinds[ePinFunction_Ground], 0);
    EXPECT_GT(kinds[ePinFunction_Power], 0);
  }
}

TEST(PinTables, TheH29PinOutOfTheSmallDies) {
  for (TDevicePinSet set : {ePinSet_5AGZME1E2H29, ePinSet_5AGZME1E3H29, ePinSet_5AGZME3E2H29, ePinSet_5AGZME3E3H29}) {
    SCOPED_TRACE(kPinSetStems[set]);
    const TPinSetParameters& table = kPinSetParameters[set];
    std::map<TPinOption, int> flags;
    std::map<TPinFunctionKind, int> kinds;
    for (int i = 0; i < table.PinCount; ++i) {
      for (int f = 0; f < kPinOptionCount; ++f) flags[TPinOption(f)] += Has(table.Pins[i], TPinOption(f));
      ++kinds[ClassifyPinFunction(kPinFunctions[set][i])];
      if (std::string(table.Pins[i].PinNumber) == "A2") {
        EXPECT_STREQ(kPinFunctions[set][i], "VCC");
      }
      if (std::string(table.Pins[i].PinNumber) == "A3") {
        EXPECT_STREQ(kPinFunctions[set][i], "IO");
      }
    }
    const std::map<TPinOption, int> want = {
        {ePinOption_IO, 350},          {ePinOption_VREF, 11},        {ePinOption_CLK, 80},
        {ePinOption_Special, 67},      {ePinOption_InputOnly, 24},   {ePinOption_DCIP, 0},
        {ePinOption_DCIN, 0},          {ePinOption_DiffP, 171},      {ePinOption_DiffN, 171},
        {ePinOption_HDiffP, 24},       {ePinOption_HDiffN, 24},      {ePinOption_TransmitDiff, 24},
        {ePinOption_ReceiveDiff, 24},  {ePinOption_ClkDiffP, 28},    {ePinOption_ClkDiffN, 28},
        {ePinOption_DLL, 24}};
    EXPECT_EQ(flags, want);
    EXPECT_EQ(kinds[ePinFunction_Ground], 205);
    EXPECT_EQ(kinds[ePinFunction_Power], 115);
    EXPECT_EQ(kinds[ePinFunction_IO] + kinds[ePinFunction_Other], 455);
  }
}

TEST(PinTables, FunctionsAndRowsAreBoundsChecked) {
  EXPECT_STREQ(PinFunction(ePinSet_5AGZME5K2F40, 1516), kPinFunctions[ePinSet_5AGZME5K2F40][1516]);
  EXPECT_STREQ(PinFunction(ePinSet_5AGZME5K2F40, 1517), "");
  EXPECT_STREQ(PinFunction(ePinSet_5AGZME1E2H29, -1), "");
  EXPECT_STREQ(TDevicePinData(ePinSet_5AGZME1E2H29, 780).Row().PinNumber, "");
  EXPECT_STREQ(TDevicePinData(ePinSet_5AGZME1E2H29, 0).Function(), kPinFunctions[0][0]);
  EXPECT_THROW(PinSetParameters(static_cast<TDevicePinSet>(16)), std::out_of_range);
}

// The tables are what the reader makes of data/pinouts, row for row.
TEST(PinTables, MatchThePinListsInTheRepository) {
  for (int set = 0; set < kPinSetCount; ++set) {
    const std::string path = std::string(TAVIX_SOURCE_DIR) + "/data/pinouts/" + kPinSetStems[set] + ".txt";
    SCOPED_TRACE(path);
    const TPinList list = ReadPinList(path);
    const TPinSetParameters& table = kPinSetParameters[set];
    ASSERT_EQ(static_cast<int>(list.Rows.size()), table.PinCount);
    for (int i = 0; i < table.PinCount; ++i) {
      const TPinListRow& row = list.Rows[i];
      const TPinParameters& pin = table.Pins[i];
      ASSERT_EQ(row.Ball, pin.PinNumber);
      ASSERT_EQ(row.Bank, pin.Bank);
      ASSERT_EQ(row.DiffId, pin.DiffId);
      ASSERT_EQ(row.ClkDiffId, pin.ClkDiffId);
      ASSERT_EQ(row.Options, pin.Options);
      ASSERT_EQ(row.Standards, pin.Standards);
      ASSERT_EQ(row.Function, kPinFunctions[set][i]);
    }
  }
}

// ---- the reader ----

TEST(PinListReader, ReadsColumnsByNameInAnyOrder) {
  const std::string text =
      "\xEF\xBB\xBF# a vendor list\n"
      "\n"
      "function\tBALL\tNote\tFlags\tStandards\tBank\tDiffId\tClkDiffId\r\n"
      "IO\ta3\tx\tio, diffp\tGeneral + lvpecl\t3A\t7\t-\r\n"
      "REFCLK\tL22\t\tIO,CLK,ClkDiffP\trefclk\tB1L\t\t3\r\n"
      "GND\tB1\t-\t-\tnone\t-\t-\t-\n";
  const TPinList list = ParsePinList(text, "vendor.txt");
  ASSERT_EQ(list.Rows.size(), 3u);
  const TPinListRow& io = list.Rows[0];
  EXPECT_EQ(io.Ball, "a3");
  EXPECT_EQ(io.Function, "IO");
  EXPECT_EQ(io.Bank, "3A");
  EXPECT_EQ(io.DiffId, "7");
  EXPECT_EQ(io.ClkDiffId, "");
  EXPECT_EQ(io.Options, PinOptionBit(ePinOption_IO) | PinOptionBit(ePinOption_DiffP));
  EXPECT_EQ(io.Standards, kGeneralStandards | StandardBit(sLVPECL));
  EXPECT_EQ(io.Line, 4);
  EXPECT_EQ(list.Rows[1].Standards, kRefClockStandards);
  EXPECT_EQ(list.Rows[1].ClkDiffId, "3");
  EXPECT_EQ(list.Rows[2].Options, 0);
  EXPECT_EQ(list.Rows[2].Standards, 0u);
  EXPECT_EQ(list.IOCount(), 2);
  EXPECT_EQ(list.DiffCount(), 1);
}

struct BadList {
  const char* Name;
  std::string Text;
  int Line;
  const char* Message;
};

void PrintTo(const BadList& c, std::ostream* os) { *os << c.Name; }

class PinListErrors : public ::testing::TestWithParam<BadList> {};

TEST_P(PinListErrors, NameFileAndLine) {
  const BadList& c = GetParam();
  try {
    ParsePinList(c.Text, "data/pinouts/X.txt");
    FAIL() << "accepted";
  } catch (const EPinListError& e) {
    EXPECT_EQ(e.File(), "data/pinouts/X.txt");
    EXPECT_EQ(e.Line(), c.Line);
    EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.what();
    EXPECT_EQ(std::string(e.what()).rfind("data/pinouts/X.txt:" + std::to_string(c.Line) + ": ", 0), 0u) << e.what();
  }
}

const std::string kHeader = "Ball\tBank\tDiffId\tClkDiffId\tFlags\tStandards\tFunction\n";

std::string ManyUniquePins(int count) {
  const std::string letters = "ABCDEFGHJKLMNPRTUVWY";
  std::string text = kHeader;
  for (int i = 0; i < count; ++i)
    text += std::string(1, letters[i / 99]) + std::to_string(i % 99 + 1) + "\t-\t-\t-\t-\t-\tNC\n";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Reader, PinListErrors,
    ::testing::Values(
        BadList{"Empty", "", 0, "no column names"},
        BadList{"OnlyComments", "# nothing\n# here\n", 2, "no column names"},
        BadList{"NoPins", kHeader, 1, "no pins"},
        BadList{"MissingColumn", "Ball\tBank\tDiffId\tFlags\tStandards\tFunction\nA1\t-\t-\t-\t-\tGND\n", 1,
                "\"ClkDiffId\" missing"},
        BadList{"ColumnTwice", "Ball\tBank\tDiffId\tClkDiffId\tFlags\tStandards\tFunction\tBANK\n", 1, "named twice"},
        BadList{"ShortRow", kHeader + "A1\t-\t-\t-\t-\tGND\n", 2, "6 fields"},
        BadList{"UnknownFlag", kHeader + "A1\t-\t-\t-\t-\t-\tGND\nA2\t3A\t1\t-\tIO,DifP\tgeneral\tIO\n", 3,
                "unknown flag \"DifP\""},
        BadList{"UnknownStandard", kHeader + "A2\t3A\t1\t-\tIO\tgeneral+LVPECL33\tIO\n", 2, "\"LVPECL33\""},
        BadList{"RepeatedBall", kHeader + "A1\t-\t-\t-\t-\t-\tGND\n#\nA1\t-\t-\t-\t-\t-\tGND\n", 4,
                "first on line 2"},
        BadList{"NotABall", kHeader + "1A\t-\t-\t-\t-\t-\tGND\n", 2, "not a ball name"},
        BadList{"NoBall", kHeader + "-\t-\t-\t-\t-\t-\tGND\n", 2, "not a ball name"},
        BadList{"NoFunction", kHeader + "B7\t-\t-\t-\t-\t-\t-\n", 2, "no function"},
        BadList{"TooManyPins", ManyUniquePins(kMaxPinCount + 1), kMaxPinCount + 2, "more than 1517 pins"}));

TEST(PinListReader, MissingFileIsAnErrorOfTheFile) {
  try {
    ReadPinList("/nonexistent/5AGZME1E2H29.txt");
    FAIL() << "accepted";
  } catch (const EPinListError& e) {
    EXPECT_EQ(e.Line(), 0);
    EXPECT_EQ(e.File(), "/nonexistent/5AGZME1E2H29.txt");
  }
  EXPECT_NO_THROW(ParsePinList(ManyUniquePins(kMaxPinCount), "full.txt"));
}

TEST(PinListReader, ClassifiesFunctions) {
  const std::pair<const char*, TPinFunctionKind> cases[] = {
      {"IO", ePinFunction_IO},         {"GND", ePinFunction_Ground},     {"VCC", ePinFunction_Power},
      {"VCCIO3A", ePinFunction_Power}, {"vccpd8c", ePinFunction_Power},  {"TDI", ePinFunction_TDI},
      {"TDO", ePinFunction_TDO},       {"TMS", ePinFunction_TMS},        {"TCK", ePinFunction_TCK},
      {"TRST", ePinFunction_TRST},     {"GXB_TX", ePinFunction_Other},   {"REFCLK", ePinFunction_Other},
      {"VREFB3AN0", ePinFunction_Other}, {"NC", ePinFunction_Other},     {"nCONFIG", ePinFunction_Other},
      {"GNDSENSE", ePinFunction_Other}};
  for (const auto& [function, kind] : cases) EXPECT_EQ(ClassifyPinFunction(function), kind) << function;
}

}  // namespace
}  // namespace tavix::test
