#include "bsdl/Tavix.BSDL.Builder.h"

namespace tavix {

namespace {

// Creates a model object whose owner is named later; freed if filing it fails first.
template <class T>
std::unique_ptr<T, TFreeObject> Make(TBSDLEntity* entity) {
  return std::unique_ptr<T, TFreeObject>(new T(entity));
}

void AddVHDLObjects(TBSDLEntity& entity, const TBsdlParsedFile& file, const std::shared_ptr<const TVHDLParser>& parser) {
  entity.SetSourcePosition(file.EntityWhere.Line, file.EntityWhere.Column, parser);
  for (const TBsdlGenericDecl& decl : file.Generics) {
    auto* generic = new TVHDLGeneric;
    generic->Name = decl.Name;
    generic->TypeName = decl.TypeName;
    generic->DefaultValue = decl.DefaultValue;
    generic->SetSourcePosition(decl.Where.Line, decl.Where.Column, parser);
    entity.Generics.Add(decl.Name, generic);
  }
  for (const TBsdlPortDecl& decl : file.Ports) {
    auto* port = new TVHDLPort;
    port->Name = decl.Name;
    port->Mode = decl.Mode;
    port->IsVector = decl.IsVector;
    port->RangeLeft = decl.RangeLeft;
    port->RangeRight = decl.RangeRight;
    port->SetSourcePosition(decl.Where.Line, decl.Where.Column, parser);
    entity.Ports.Add(decl.Name, port);
  }
  for (const TBsdlConstantDecl& decl : file.Constants) {
    auto* constant = new TVHDLConstant;
    constant->Name = decl.Name;
    constant->TypeName = decl.TypeName;
    constant->Value = decl.Value;
    constant->SetSourcePosition(decl.Where.Line, decl.Where.Column, parser);
    entity.Constants.Add(decl.Name, constant);
  }
  for (const TBsdlAttributeSpec& statement : file.Attributes) {
    auto* attribute = new TVHDLAttribute;
    attribute->Name = statement.Name;
    attribute->ObjectName = statement.ObjectName;
    attribute->ObjectClass = statement.ObjectClass;
    attribute->Value = statement.Value;
    attribute->SetSourcePosition(statement.Where.Line, statement.Where.Column, parser);
    entity.Attributes.Add(statement.Name, attribute);
  }
}

}  // namespace

TBSDLEntityPtr BuildBSDLEntity(const TBsdlDescription& description, const TBsdlParsedFile* file,
                               std::shared_ptr<const TVHDLParser> parser) {
  TBSDLEntityPtr entity(new TBSDLEntity);
  TBSDLEntity* owner = entity.get();
  entity->Name = description.EntityName;
  entity->InstructionLength = description.InstructionLength;
  entity->IdCode = description.IdCode;
  entity->DesignWarning = description.DesignWarning;
  entity->Instruction_BYPASS = description.Instruction_BYPASS;
  entity->Instruction_EXTEST = description.Instruction_EXTEST;
  entity->Instruction_SAMPLE = description.Instruction_SAMPLE;
  entity->Instruction_IDCODE = description.Instruction_IDCODE;
  entity->Instruction_USERCODE = description.Instruction_USERCODE;
  entity->Instruction_CLAMP = description.Instruction_CLAMP;
  entity->Instruction_HIGHZ = description.Instruction_HIGHZ;
  entity->BoundaryLength = description.BoundaryLength;
  entity->ScanClockMaxSpeed = description.ScanClockMaxSpeed;
  entity->ScanClockHaltMode = description.ScanClockHaltMode;
  entity->ConformanceStatement = description.ConformanceStatement;
  entity->CompliancePattern = description.CompliancePattern;
  entity->Filename = description.FileName;

  entity->BoundaryCells.reserve(description.Cells.size());
  for (const TBsdlCellDesc& desc : description.Cells) {
    auto cell = Make<TBoundaryCell>(owner);
    cell->SetCellNumber(desc.Number);
    cell->SetCellKind(desc.Kind);
    cell->SetPortId(desc.PortId);
    cell->SetCellFunction(desc.Function);
    cell->SetSafeBit(desc.SafeBit);
    cell->SetControlCellNumber(desc.ControlCell);
    cell->SetDisableValue(desc.DisableValue);
    cell->SetDisableResult(desc.DisableResult);
    entity->AddBoundaryCell(cell.release());
  }

  entity->Pins.reserve(description.Pins.size());
  for (const TBsdlPinDesc& desc : description.Pins) {
    auto pin = Make<TScanPin>(owner);
    pin->SetDirection(desc.Direction);
    pin->SetPinName(desc.PinName);
    pin->SetPinNumber(desc.PinNumber);
    pin->SetKind(desc.Kind);
    for (int32_t number : desc.Cells) pin->AddBoundaryCell(entity->BoundaryCells[static_cast<size_t>(number)]);
    TScanPin* added = pin.get();
    entity->AddPin(pin.release());
    if (!desc.PinNumber.empty()) {
      auto mapping = Make<TPinMapping>(owner);
      mapping->SetPinName(desc.PinName);
      mapping->SetPinNumber(desc.PinNumber);
      mapping->SetScanPin(added);
      added->SetPinMapping(mapping.get());
      entity->AddPinMapping(mapping.release());
    }
  }

  for (const TBsdlCellDesc& desc : description.Cells) {
    TBoundaryCell* cell = entity->BoundaryCells[static_cast<size_t>(desc.Number)];
    if (desc.Pin >= 0) cell->SetPin(entity->Pins[static_cast<size_t>(desc.Pin)]);
    if (desc.ControlCell >= 0) cell->SetControlCell(entity->BoundaryCells[static_cast<size_t>(desc.ControlCell)]);
    if (desc.TargetCell >= 0) cell->SetTargetCell(entity->BoundaryCells[static_cast<size_t>(desc.TargetCell)]);
  }

  auto tap = [&](int32_t index) { return index >= 0 ? entity->Pins[static_cast<size_t>(index)] : nullptr; };
  entity->TAP_TDI = tap(description.TapTdi);
  entity->TAP_TDO = tap(description.TapTdo);
  entity->TAP_TMS = tap(description.TapTms);
  entity->TAP_TCK = tap(description.TapTck);
  entity->TAP_TRST = tap(description.TapTrst);

  for (const TBsdlOpCodeDesc& desc : description.OpCodes) {
    auto opcode = Make<TInstructionOpCode>(owner);
    opcode->SetInstructionName(desc.Name);
    opcode->SetOpCodePattern(desc.Pattern);
    entity->AddInstructionOpCode(opcode.release());
  }
  for (const TBsdlRegisterDesc& desc : description.Registers) {
    auto association = Make<TRegisterAssociation>(owner);
    association->SetRegisterName(desc.Name);
    association->SetRegisterLength(desc.Length);
    for (const std::string& name : desc.Instructions) association->AddOpCode(entity->FindInstruction(name));
    entity->AddRegisterAssociation(association.release());
  }

  if (file) AddVHDLObjects(*entity, *file, parser);
  return entity;
}

TBsdlParseResult ParseBSDLText(std::string_view text, const std::string& fileName) {
  TBsdlParseResult result;
  if (ReadBSDLText(text, fileName, result.Reading))
    result.Entity = BuildBSDLEntity(result.Reading.Description, &result.Reading.File, result.Reading.Parser);
  return result;
}

TBsdlParseResult ParseBSDLFile(const std::string& path) {
  TBsdlParseResult result;
  if (ReadBSDLFile(path, result.Reading))
    result.Entity = BuildBSDLEntity(result.Reading.Description, &result.Reading.File, result.Reading.Parser);
  return result;
}

}  // namespace tavix
