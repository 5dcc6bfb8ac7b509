// The 16 built-in descriptions: what the tables fix, how an entity is built from them, and that
// every shipped BSDL file reads back into the same entity.
#include <gtest/gtest.h>

#include <map>

#include "bsdl/Tavix.BSDL.Builder.h"
#include "catalog/Device_Arria5GZ_Bsdl.h"
#include "host/Opal.Util.h"

namespace tavix {
namespace {

std::string CellPinNumber(const TBoundaryCell* cell) { return cell->Pin() ? cell->Pin()->PinNumber() : ""; }
int32_t NumberOf(const TBoundaryCell* cell) { return cell ? cell->CellNumber() : -1; }

struct TBuilt {
  TBsdlLookupLists Lists;
  TBSDLEntityPtr Entity;
  explicit TBuilt(int32_t index) : Entity(BuildEntity(index, Lists)) {}
};

TEST(BuiltInDescriptions, FindDescriptionMatchesFileNamesWithoutRegardToCase) {
  EXPECT_EQ(FindDescription("5AGZME1E2H29.bsd"), 0);
  EXPECT_EQ(FindDescription("5agzme5k2f40.BSD"), 10);
  EXPECT_EQ(FindDescription("5AGZME7K3F40.bsd"), 15);
  EXPECT_EQ(FindDescription("unknown.bsd"), 0);
  EXPECT_EQ(FindDescription(""), 0);
}

TEST(BuiltInDescriptions, TheFirstDescriptionAsTheCatalogFixesIt) {
  TBuilt built(FindDescription("5AGZME1E2H29.bsd"));
  const TBSDLEntity& e = *built.Entity;
  const IBSDLEntity host(built.Entity->AsDispatch());
  EXPECT_EQ(host.GetName(), "ARRIA_V_GZ_5AGZME1E2H29");
  EXPECT_EQ(host.GetBoundaryLength(), 2131);
  EXPECT_EQ(host.GetPinCount(), 780);
  EXPECT_EQ(host.GetBoundaryCellCount(), 2131);
  EXPECT_EQ(host.GetInstructionOpcodeCount(), 12);
  EXPECT_EQ(host.GetRegisterAssociationCount(), 3);
  EXPECT_EQ(host.GetPinMappingCount(), 0);  // mappings hang off the pins
  EXPECT_EQ(host.GetPin_TCK().GetPinNumber(), "AA21");
  EXPECT_EQ(host.GetInstructionLength(), 0);
  EXPECT_EQ(host.GetIdCode(), 0u);
  EXPECT_EQ(host.GetInstruction_SAMPLE(), 5u);
  EXPECT_EQ(host.GetInstruction_BYPASS(), 0xFFFFFFFFu);
  EXPECT_EQ(host.GetScanClockMaxSpeed(), 10000000.0);
  EXPECT_EQ(host.GetScanClockHaltMode(), eScanClockHaltMode_Both);
  EXPECT_EQ(host.GetConformanceStatement(), "STD_1149_1_2001");
  EXPECT_EQ(host.GetCompliancePattern(), "");
  EXPECT_EQ(host.GetFilename(), "5AGZME1E2H29.bsd");
  EXPECT_EQ(e.LineNumber, kNoSourcePosition);
  EXPECT_EQ(e.Parser, nullptr);

  // Pin kinds.
  std::map<TScanPinKind, int> kinds;
  for (const TScanPin* pin : e.Pins) ++kinds[pin->Kind()];
  EXPECT_EQ(kinds[eScanPinKind_Normal], 455);
  EXPECT_EQ(kinds[eScanPinKind_Ground], 205);
  EXPECT_EQ(kinds[eScanPinKind_Power], 115);
  for (TScanPinKind tap : {eScanPinKind_TRST, eScanPinKind_TCK, eScanPinKind_TDO, eScanPinKind_TDI, eScanPinKind_TMS})
    EXPECT_EQ(kinds[tap], 1) << int(tap);

  // The telling rows.
  const TScanPin* a2 = built.Lists.ScanPins.Find("A2");
  ASSERT_NE(a2, nullptr);
  EXPECT_EQ(a2->PinName(), "VCC");
  EXPECT_EQ(a2->Kind(), eScanPinKind_Power);
  EXPECT_EQ(a2->BoundaryCellCount(), 0);
  const TScanPin* a3 = built.Lists.ScanPins.Find("a3");
  ASSERT_NE(a3, nullptr);
  EXPECT_EQ(a3->PinName(), "IOA3");
  EXPECT_EQ(a3->Direction(), eElectricIO);
  EXPECT_EQ(a3->Kind(), eScanPinKind_Normal);
  ASSERT_EQ(a3->BoundaryCellCount(), 2);
  EXPECT_EQ(a3->BoundaryCell(0)->CellNumber(), 773);
  EXPECT_EQ(a3->BoundaryCell(1)->CellNumber(), 775);
  // A mapping made while its pin was being created finds no scan pin.
  ASSERT_NE(a3->PinMapping(), nullptr);
  EXPECT_EQ(a3->PinMapping()->PinNumber(), "A3");
  EXPECT_EQ(a3->PinMapping()->ScanPin(), nullptr);

  struct TRow {
    int32_t Number;
    TCellKind Kind;
    const char* Port;
    TCellFunction Function;
    TBitValue Safe, DisableValue;
    TDisableResult Result;
    const char* Pin;
    int32_t Control, Target;
  };
  const TRow rows[] = {
      {0, eCellKind_BC_4, "*", eCellFunction_Internal, eBit_X, eBit_0, eDisableResult_Undefined, nullptr, -1, -1},
      {773, eCellKind_BC_1, "IOA3", eCellFunction_Input, eBit_X, eBit_0, eDisableResult_Undefined, "A3", -1, -1},
      {774, eCellKind_BC_1, "*", eCellFunction_Control, eBit_1, eBit_0, eDisableResult_Undefined, nullptr, -1, 775},
      {775, eCellKind_BC_1, "IOA3", eCellFunction_Output3, eBit_X, eBit_1, eDisableResult_HiZ, "A3", 774, -1},
  };
  for (const TRow& row : rows) {
    const TBoundaryCell* cell = e.BoundaryCells[static_cast<size_t>(row.Number)];
    EXPECT_EQ(cell->CellNumber(), row.Number);
    EXPECT_EQ(cell->CellKind(), row.Kind) << row.Number;
    EXPECT_EQ(cell->PortId(), row.Port) << row.Number;
    EXPECT_EQ(cell->CellFunction(), row.Function) << row.Number;
    EXPECT_EQ(cell->SafeBit(), row.Safe) << row.Number;
    EXPECT_EQ(cell->DisableValue(), row.DisableValue) << row.Number;
    EXPECT_EQ(cell->DisableResult(), row.Result) << row.Number;
    EXPECT_EQ(CellPinNumber(cell), row.Pin ? row.Pin : "") << row.Number;
    EXPECT_EQ(cell->ControlCell() ? cell->ControlCell()->CellNumber() : -1, row.Control) << row.Number;
    EXPECT_EQ(cell->TargetCell() ? cell->TargetCell()->CellNumber() : -1, row.Target) << row.Number;
  }
  EXPECT_EQ(host.GetBoundaryCell(2121).GetDescription(),
            "2121(BC_1      ,IOAG22    ,Output3   ,X ,2120,1 ,Z         , Pin:IOAG22");

  const IRegisterAssociation boundary = host.GetRegisterAssociation(0);
  EXPECT_EQ(boundary.GetRegisterName(), "BOUNDARY");
  EXPECT_EQ(boundary.GetInstructionOpcodeCount(), 2);
  EXPECT_EQ(boundary.GetInstructionOpcode(0).GetInstructionName(), "EXTEST_PULSE");
  EXPECT_EQ(host.GetRegisterAssociation(2).GetDescription(), "IOCSR[320697] (CONFIG_IO(0000001101))");
}

TEST(BuiltInDescriptions, EveryDescriptionHasItsShapeTapAndStatusCell) {
  const char* const kTap[3][5] = {{"AD22", "AB22", "Y20", "AA21", "W19"},
                                  {"AL29", "AK29", "AJ30", "AN31", "Y27"},
                                  {"AJ34", "AH34", "AT35", "AA31", "AM35"}};
  const char* const kInstructions[12][2] = {
      {"BYPASS", "1111111111"},      {"EXTEST", "0000001111"},      {"SAMPLE", "0000000101"},
      {"PRELOAD", "0000000101"},     {"IDCODE", "0000000110"},      {"USERCODE", "0000000111"},
      {"CLAMP", "0000001010"},       {"HIGHZ", "0000001011"},       {"PRIVATE", "1100010000"},
      {"CONFIG_IO", "0000001101"},   {"EXTEST_PULSE", "0010001111"}, {"EXTEST_TRAIN", "0001001111"}};
  for (int32_t i = 0; i < kBsdlDescriptionCount; ++i) {
    const std::string stem = std::string(kBsdlFileNames[i]).substr(0, 12);
    SCOPED_TRACE(stem);
    TBuilt built(i);
    const TBSDLEntity& e = *built.Entity;
    const bool bigDie = stem[6] == '5' || stem[6] == '7';
    const std::string package = stem.substr(9);
    EXPECT_EQ(e.Name, "ARRIA_V_GZ_" + stem);
    EXPECT_EQ(e.BoundaryLength, bigDie ? 2775 : 2131);
    EXPECT_EQ(e.BoundaryCells.size(), static_cast<size_t>(e.BoundaryLength));
    EXPECT_EQ(e.Pins.size(), package == "H29" ? 780u : package == "F35" ? 1152u : 1517u);
    const int p = package == "H29" ? 0 : package == "F35" ? 1 : 2;
    const TScanPin* taps[] = {e.TAP_TDI, e.TAP_TDO, e.TAP_TMS, e.TAP_TCK, e.TAP_TRST};
    for (int t = 0; t < 5; ++t) {
      ASSERT_NE(taps[t], nullptr);
      EXPECT_EQ(taps[t]->PinNumber(), kTap[p][t]);
    }
    ASSERT_EQ(e.InstructionOpCodes.size(), 12u);
    for (int k = 0; k < 12; ++k) {
      EXPECT_EQ(e.InstructionOpCodes[k]->InstructionName(), kInstructions[k][0]);
      EXPECT_EQ(e.InstructionOpCodes[k]->OpCodePattern(), kInstructions[k][1]);
    }
    ASSERT_EQ(e.RegisterAssociations.size(), 3u);
    EXPECT_EQ(e.RegisterAssociations[1]->GetDescription(), "DEVICE_ID  (IDCODE(0000000110))");
    // Every cell's index is its number; the configuration status cell observes CONF_DONE.
    for (size_t n = 0; n < e.BoundaryCells.size(); ++n) ASSERT_EQ(e.BoundaryCells[n]->CellNumber(), static_cast<int32_t>(n));
    const TBoundaryCell* status = e.BoundaryCells[bigDie ? 1804 : 1348];
    EXPECT_EQ(status->PortId(), "CONF_DONE");
    EXPECT_TRUE(status->CellFunction() == eCellFunction_ObserveOnly || status->CellFunction() == eCellFunction_Input);
    ASSERT_NE(status->Pin(), nullptr);
    EXPECT_EQ(status->Pin()->PinName(), "CONF_DONE");
  }
}

TEST(BuiltInDescriptions, TwoBuildsOfOneDescriptionAreSeparateButEqual) {
  TBuilt first(0), second(0);
  ASSERT_NE(first.Entity.get(), second.Entity.get());
  ASSERT_EQ(first.Entity->BoundaryCells.size(), second.Entity->BoundaryCells.size());
  for (size_t n = 0; n < first.Entity->BoundaryCells.size(); ++n) {
    ASSERT_NE(first.Entity->BoundaryCells[n], second.Entity->BoundaryCells[n]);
    ASSERT_EQ(first.Entity->BoundaryCells[n]->GetDescription(), second.Entity->BoundaryCells[n]->GetDescription());
  }
  for (size_t n = 0; n < first.Entity->Pins.size(); ++n)
    ASSERT_EQ(first.Entity->Pins[n]->GetDescription(), second.Entity->Pins[n]->GetDescription());
}

// ---- round trip: the shipped files read back into the built-in entities -----------------------


TEST(BuiltInDescriptions, EveryShippedFileReadsBackIntoItsBuiltInEntity) {
  const std::string folder = GetModuleLibraryFolder() + "BSDL/Altera/Arria5GZ/";
  for (int32_t i = 0; i < kBsdlDescriptionCount; ++i) {
    SCOPED_TRACE(kBsdlFileNames[i]);
    const TBsdlParseResult parsed = ParseBSDLFile(folder + kBsdlFileNames[i]);
    ASSERT_TRUE(parsed.Ok()) << parsed.Error();
    TBuilt built(i);
    const TBSDLEntity& f = *parsed.Entity;
    const TBSDLEntity& t = *built.Entity;
    EXPECT_EQ(f.Name, t.Name);
    EXPECT_EQ(f.BoundaryLength, t.BoundaryLength);
    EXPECT_EQ(f.ScanClockMaxSpeed, t.ScanClockMaxSpeed);
    EXPECT_EQ(f.ScanClockHaltMode, t.ScanClockHaltMode);
    EXPECT_EQ(f.ConformanceStatement, t.ConformanceStatement);
    EXPECT_EQ(f.CompliancePattern, t.CompliancePattern);
    EXPECT_EQ(f.Filename, t.Filename);
    EXPECT_EQ(f.Instruction_SAMPLE, t.Instruction_SAMPLE);
    for (auto tap : {&TBSDLEntity::TAP_TDI, &TBSDLEntity::TAP_TDO, &TBSDLEntity::TAP_TMS, &TBSDLEntity::TAP_TCK,
                     &TBSDLEntity::TAP_TRST}) {
      ASSERT_NE(f.*tap, nullptr);
      ASSERT_NE(t.*tap, nullptr);
      EXPECT_EQ((f.*tap)->PinNumber(), (t.*tap)->PinNumber());
    }
    ASSERT_EQ(f.Pins.size(), t.Pins.size());
    for (size_t n = 0; n < f.Pins.size(); ++n) {
      const TScanPin& a = *f.Pins[n];
      const TScanPin& b = *t.Pins[n];
      ASSERT_EQ(a.PinNumber(), b.PinNumber()) << n;
      EXPECT_EQ(a.Direction(), b.Direction()) << a.PinNumber();
      EXPECT_EQ(a.PinName(), b.PinName()) << a.PinNumber();
      EXPECT_EQ(a.Kind(), b.Kind()) << a.PinNumber();
      ASSERT_NE(a.PinMapping(), nullptr);
      ASSERT_NE(b.PinMapping(), nullptr);
      EXPECT_EQ(a.PinMapping()->PinName(), b.PinMapping()->PinName());
      EXPECT_EQ(a.PinMapping()->PinNumber(), b.PinMapping()->PinNumber());
      ASSERT_EQ(a.BoundaryCellCount(), b.BoundaryCellCount()) << a.PinNumber();
      for (int32_t c = 0; c < a.BoundaryCellCount(); ++c)
        EXPECT_EQ(a.BoundaryCell(c)->CellNumber(), b.BoundaryCell(c)->CellNumber());
    }
    ASSERT_EQ(f.BoundaryCells.size(), t.BoundaryCells.size());
    for (size_t n = 0; n < f.BoundaryCells.size(); ++n) {
      const TBoundaryCell& a = *f.BoundaryCells[n];
      const TBoundaryCell& b = *t.BoundaryCells[n];
      ASSERT_EQ(a.GetDescription(), b.GetDescription()) << n;  // number, kind, port, function, bits, control
      EXPECT_EQ(a.ControlCellNumber(), b.ControlCellNumber()) << n;
      EXPECT_EQ(a.DisableValue(), b.DisableValue()) << n;
      EXPECT_EQ(CellPinNumber(&a), CellPinNumber(&b)) << n;
      EXPECT_EQ(NumberOf(a.ControlCell()), NumberOf(b.ControlCell())) << n;
      EXPECT_EQ(NumberOf(a.TargetCell()), NumberOf(b.TargetCell())) << n;
    }
    ASSERT_EQ(f.InstructionOpCodes.size(), t.InstructionOpCodes.size());
    for (size_t n = 0; n < f.InstructionOpCodes.size(); ++n)
      EXPECT_EQ(f.InstructionOpCodes[n]->GetDescription(), t.InstructionOpCodes[n]->GetDescription());
    ASSERT_EQ(f.RegisterAssociations.size(), t.RegisterAssociations.size());
    for (size_t n = 0; n < f.RegisterAssociations.size(); ++n) {
      const TRegisterAssociation& a = *f.RegisterAssociations[n];
      const TRegisterAssociation& b = *t.RegisterAssociations[n];
      // The tables keep a length the file gives in the register's name.
      const std::string name =
          a.RegisterLength() > 0 ? a.RegisterName() + "[" + std::to_string(a.RegisterLength()) + "]" : a.RegisterName();
      EXPECT_EQ(name, b.RegisterName());
      EXPECT_EQ(b.RegisterLength(), 0);
      ASSERT_EQ(a.InstructionOpCodeCount(), b.InstructionOpCodeCount());
      for (int32_t o = 0; o < a.InstructionOpCodeCount(); ++o) EXPECT_EQ(a.InstructionName(o), b.InstructionName(o));
    }
    // What the file has beyond the tables.
    EXPECT_EQ(f.InstructionLength, 10);
    EXPECT_EQ(f.IdCode & 0x0FFFFFFFu, (i < 8 ? (i < 4 ? 0x029310DDu : 0x029710DDu) : (i < 12 ? 0x029770DDu : 0x029F70DDu)));
  }
}

}  // namespace
}  // namespace tavix
