// The boundary-scan model as the host sees it through automation.
#include <gtest/gtest.h>

#include "../support/Invoke.h"
#include "bsdl/Tavix.Classes.BSDL.h"

namespace tavix {
namespace {

using testing::InvokeRaw;

// A small entity: two pins sharing one I/O pair of cells plus a control cell, two opcodes and a
// register association, built the way the catalog builds one.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    entity.reset(new TBSDLEntity);
    for (int n = 0; n < 3; ++n) {
      auto* cell = new TBoundaryCell(entity.get());
      cell->SetCellNumber(n);
      cell->SetCellKind(eCellKind_BC_1);
      entity->AddBoundaryCell(cell);
    }
    pin = new TScanPin(entity.get());
    pin->SetPinName("IOA3");
    pin->SetPinNumber("A3");
    pin->SetDirection(eElectricIO);
    pin->AddBoundaryCell(entity->BoundaryCells[0]);
    pin->AddBoundaryCell(entity->BoundaryCells[2]);
    entity->AddPin(pin);
    auto* extest = new TInstructionOpCode(entity.get());
    extest->SetInstructionName("EXTEST_PULSE");
    extest->SetOpCodePattern("0010001111");
    entity->AddInstructionOpCode(extest);
    auto* train = new TInstructionOpCode(entity.get());
    train->SetInstructionName("EXTEST_TRAIN");
    train->SetOpCodePattern("0001001111");
    entity->AddInstructionOpCode(train);
    auto* boundary = new TRegisterAssociation(entity.get());
    boundary->SetRegisterName("BOUNDARY");
    boundary->AddOpCode(extest);
    boundary->AddOpCode(train);
    entity->AddRegisterAssociation(boundary);
    host = IBSDLEntity(entity->AsDispatch());
  }

  TBSDLEntityPtr entity;
  TScanPin* pin = nullptr;
  IBSDLEntity host;
};

TEST_F(ModelTest, IndexedGettersAnswerEmptyOutsideTheListsAndCountWhatWasAdded) {
  EXPECT_EQ(host.GetBoundaryCellCount(), 3);
  EXPECT_EQ(host.GetPinCount(), 1);
  EXPECT_EQ(host.GetInstructionOpcodeCount(), 2);
  EXPECT_EQ(host.GetRegisterAssociationCount(), 1);
  EXPECT_EQ(host.GetPinMappingCount(), 0);
  for (int32_t index : {-1, 3}) EXPECT_TRUE(host.GetBoundaryCell(index).Empty()) << index;
  EXPECT_FALSE(host.GetBoundaryCell(2).Empty());
  EXPECT_TRUE(host.GetPin(-1).Empty());
  EXPECT_TRUE(host.GetPin(1).Empty());
  EXPECT_TRUE(host.GetPinMapping(0).Empty());
  EXPECT_TRUE(host.GetInstructionOpcode(2).Empty());
  EXPECT_TRUE(host.GetRegisterAssociation(-1).Empty());
  EXPECT_TRUE(host.GetPin_TDI().Empty());
  EXPECT_TRUE(host.GetPin_TRST().Empty());

  const IScanPin scanPin = host.GetPin(0);
  EXPECT_EQ(scanPin.GetBoundaryCellCount(), 2);
  EXPECT_EQ(scanPin.GetBoundaryCell(1).GetCellNumber(), 2);
  EXPECT_TRUE(scanPin.GetBoundaryCell(2).Empty());
  EXPECT_TRUE(scanPin.GetPinMapping().Empty());
  const IBoundaryCell cell = host.GetBoundaryCell(1);
  EXPECT_TRUE(cell.GetPin().Empty());
  EXPECT_TRUE(cell.GetControlCell().Empty());
  EXPECT_TRUE(cell.GetTargetCell().Empty());
  const IRegisterAssociation boundary = host.GetRegisterAssociation(0);
  EXPECT_EQ(boundary.GetInstructionOpcodeCount(), 2);
  EXPECT_EQ(boundary.GetInstructionOpcode(0).GetInstructionName(), "EXTEST_PULSE");
  EXPECT_TRUE(boundary.GetInstructionOpcode(2).Empty());
}

TEST_F(ModelTest, AFreshEntityHasNoInstructionsGivenAndTheContractsResultTypes) {
  TBSDLEntityPtr fresh(new TBSDLEntity);
  const IBSDLEntity e(fresh->AsDispatch());
  EXPECT_EQ(e.GetInstruction_BYPASS(), 0xFFFFFFFFu);
  EXPECT_EQ(e.GetInstruction_SAMPLE(), 0xFFFFFFFFu);
  EXPECT_EQ(e.GetInstruction_HIGHZ(), 0xFFFFFFFFu);
  EXPECT_EQ(e.GetIdCode(), 0u);
  EXPECT_EQ(e.GetInstructionLength(), 0);
  EXPECT_EQ(e.GetBoundaryLength(), 0);
  EXPECT_EQ(e.GetScanClockHaltMode(), eScanClockHaltMode_None);
  EXPECT_EQ(e.GetFilename(), "");

  fresh->ScanClockMaxSpeed = 10000000;
  fresh->IdCode = 0x029310DD;
  testing::TInvokeResult result = InvokeRaw(fresh->AsDispatch(), 503484);
  ASSERT_EQ(result.Code, S_OK);
  EXPECT_EQ(result.Value.Type(), VT_R8);
  EXPECT_EQ(result.Value.AsDouble(), 10000000.0);
  result = InvokeRaw(fresh->AsDispatch(), 503460);
  ASSERT_EQ(result.Code, S_OK);
  EXPECT_EQ(result.Value.AsLow32(), 0x029310DDu);
  result = InvokeRaw(fresh->AsDispatch(), 503477);
  ASSERT_EQ(result.Code, S_OK);
  EXPECT_EQ(result.Value.AsLow32(), 0xFFFFFFFFu);
  EXPECT_EQ(InvokeRaw(fresh->AsDispatch(), 503457).Code, E_NOTIMPL);
}

TEST(BoundaryCellDescription, FreshCellAndControlledCellReadAsSpecifiedCharacterForCharacter) {
  TBSDLEntityPtr entity(new TBSDLEntity);
  auto* fresh = new TBoundaryCell(entity.get());
  entity->AddBoundaryCell(fresh);
  EXPECT_EQ(IBoundaryCell(fresh->Dispatch()).GetDescription(), "-1  (          ,*         ,          ,X ");

  auto* pin = new TScanPin(entity.get());
  pin->SetPinName("IOAG22");
  entity->AddPin(pin);
  auto* cell = new TBoundaryCell(entity.get());
  cell->SetCellNumber(2121);
  cell->SetCellKind(eCellKind_BC_1);
  cell->SetPortId("IOAG22");
  cell->SetCellFunction(eCellFunction_Output3);
  cell->SetSafeBit(eBit_X);
  cell->SetControlCellNumber(2120);
  cell->SetDisableValue(eBit_1);
  cell->SetDisableResult(eDisableResult_HiZ);
  cell->SetPin(pin);
  entity->AddBoundaryCell(cell);
  const IBoundaryCell host(cell->Dispatch());
  EXPECT_EQ(host.GetDescription(), "2121(BC_1      ,IOAG22    ,Output3   ,X ,2120,1 ,Z         , Pin:IOAG22");
  EXPECT_EQ(host.GetShortDescription(), host.GetDescription());

  cell->SetPin(nullptr);  // without a pin the text ends after the disable result
  EXPECT_EQ(host.GetDescription(), "2121(BC_1      ,IOAG22    ,Output3   ,X ,2120,1 ,Z         ,");
}

TEST_F(ModelTest, PinOpcodeAndRegisterDescriptions) {
  const IScanPin scanPin = host.GetPin(0);
  EXPECT_EQ(scanPin.GetDescription(), " Pin Name:IOA3         Number:A3           IO:I/O");
  EXPECT_EQ(scanPin.GetShortDescription(), "IOA3(A3)-I/O");
  EXPECT_EQ(host.GetInstructionOpcode(0).GetDescription(), "EXTEST_PULSE(0010001111)");
  const IRegisterAssociation boundary = host.GetRegisterAssociation(0);
  EXPECT_EQ(boundary.GetDescription(), "BOUNDARY   (EXTEST_PULSE(0010001111),EXTEST_TRAIN(0001001111))");
  entity->RegisterAssociations[0]->SetRegisterName("IOCSR");
  entity->RegisterAssociations[0]->SetRegisterLength(320697);
  EXPECT_EQ(boundary.GetDescription(), "IOCSR     [320697] (EXTEST_PULSE(0010001111),EXTEST_TRAIN(0001001111))");
}

TEST_F(ModelTest, ValueHoldersTakeSampledValuesThroughTheirDispid) {
  const IScanPin scanPin = host.GetPin(0);
  scanPin.SetCurrentValue(1);
  EXPECT_EQ(scanPin.GetCurrentValue(), 1);
  EXPECT_EQ(pin->CurrentValue(), 1);
  const IBoundaryCell cell = host.GetBoundaryCell(2);
  cell.SetCurrentValue(1);
  EXPECT_EQ(cell.GetCurrentValue(), 1);
  // Opcodes hold no values.
  EXPECT_EQ(InvokeRaw(host.GetInstructionOpcode(0).Dispatch(), DISPID_SetCurrentValue).Code, E_NOTIMPL);
}

TEST_F(ModelTest, ServiceNamesOfTheHandedOutObjects) {
  struct TCase {
    IDispatch* Object;
    const char* Name;
    bool Expected;
  };
  const TCase cases[] = {
      {host.GetPin(0).Dispatch(), "BSDLValueHolder", true},
      {host.GetPin(0).Dispatch(), "scanpin", true},
      {host.GetPin(0).Dispatch(), "BSDLObject", true},
      {host.GetPin(0).Dispatch(), "BoundaryCell", false},
      {host.GetBoundaryCell(0).Dispatch(), "BSDLValueHolder", true},
      {host.GetBoundaryCell(0).Dispatch(), "BoundaryCell", true},
      {host.GetInstructionOpcode(0).Dispatch(), "BSDLValueHolder", false},
      {host.GetInstructionOpcode(0).Dispatch(), "InstructionOpCode", true},
      {host.GetRegisterAssociation(0).Dispatch(), "RegisterAssociation", true},
      {host.GetRegisterAssociation(0).Dispatch(), "BSDLValueHolder", false},
      {entity->AsDispatch(), "BSDLEntity", true},
      {entity->AsDispatch(), "BSDLObject", false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(DispCall(c.Object, DISPID_SupportsService, c.Name).AsBool(), c.Expected) << c.Name;
}

TEST_F(ModelTest, ObjectsHandOutTheirMostSpecificAutomationObjectAndTheirEntity) {
  // Each object has its common automation object and its own, the last one handed out.
  EXPECT_EQ(pin->ImplementatorCount(), 2);
  const IScanPin scanPin = host.GetPin(0);
  EXPECT_EQ(scanPin.Dispatch(), pin->Dispatch());
  EXPECT_EQ(scanPin.GetEntity().Dispatch(), entity->AsDispatch());
  EXPECT_EQ(host.GetBoundaryCell(0).GetEntity().Dispatch(), entity->AsDispatch());

  // The object's own IDispatch offers a call to its automation objects in turn.
  EXPECT_EQ(DispCall(pin->AsDispatch(), 503491).AsString(), "IOA3");
  EXPECT_EQ(DispCall(pin->AsDispatch(), 503428).AsString(), "IOA3(A3)-I/O");
  EXPECT_EQ(InvokeRaw(pin->AsDispatch(), 503513).Code, E_NOTIMPL);
  EXPECT_EQ(InvokeRaw(scanPin.Dispatch(), 503513).Code, E_NOTIMPL);
}

TEST(ModelOwnership, ModelObjectsAreNotCountedAndFreeThroughTheInvalidPointerCheck) {
  TBSDLEntityPtr entity(new TBSDLEntity);
  auto* pin = new TScanPin(entity.get());
  EXPECT_EQ(pin->AddRef(), 0);
  EXPECT_EQ(pin->Release(), 0);
  EXPECT_EQ(entity->AddRef(), 0);
  EXPECT_EQ(pin->RefCount(), 0);
  EXPECT_NO_THROW(pin->Free());

  // A reference the host keeps after the entity is gone answers a failure, never freed memory.
  auto* cell = new TBoundaryCell(entity.get());
  entity->AddBoundaryCell(cell);
  const IBoundaryCell kept(cell->Dispatch());
  const IBSDLEntity keptEntity(entity->Impl->AsDispatch());
  entity.reset();
  EXPECT_EQ(InvokeRaw(kept.Dispatch(), 503501).Code, E_UNEXPECTED);
  EXPECT_EQ(InvokeRaw(keptEntity.Dispatch(), 503458).Code, E_UNEXPECTED);
}

}  // namespace
}  // namespace tavix
