#include "catalog/Device_Arria5GZ_Bsdl.h"

#include <charconv>
#include <memory>

namespace tavix {

namespace {

template <class T>
using TOwned = std::unique_ptr<T, TFreeObject>;

// The decimal text of a cell number, the key cells are filed under.
class TCellKey {
 public:
  explicit TCellKey(int32_t number) {
    const auto end = std::to_chars(FText, FText + sizeof FText, number).ptr;
    FLength = static_cast<size_t>(end - FText);
  }
  operator std::string_view() const { return {FText, FLength}; }

 private:
  char FText[12];
  size_t FLength;
};

}  // namespace

TBsdlLookupLists::~TBsdlLookupLists() {
  PinMappings.ForEach([](TPinMapping* mapping) { mapping->Free(); });
}

int32_t FindDescription(std::string_view name) {
  int32_t found = 0;
  for (int32_t i = 0; i < kBsdlDescriptionCount; ++i)
    if (SameText(kBsdlFileNames[i], name)) found = i;
  return found;
}

TBSDLEntityPtr BuildEntity(int32_t index, TBsdlLookupLists& lists) {
  const TBsdlEntityData& r = kBsdlEntityData[index >= 0 && index < kBsdlDescriptionCount ? index : 0];
  TBSDLEntityPtr entity(new TBSDLEntity);
  TBSDLEntity* owner = entity.get();

  // 1. The entity's own values.
  entity->Name = r.Name;
  entity->BoundaryLength = r.BoundaryLength;
  entity->ScanClockMaxSpeed = r.ScanClockMaxSpeed;
  entity->ScanClockHaltMode = r.ScanClockHaltMode;
  entity->ConformanceStatement = r.ConformanceStatement;
  entity->CompliancePattern = r.CompliancePattern;
  entity->Filename = r.Filename;
  entity->Instruction_SAMPLE = r.Instruction_SAMPLE;

  lists.BoundaryCells.Reserve(static_cast<size_t>(r.CellCount));
  lists.ScanPins.Reserve(static_cast<size_t>(r.PinCount));
  lists.PinMappings.Reserve(static_cast<size_t>(r.PinCount));

  // 2. Cells, in table order. An object found under its key is the one already in the entity,
  // so only new objects are appended (an object listed twice would be freed twice).
  entity->BoundaryCells.reserve(static_cast<size_t>(r.CellCount));
  for (int32_t i = 0; i < r.CellCount; ++i) {
    const TBsdlCellData& row = r.Cells[i];
    const TCellKey key(row.CellNumber);
    if (lists.BoundaryCells.Find(key)) continue;
    TOwned<TBoundaryCell> cell(new TBoundaryCell(owner));
    cell->SetCellNumber(row.CellNumber);
    cell->SetCellKind(static_cast<TCellKind>(row.CellKind));
    cell->SetPortId(row.PortId);
    cell->SetCellFunction(row.CellFunction);
    cell->SetSafeBit(row.SafeBit);
    cell->SetControlCellNumber(row.ControlCell);
    cell->SetDisableValue(row.DisableValue);
    cell->SetDisableResult(row.DisableResult);
    TBoundaryCell* added = cell.get();
    entity->AddBoundaryCell(cell.release());
    lists.BoundaryCells.Add(key, added);
  }

  // 3. Scan pins with their mappings and cells. A new pin is filed only at the end of its
  // step, so a mapping made for it finds no scan pin under its number.
  entity->Pins.reserve(static_cast<size_t>(r.PinCount));
  for (int32_t i = 0; i < r.PinCount; ++i) {
    const TBsdlPinData& row = r.Pins[i];
    if (lists.ScanPins.Find(row.PinNumber)) continue;
    TOwned<TScanPin> pin(new TScanPin(owner));
    pin->SetDirection(row.Direction);
    pin->SetPinName(row.PinName);
    pin->SetPinNumber(row.PinNumber);
    pin->SetKind(row.Kind);
    TPinMapping* mapping = lists.PinMappings.Find(row.MappingPinNumber);
    if (!mapping) {
      TOwned<TPinMapping> created(new TPinMapping(owner));
      created->SetPinName(row.MappingPinName);
      created->SetPinNumber(row.MappingPinNumber);
      created->SetScanPin(lists.ScanPins.Find(row.MappingPinNumber));
      mapping = created.get();
      lists.PinMappings.Add(row.MappingPinNumber, created.release());
    }
    pin->SetPinMapping(mapping);
    for (int32_t c = 0; c < row.CellCount && c < 2; ++c)
      if (TBoundaryCell* cell = lists.BoundaryCells.Find(TCellKey(row.Cells[c]))) pin->AddBoundaryCell(cell);
    TScanPin* added = pin.get();
    entity->AddPin(pin.release());
    lists.ScanPins.Add(row.PinNumber, added);
  }

  // 4. The TAP pins.
  entity->TAP_TDI = lists.ScanPins.Find(r.TapPinNumbers[0]);
  entity->TAP_TDO = lists.ScanPins.Find(r.TapPinNumbers[1]);
  entity->TAP_TMS = lists.ScanPins.Find(r.TapPinNumbers[2]);
  entity->TAP_TCK = lists.ScanPins.Find(r.TapPinNumbers[3]);
  entity->TAP_TRST = lists.ScanPins.Find(r.TapPinNumbers[4]);

  // 5. The cells' links to their pins, control cells and target cells.
  for (int32_t i = 0; i < r.CellCount; ++i) {
    const TBsdlCellData& row = r.Cells[i];
    TBoundaryCell* cell = lists.BoundaryCells.Find(TCellKey(row.CellNumber));
    if (!cell) continue;
    cell->SetPin(row.PinNumber[0] ? lists.ScanPins.Find(row.PinNumber) : nullptr);
    if (row.ControlCell != -1) cell->SetControlCell(lists.BoundaryCells.Find(TCellKey(row.ControlCell)));
    if (row.TargetCell != -1) cell->SetTargetCell(lists.BoundaryCells.Find(TCellKey(row.TargetCell)));
  }

  // 6. Instructions.
  for (int32_t i = 0; i < r.OpCodeCount; ++i) {
    const TBsdlOpCodeData& row = r.OpCodes[i];
    if (lists.OpCodes.Find(row.InstructionName)) continue;
    TOwned<TInstructionOpCode> opcode(new TInstructionOpCode(owner));
    opcode->SetInstructionName(row.InstructionName);
    opcode->SetOpCodePattern(row.OpCodePattern);
    TInstructionOpCode* added = opcode.get();
    entity->AddInstructionOpCode(opcode.release());
    lists.OpCodes.Add(row.InstructionName, added);
  }

  // 7. Register associations.
  for (int32_t i = 0; i < r.RegisterCount; ++i) {
    const TBsdlRegisterData& row = r.Registers[i];
    if (lists.RegisterAssociations.Find(row.RegisterName)) continue;
    TOwned<TRegisterAssociation> association(new TRegisterAssociation(owner));
    association->SetRegisterName(row.RegisterName);
    association->SetRegisterLength(row.RegisterLength);
    for (int32_t o = 0; o < row.OpCodeCount && o < 2; ++o)
      association->AddOpCode(lists.OpCodes.Find(row.OpCodes[o].InstructionName));
    TRegisterAssociation* added = association.get();
    entity->AddRegisterAssociation(association.release());
    lists.RegisterAssociations.Add(row.RegisterName, added);
  }
  return entity;
}

}  // namespace tavix
