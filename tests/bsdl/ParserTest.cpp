// Reading BSDL files: vendor files as shipped, and broken files that must stop with a
// positioned error and never crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "bsdl/Tavix.BSDL.Builder.h"
#include "platform/Files.h"

namespace tavix {
namespace {

const std::string kSamples = TAVIX_SAMPLES_DIR;

// A complete small description; the broken cases below are edits of it.
const char* const kSmall = R"BSDL(-- a small device
entity TINY is
  generic (PHYSICAL_PIN_MAP : string := "PKG");
  port (TCK, TMS, TDI : in bit; TDO : out bit; TRST : in bit;
        D : inout bit_vector(0 to 1); CONF_DONE : in bit;
        VCC : linkage bit_vector(1 to 2); GND : linkage bit; NC : linkage bit);
  use STD_1149_1_2001.all;
  attribute COMPONENT_CONFORMANCE of TINY : entity is "STD_1149_1_2001";
  attribute PIN_MAP of TINY : entity is PHYSICAL_PIN_MAP;
  constant PKG : PIN_MAP_STRING := "TCK:1, TMS:2, TDI:3, TDO:4, TRST:5, " &
      "D:(6,7), CONF_DONE:8, VCC:(9,10), GND:11, NC:12";
  attribute TAP_SCAN_IN of TDI : signal is true;
  attribute TAP_SCAN_OUT of TDO : signal is true;
  attribute TAP_SCAN_MODE of TMS : signal is true;
  attribute TAP_SCAN_RESET of TRST : signal is true;
  attribute TAP_SCAN_CLOCK of TCK : signal is (1.0e7, BOTH);
  attribute INSTRUCTION_LENGTH of TINY : entity is 4;
  attribute INSTRUCTION_OPCODE of TINY : entity is
    "BYPASS (1111), EXTEST (0000), SAMPLE (0001), IDCODE (0010), USER1 (0100, 0101)";
  attribute INSTRUCTION_CAPTURE of TINY : entity is "0101";
  attribute IDCODE_REGISTER of TINY : entity is "0001" & "0010001100110100" & "00001101110" & "1";
  attribute REGISTER_ACCESS of TINY : entity is "BOUNDARY (EXTEST, SAMPLE), DEVICE_ID (IDCODE), CFG[12] (USER1)";
  attribute BOUNDARY_LENGTH of TINY : entity is 6;
  attribute BOUNDARY_REGISTER of TINY : entity is
    "5 (BC_1, *, CONTROL, 1), " &
    "4 (BC_1, D(0), OUTPUT3, X, 5, 1, Z), " &
    "3 (BC_1, D(0), INPUT, X), " &
    "2 (BC_1, D(1), BIDIR, X, 5, 1, Z), " &
    "1 (BC_4, CONF_DONE, OBSERVE_ONLY, X), " &
    "0 (BC_4, *, INTERNAL, X)";
  attribute VENDOR_THING of TINY : entity is (1, (2, 3));
  attribute DESIGN_WARNING of TINY : entity is "Keep it " & "cool.";
end TINY;
)BSDL";

TEST(BsdlParser, ReadsEveryPartOfASmallDescription) {
  const TBsdlParseResult result = ParseBSDLText(kSmall, "tiny.bsd");
  ASSERT_TRUE(result.Ok()) << result.Error();
  const TBsdlDescription& d = result.Reading.Description;
  EXPECT_EQ(d.EntityName, "TINY");
  EXPECT_EQ(d.ConformanceStatement, "STD_1149_1_2001");
  EXPECT_EQ(d.InstructionLength, 4);
  EXPECT_EQ(d.IdCode, 0x1u << 28 | 0x2334u << 12 | 0x6Eu << 1 | 1u);
  EXPECT_EQ(d.Instruction_BYPASS, 0xFu);
  EXPECT_EQ(d.Instruction_SAMPLE, 1u);
  EXPECT_EQ(d.Instruction_CLAMP, kInstructionNotGiven);
  ASSERT_EQ(d.OpCodes.size(), 6u);  // USER1 has two opcodes
  EXPECT_EQ(d.OpCodes[5].Pattern, "0101");
  EXPECT_EQ(d.ScanClockMaxSpeed, 1.0e7);
  EXPECT_EQ(d.ScanClockHaltMode, eScanClockHaltMode_Both);
  EXPECT_EQ(d.DesignWarning, "Keep it cool.");

  // Pins: one per package pin, supplies by name, TAP pins by attribute.
  ASSERT_EQ(d.Pins.size(), 12u);
  EXPECT_EQ(d.Pins[d.TapTck].PinNumber, "1");
  EXPECT_EQ(d.Pins[d.TapTrst].Kind, eScanPinKind_TRST);
  EXPECT_EQ(d.Pins[6].PinName, "D(1)");
  EXPECT_EQ(d.Pins[6].PinNumber, "7");
  EXPECT_EQ(d.Pins[8].PinName, "VCC");
  EXPECT_EQ(d.Pins[9].PinNumber, "10");
  EXPECT_EQ(d.Pins[9].Kind, eScanPinKind_Power);
  EXPECT_EQ(d.Pins[10].Kind, eScanPinKind_Ground);
  EXPECT_EQ(d.Pins[11].Kind, eScanPinKind_Normal);
  EXPECT_EQ(d.Pins[5].Cells, (std::vector<int32_t>{3, 4}));

  // Cells: in number order, linked to pins, control and target.
  ASSERT_EQ(d.Cells.size(), 6u);
  EXPECT_EQ(d.Cells[4].ControlCell, 5);
  EXPECT_EQ(d.Cells[5].TargetCell, 2);
  EXPECT_EQ(d.Cells[1].Function, eCellFunction_ObserveOnly);
  EXPECT_EQ(d.CellsOfPort("conf_done"), (std::vector<int32_t>{1}));

  // The entity, its automation view and the VHDL objects with their places in the file.
  const TBSDLEntity& e = *result.Entity;
  const IBSDLEntity host(const_cast<TBSDLEntity&>(e).AsDispatch());
  EXPECT_EQ(host.GetFilename(), "tiny.bsd");
  EXPECT_EQ(host.GetPinMappingCount(), 12);
  EXPECT_EQ(host.GetPin_TDO().GetPinNumber(), "4");
  EXPECT_EQ(host.GetBoundaryCell(2).GetDescription(), "2   (BC_1      ,D(1)      ,BiDir     ,X ,5   ,1 ,Z         , Pin:D(1)");
  EXPECT_EQ(host.GetBoundaryCell(5).GetTargetCell().GetCellNumber(), 2);
  EXPECT_EQ(host.GetRegisterAssociation(2).GetDescription(), "CFG       [12] (USER1(0100))");
  EXPECT_EQ(e.LineNumber, 2);
  EXPECT_EQ(e.ColumnNumber, 8);
  ASSERT_NE(e.Parser, nullptr);
  EXPECT_EQ(e.Parser->SourceName(), "tiny.bsd");
  EXPECT_EQ(e.Ports.Count(), 10);  // declarations
  const TVHDLObject* port = e.Ports.Find("conf_done");
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->LineNumber, 5);
  const auto* vendor = dynamic_cast<const TVHDLAttribute*>(e.Attributes.Find("VENDOR_THING"));
  ASSERT_NE(vendor, nullptr);
  EXPECT_EQ(vendor->Value, "(1, (2, 3))");
  EXPECT_EQ(e.Generics.Count(), 1);
  EXPECT_EQ(e.Constants.Count(), 1);
}

TEST(BsdlParser, ReadsTheVendorSamples) {
  struct TSample {
    const char* File;
    const char* Entity;
    size_t PackagePins;
  };
  for (const TSample& sample : {TSample{"STM32F469_F479_TFBGA216.bsd", "STM32F469_F479_TFBGA216", 214},
                                TSample{"STM32F469_F479_LQFP176.bsd", "STM32F469_F479_LQFP176", 176},
                                TSample{"STM32F469_F479_UFBGA169.bsd", "STM32F469_F479_UFBGA169", 169}}) {
    const TBsdlParseResult result = ParseBSDLFile(kSamples + sample.File);
    ASSERT_TRUE(result.Ok()) << result.Error();
    const TBsdlDescription& d = result.Reading.Description;
    EXPECT_EQ(d.EntityName, sample.Entity);
    EXPECT_EQ(d.BoundaryLength, 490);
    EXPECT_EQ(result.Entity->BoundaryCells.size(), 490u);
    EXPECT_EQ(d.InstructionLength, 5);
    EXPECT_EQ(d.OpCodes.size(), 5u);
    EXPECT_EQ(d.Instruction_IDCODE, 1u);
    EXPECT_EQ(d.IdCode & 0x0FFFFFFFu, 0x06434041u);  // part 0x6434, manufacturer 0x020
    EXPECT_EQ(d.ConformanceStatement, "STD_1149_1_2001");
    EXPECT_EQ(d.CompliancePattern, "(NRST) (0)");
    EXPECT_EQ(d.ScanClockMaxSpeed, 10.0e6);
    const auto mapped = std::count_if(d.Pins.begin(), d.Pins.end(), [](const TBsdlPinDesc& p) { return !p.PinNumber.empty(); });
    EXPECT_EQ(static_cast<size_t>(mapped), sample.PackagePins) << sample.File;
    EXPECT_EQ(result.Entity->PinMappings.size(), sample.PackagePins);
    EXPECT_EQ(d.Pins[d.TapTck].PinName, "JTCK");
    ASSERT_EQ(d.Registers.size(), 3u);
    EXPECT_EQ(d.Registers[1].Instructions.size(), 3u);
    // Every cell with a port reaches its pin.
    for (const TBoundaryCell* cell : result.Entity->BoundaryCells)
      EXPECT_EQ(cell->Pin() != nullptr, cell->PortId() != "*") << cell->CellNumber();
  }
  const TBsdlParseResult bga = ParseBSDLFile(kSamples + "STM32F469_F479_TFBGA216.bsd");
  ASSERT_TRUE(bga.Ok());
  const TBoundaryCell* cell488 = bga.Entity->BoundaryCells[488];
  EXPECT_EQ(cell488->PortId(), "PE2");
  EXPECT_EQ(cell488->ControlCell()->CellNumber(), 489);
  EXPECT_EQ(cell488->Pin()->PinNumber(), "A3");  // PE2 lies on ball A3 of this package
  EXPECT_EQ(bga.Entity->BoundaryCells[489]->TargetCell(), cell488);
}

// Replaces the first occurrence of `from` in the small description.
std::string Edit(const std::string& from, const std::string& to) {
  std::string text = kSmall;
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct TBrokenCase {
  const char* Name;
  std::string Text;
  const char* Expected;  // the start of "file:line:column: message"
};

TEST(BsdlParser, BrokenFilesStopWithAPositionedError) {
  std::string deep = "entity X is attribute A of X : entity is ";
  for (int i = 0; i < 100000; ++i) deep += "(";
  const std::string kCases_truncated = std::string(kSmall).substr(0, std::string(kSmall).find("attribute INSTRUCTION_OPCODE") + 40);
  const TBrokenCase cases[] = {
      {"empty file", "", "t.bsd:1:1: expected 'entity' but found the end of the file"},
      {"truncated text", kCases_truncated, "t.bsd:18:43: expected 'is' but found the end of the file"},
      {"truncated before end", std::string(kSmall).substr(0, std::string(kSmall).find("end TINY")),
       "t.bsd:33:1: unexpected end of file: 'end TINY;' is missing"},
      {"unterminated string", Edit("\"cool.\"", "\"cool."), "t.bsd:32:61: unterminated string"},
      {"huge number", Edit("is 6;", "is 99999999999999999999;"), "t.bsd:23:49: number too large: 99999999999999999999"},
      {"huge boundary length", Edit("is 6;", "is 2000000000;"), "t.bsd:23:49: BOUNDARY_LENGTH 2000000000 is larger than 262144"},
      {"deep nesting", deep, "t.bsd:1:74: value nested too deeply"},
      {"binary junk", std::string("entity X is\n\x01\x02\xff"), "t.bsd:2:1: unexpected character \\x01"},
      {"NUL byte", std::string("entity X is\0 end X;", 19), "t.bsd:1:12: unexpected character \\x00"},
      {"junk after end", std::string(kSmall) + "xyz", "t.bsd:34:1: unexpected text after the end of the entity"},
      {"unknown cell function", Edit("INTERNAL", "INTERNL"), "t.bsd:30:18: unknown cell function 'INTERNL' in BOUNDARY_REGISTER"},
      {"cell beyond length", Edit("\"5 (BC_1", "\"6 (BC_1"), "t.bsd:25:6: cell 6 lies beyond BOUNDARY_LENGTH 6"},
      {"duplicate cell", Edit("\"3 (BC_1", "\"4 (BC_1"), "t.bsd:27:6: cell 4 is described twice"},
      {"missing cell", Edit("BOUNDARY_LENGTH of TINY : entity is 6", "BOUNDARY_LENGTH of TINY : entity is 7"),
       "t.bsd:25:5: cell 6 is not described (BOUNDARY_LENGTH is 7)"},
      {"control beyond length", Edit("X, 5, 1, Z), \" &\n    \"3", "X, 9, 1, Z), \" &\n    \"3"),
       "t.bsd:26:33: control cell 9 lies beyond BOUNDARY_LENGTH 6"},
      {"undeclared cell port", Edit("CONF_DONE, OBSERVE", "CONF_DON, OBSERVE"), "t.bsd:29:15: port CONF_DON of cell 1 is not declared"},
      {"vector without index", Edit("D(1), BIDIR", "D, BIDIR"), "t.bsd:28:15: port D is a bit_vector: the cell must name an element, e.g. D(0)"},
      {"index out of range", Edit("D(1), BIDIR", "D(2), BIDIR"), "t.bsd:28:15: index 2 lies outside port D"},
      {"opcode width", Edit("EXTEST (0000)", "EXTEST (00000)"), "t.bsd:19:21: opcode 00000 of EXTEST has 5 bits but INSTRUCTION_LENGTH is 4"},
      {"bad opcode bits", Edit("EXTEST (0000)", "EXTEST (0020)"), "t.bsd:19:29: pattern '0020' may hold only 0, 1 and X in INSTRUCTION_OPCODE"},
      {"short IDCODE", Edit("\"0001\" &", "\"001\" &"), "t.bsd:21:50: pattern has 31 bits instead of 32 in IDCODE_REGISTER"},
      {"pin map port unknown", Edit("NC:12", "NX:12"), "t.bsd:11:50: port NX in the pin map is not declared"},
      {"pin map width", Edit("D:(6,7)", "D:(6)"), "t.bsd:11:8: port D has 2 bit(s) but the pin map gives 1 pin(s)"},
      {"pin map missing", Edit("constant PKG", "constant PKX"), "t.bsd:9:41: pin map PKG is not declared"},
      {"TAP port unknown", Edit("TAP_SCAN_IN of TDI", "TAP_SCAN_IN of TDX"), "t.bsd:12:13: TAP_SCAN_IN names port TDX"},
      {"attribute twice", Edit("attribute VENDOR_THING of TINY : entity is (1, (2, 3));", "attribute BOUNDARY_LENGTH of TINY : entity is 6;"),
       "t.bsd:31:13: attribute BOUNDARY_LENGTH is given twice"},
      {"bad clock", Edit("(1.0e7, BOTH)", "(1.0e7, HIGH)"), "t.bsd:16:55: TAP_SCAN_CLOCK halt state must be LOW or BOTH"},
      {"trailing comma", Edit("\"0 (BC_4, *, INTERNAL, X)\"", "\"0 (BC_4, *, INTERNAL, X),\""),
       "t.bsd:30:31: expected a cell number but found the end of the text in BOUNDARY_REGISTER"},
      {"port type", Edit("GND : linkage bit;", "GND : linkage std_logic;"), "t.bsd:6:57: expected a port type (bit or bit_vector) but found 'std_logic'"},
      {"wrong end name", Edit("end TINY;", "end HUGE;"), "t.bsd:33:5: 'end HUGE' does not close entity TINY"},
      {"port twice", Edit("NC : linkage bit", "TDO : linkage bit"), "t.bsd:6:62: port TDO is declared twice"},
      {"empty range", Edit("bit_vector(0 to 1)", "bit_vector(1 to 0)"), "t.bsd:5:32: empty range in bit_vector"},
  };
  for (const TBrokenCase& c : cases) {
    const TBsdlParseResult result = ParseBSDLText(c.Text, "t.bsd");
    EXPECT_FALSE(result.Ok()) << c.Name;
    EXPECT_EQ(result.Error().rfind(c.Expected, 0), 0u) << c.Name << "\n  got: " << result.Error();
  }
}

TEST(BsdlParser, RandomDamageNeverCrashesAndAlwaysPositionsTheError) {
  const std::string original = kSmall;
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string text = original;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % text.size();
      switch (random() % 3) {
        case 0:
          text[at] = static_cast<char>(random() % 256);
          break;
        case 1:
          text.erase(at, 1 + random() % 20);
          break;
        default:
          text.resize(at);
          break;
      }
      if (text.empty()) break;
    }
    const TBsdlParseResult result = ParseBSDLText(text, "r.bsd");
    if (!result.Ok()) {
      EXPECT_EQ(result.Error().rfind("r.bsd:", 0), 0u) << result.Error();
    }
  }
}

TEST(BsdlParser, FilesThatCannotBeReadReportTheirName) {
  const TBsdlParseResult missing = ParseBSDLFile("/nonexistent/x.bsd");
  EXPECT_FALSE(missing.Ok());
  EXPECT_EQ(missing.Error(), "/nonexistent/x.bsd: cannot read the file");
  const TBsdlParseResult folder = ParseBSDLFile("/tmp");
  EXPECT_FALSE(folder.Ok());
}

}  // namespace
}  // namespace tavix
