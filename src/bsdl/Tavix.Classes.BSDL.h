// The in-memory form of one device's boundary-scan description: the entity with its scan
// pins, pin mappings, boundary cells, instruction opcodes and register associations, and the
// automation objects through which the host walks it.
//
// Ownership: model objects are never reference counted (TDispatchObjectNoRef). The entity owns
// the objects in its five lists and frees them; every other link between model objects is a
// plain pointer. Each model object owns its automation objects (reference counted, handed to
// the host); when the model object goes, they are cut loose and answer E_UNEXPECTED instead of
// reaching freed memory.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bsdl/EDP.SCH.AbstractClasses.BSDL.h"
#include "bsdl/Tavix.Classes.BSDL.Types.h"
#include "plugin/Tavix.Classes.h"

namespace tavix {

// The enumerations, the port modes and the parser base are in Tavix.Classes.BSDL.Types.h.

// ---- VHDL entity base -------------------------------------------------------------------------

class TVHDLObject : public TDispatchObjectNoRef {
 public:
  int32_t LineNumber = kNoSourcePosition;
  int32_t ColumnNumber = kNoSourcePosition;
  std::shared_ptr<const TVHDLParser> Parser;  // none for objects built from tables

  void SetSourcePosition(int32_t line, int32_t column, std::shared_ptr<const TVHDLParser> parser) {
    LineNumber = line;
    ColumnNumber = column;
    Parser = std::move(parser);
  }
};

// Owns VHDL objects filed by name: kept sorted without regard to case; equal names keep the
// order in which they were added.
class TVHDLObjectList {
 public:
  TVHDLObjectList() = default;
  TVHDLObjectList(const TVHDLObjectList&) = delete;
  TVHDLObjectList& operator=(const TVHDLObjectList&) = delete;
  ~TVHDLObjectList() { Clear(); }

  // Takes ownership of `object` (also when filing it fails).
  void Add(const std::string& name, TVHDLObject* object);
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  const std::string& Name(int32_t index) const { return FItems.at(static_cast<size_t>(index)).first; }
  TVHDLObject* Object(int32_t index) const;  // null outside 0..Count-1
  TVHDLObject* Find(std::string_view name) const;  // the first filed under the name, or null
  void Clear();

 private:
  std::vector<std::pair<std::string, TVHDLObject*>> FItems;
};

class TVHDLGeneric : public TVHDLObject {
 public:
  std::string Name, TypeName, DefaultValue;
};


class TVHDLPort : public TVHDLObject {
 public:
  std::string Name;
  TVHDLPortMode Mode = ePortMode_In;
  bool IsVector = false;  // bit_vector(RangeLeft to/downto RangeRight)
  int32_t RangeLeft = 0, RangeRight = 0;
  int32_t Width() const { return IsVector ? (RangeLeft <= RangeRight ? RangeRight - RangeLeft : RangeLeft - RangeRight) + 1 : 1; }
};

class TVHDLAttribute : public TVHDLObject {
 public:
  std::string Name, ObjectName, ObjectClass, Value;  // Value: the text as written, strings joined
};

class TVHDLConstant : public TVHDLObject {
 public:
  std::string Name, TypeName, Value;
};

class TEntity : public TVHDLObject {
 public:
  std::string Name;
  // Each list owns the objects filed in it and frees them with the entity.
  TVHDLObjectList Generics, Attributes, Constants, Ports, Signals, ComponentInstances, ComponentDeclarations;
};

// ---- boundary-scan model ----------------------------------------------------------------------

class TBSDLEntity;
class TBSDLEntity_Impl;
class TBoundaryCell;
class TPinMapping;
class TScanPin;
class TInstructionOpCode;
class TRegisterAssociation;

// The link from a model object to one of its automation objects, cut when the model object goes.
class TBSDLImplLink {
 public:
  virtual void ClearEx() = 0;

 protected:
  ~TBSDLImplLink() = default;
};

// Base of the objects an entity lists.
class TBSDLObject : public TDispatchObjectNoRef {
 public:
  explicit TBSDLObject(TBSDLEntity* entity);
  ~TBSDLObject() override;

  // A call on the object's own IDispatch goes to each of its automation objects in the order
  // they were added, until one answers success.
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excepInfo, uint32_t* argErr) override;

  virtual std::string GetDescription() const { return {}; }
  virtual std::string GetShortDescription() const { return {}; }

  TBSDLEntity* Entity() const { return FEntity; }
  // What the model hands out for this object: its most specific (last added) automation object.
  IDispatch* Dispatch() const;
  int32_t ImplementatorCount() const { return FImplementatorCount; }

 protected:
  // Adds the next automation object (the common one, then the object's own).
  template <class Impl>
  void AddImplementator(Impl* impl) {
    ComPtr<TAbstractBSDLObject> held(impl);
    if (FImplementatorCount == kMaxImplementators) throw std::logic_error("too many automation objects");
    FImplementators[FImplementatorCount++] = {std::move(held), impl};
  }

 private:
  struct TImplementator {
    ComPtr<TAbstractBSDLObject> Object;
    TBSDLImplLink* Link = nullptr;
  };
  // Every object has at most two, held in place: objects are made by the thousand.
  static constexpr int32_t kMaxImplementators = 2;
  TImplementator FImplementators[kMaxImplementators];
  int32_t FImplementatorCount = 0;
  TBSDLEntity* FEntity;
};

class TScanPin : public TBSDLObject {
 public:
  explicit TScanPin(TBSDLEntity* entity);

  TPinElectrical Direction() const { return FDirection; }
  const std::string& PinName() const { return FPinName; }
  const std::string& PinNumber() const { return FPinNumber; }
  TScanPinKind Kind() const { return FKind; }
  TPinMapping* PinMapping() const { return FPinMapping; }
  int32_t CurrentValue() const { return FCurrentValue; }
  int32_t BoundaryCellCount() const { return static_cast<int32_t>(FBoundaryCells.size()); }
  TBoundaryCell* BoundaryCell(int32_t index) const;  // null outside 0..count-1

  void SetDirection(TPinElectrical value) { FDirection = value; }
  void SetPinName(const std::string& value) { FPinName = value; }
  void SetPinNumber(const std::string& value) { FPinNumber = value; }
  void SetKind(TScanPinKind value) { FKind = value; }
  void SetPinMapping(TPinMapping* value) { FPinMapping = value; }
  void SetCurrentValue(int32_t value) { FCurrentValue = value; }
  void AddBoundaryCell(TBoundaryCell* cell) { FBoundaryCells.push_back(cell); }  // not owned

  // " Pin Name:" + pad(name, 12) + " Number:" + pad(number, 12) + " IO:" + direction.
  std::string GetDescription() const override;
  // name + "(" + number + ")-" + direction.
  std::string GetShortDescription() const override;

 private:
  TPinElectrical FDirection = eElectricPassive;
  std::string FPinName, FPinNumber;
  TScanPinKind FKind = eScanPinKind_Normal;
  TPinMapping* FPinMapping = nullptr;
  int32_t FCurrentValue = 0;
  std::vector<TBoundaryCell*> FBoundaryCells;
};

class TPinMapping : public TBSDLObject {
 public:
  explicit TPinMapping(TBSDLEntity* entity);

  const std::string& PinName() const { return FPinName; }
  const std::string& PinNumber() const { return FPinNumber; }
  TScanPin* ScanPin() const { return FScanPin; }
  void SetPinName(const std::string& value) { FPinName = value; }
  void SetPinNumber(const std::string& value) { FPinNumber = value; }
  void SetScanPin(TScanPin* value) { FScanPin = value; }

 private:
  std::string FPinName, FPinNumber;
  TScanPin* FScanPin = nullptr;
};

class TBoundaryCell : public TBSDLObject {
 public:
  explicit TBoundaryCell(TBSDLEntity* entity);

  int32_t CellNumber() const { return FCellNumber; }
  TCellKind CellKind() const { return FCellKind; }
  const std::string& PortId() const { return FPortId; }
  TBitValue SafeBit() const { return FSafeBit; }
  int32_t ControlCellNumber() const { return FControlCellNumber; }
  TBitValue DisableValue() const { return FDisableValue; }
  TDisableResult DisableResult() const { return FDisableResult; }
  TScanPin* Pin() const { return FPin; }
  TBoundaryCell* ControlCell() const { return FControlCell; }
  TBoundaryCell* TargetCell() const { return FTargetCell; }
  TCellFunction CellFunction() const { return FCellFunction; }
  int32_t CurrentValue() const { return FCurrentValue; }

  void SetCellNumber(int32_t value) { FCellNumber = value; }
  void SetCellKind(TCellKind value) { FCellKind = value; }
  void SetPortId(const std::string& value) { FPortId = value; }
  void SetCellFunction(TCellFunction value) { FCellFunction = value; }
  void SetSafeBit(TBitValue value) { FSafeBit = value; }
  void SetDisableValue(TBitValue value) { FDisableValue = value; }
  void SetDisableResult(TDisableResult value) { FDisableResult = value; }
  void SetPin(TScanPin* value) { FPin = value; }
  void SetControlCellNumber(int32_t value) { FControlCellNumber = value; }
  void SetControlCell(TBoundaryCell* value) { FControlCell = value; }
  void SetTargetCell(TBoundaryCell* value) { FTargetCell = value; }
  void SetCurrentValue(int32_t value) { FCurrentValue = value; }

  // pad(number, 4) + "(" + pad(kind, 10) + "," + pad(port, 10) + "," + pad(function, 10) + ","
  // + pad(safe bit, 2), then for a controlled cell "," + pad(control, 4) + "," + pad(disable
  // value, 2) + "," + pad(disable result, 10) + "," and " Pin:" + pin name when it has a pin.
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }

 private:
  int32_t FCellNumber = -1;
  TCellKind FCellKind = eCellKind_Undefined;
  std::string FPortId = "*";
  TBitValue FSafeBit = eBit_X;
  int32_t FControlCellNumber = -1;
  TBitValue FDisableValue = eBit_0;
  TDisableResult FDisableResult = eDisableResult_Undefined;
  TScanPin* FPin = nullptr;
  TBoundaryCell* FControlCell = nullptr;
  TBoundaryCell* FTargetCell = nullptr;
  TCellFunction FCellFunction = eCellFunction_Undefined;
  int32_t FCurrentValue = 0;
};

class TInstructionOpCode : public TBSDLObject {
 public:
  explicit TInstructionOpCode(TBSDLEntity* entity);

  const std::string& InstructionName() const { return FInstructionName; }
  const std::string& OpCodePattern() const { return FOpCodePattern; }
  void SetInstructionName(const std::string& value) { FInstructionName = value; }
  void SetOpCodePattern(const std::string& value) { FOpCodePattern = value; }

  // name + "(" + pattern + ")".
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }

 private:
  std::string FInstructionName, FOpCodePattern;
};

class TRegisterAssociation : public TBSDLObject {
 public:
  explicit TRegisterAssociation(TBSDLEntity* entity);

  const std::string& RegisterName() const { return FRegisterName; }
  int32_t RegisterLength() const { return FRegisterLength; }
  void SetRegisterName(const std::string& value) { FRegisterName = value; }
  void SetRegisterLength(int32_t value) { FRegisterLength = value; }

  // Files the opcode under its instruction name (the list does not own it); null is ignored.
  void AddOpCode(TInstructionOpCode* opcode);
  int32_t InstructionOpCodeCount() const { return static_cast<int32_t>(FInstructionOpCodes.size()); }
  const std::string& InstructionName(int32_t index) const {
    return FInstructionOpCodes.at(static_cast<size_t>(index)).first;
  }
  TInstructionOpCode* InstructionOpCode(int32_t index) const;  // null outside 0..count-1

  // pad(name, 10) + "[" + length + "]" when the length is given + " (" + each opcode as
  // name + "(" + pattern + ")" joined by "," + ")".
  std::string GetDescription() const override;
  std::string GetShortDescription() const override { return GetDescription(); }

 private:
  std::string FRegisterName;
  int32_t FRegisterLength = 0;
  std::vector<std::pair<std::string, TInstructionOpCode*>> FInstructionOpCodes;
};

class TBSDLEntity : public TEntity {
 public:
  TBSDLEntity();
  ~TBSDLEntity() override;

  // The entity's own IDispatch offers every call to its automation object.
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excepInfo, uint32_t* argErr) override;

  // Append to the lists; the entity takes ownership (also when appending fails).
  void AddPin(TScanPin* pin);
  void AddPinMapping(TPinMapping* mapping);
  void AddBoundaryCell(TBoundaryCell* cell);
  void AddInstructionOpCode(TInstructionOpCode* opcode);
  void AddRegisterAssociation(TRegisterAssociation* association);

  // The first opcode of that instruction name (without regard to case), or null.
  TInstructionOpCode* FindInstruction(std::string_view name) const;

  // ---- the file store of boundary-scan descriptions ----
  // Where a description file is expected: a bare name lies in
  // <library>/BSDL/<vendor>/<family>/<name>, the library folder being the module's
  // "Library/" folder when none is given; an absolute name is kept as it is.
  static std::string DetermineFullPath(const std::string& BSDLFileName, const std::string& DeviceVendorName,
                                       const std::string& DeviceFamilyName, const std::string& LibraryFolder);
  // An existing file for `SourcePath`: the file itself, else its copy in the temporary folder,
  // else the copy unpacked there from the archive of the same name (".Zip"); empty if none.
  static std::string FindFullBSDLPath(const std::string& SourcePath);
  // Unpacks every file of the archive into the folder, without folder paths, overwriting.
  static bool UnpackBSDLArchive(const std::string& ArchivePath, const std::string& TargetFolder);

  ComPtr<TBSDLEntity_Impl> Impl;
  int32_t InstructionLength = 0;
  uint32_t IdCode = 0;
  std::vector<TPinMapping*> PinMappings;
  std::string DesignWarning;
  uint32_t Instruction_BYPASS = kInstructionNotGiven;
  uint32_t Instruction_EXTEST = kInstructionNotGiven;
  uint32_t Instruction_IDCODE = kInstructionNotGiven;
  uint32_t Instruction_USERCODE = kInstructionNotGiven;
  uint32_t Instruction_CLAMP = kInstructionNotGiven;
  uint32_t Instruction_HIGHZ = kInstructionNotGiven;
  std::vector<TScanPin*> Pins;
  std::vector<TInstructionOpCode*> InstructionOpCodes;
  std::vector<TRegisterAssociation*> RegisterAssociations;
  std::vector<TBoundaryCell*> BoundaryCells;  // in cell-number order: index = cell number
  int32_t BoundaryLength = 0;
  double ScanClockMaxSpeed = 0;
  TScanClockHaltMode ScanClockHaltMode = eScanClockHaltMode_None;
  std::string ConformanceStatement;
  std::string CompliancePattern;
  std::string Filename;
  TScanPin* TAP_TDI = nullptr;
  TScanPin* TAP_TDO = nullptr;
  TScanPin* TAP_TMS = nullptr;
  TScanPin* TAP_TCK = nullptr;
  TScanPin* TAP_TRST = nullptr;
  uint32_t Instruction_SAMPLE = kInstructionNotGiven;
};

// Frees a model object through its owner's path (the "Invalid Pointer" check included).
struct TFreeObject {
  void operator()(TReferencedObject* object) const { object->Free(); }
};
using TBSDLEntityPtr = std::unique_ptr<TBSDLEntity, TFreeObject>;

// ---- automation objects -----------------------------------------------------------------------

// The three operations every object answers, for an automation class `Base` serving `Model`.
template <class Base, class Model>
class TBSDLObjectImpl : public Base, public TBSDLImplLink {
 public:
  explicit TBSDLObjectImpl(Model* ex) : Ex(ex) {}

  std::string GetDescription() override { return Served().GetDescription(); }
  std::string GetShortDescription() override { return Served().GetShortDescription(); }
  IBSDLEntity GetEntity() override;
  void ClearEx() override { Ex = nullptr; }

  Model* Ex;  // the model object served; null once it is gone

 protected:
  Model& Served() const {
    if (!Ex) throw EOleError(E_UNEXPECTED);
    return *Ex;
  }
};

class TBSDLObject_Impl : public TBSDLObjectImpl<TAbstractBSDLObject, TBSDLObject> {
 public:
  using TBSDLObjectImpl::TBSDLObjectImpl;
};

class TScanPin_Impl : public TBSDLObjectImpl<TAbstractScanPin, TScanPin> {
 public:
  using TBSDLObjectImpl::TBSDLObjectImpl;
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;  // also "BSDLValueHolder"

  int32_t GetDirection() override { return Served().Direction(); }
  std::string GetPinName() override { return Served().PinName(); }
  std::string GetPinNumber() override { return Served().PinNumber(); }
  int32_t GetKind() override { return Served().Kind(); }
  IPinMapping GetPinMapping() override;
  int32_t GetBoundaryCellCount() override { return Served().BoundaryCellCount(); }
  IBoundaryCell GetBoundaryCell(int32_t index) override;
  int32_t GetCurrentValue() override { return Served().CurrentValue(); }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;  // 509024 first
};

class TPinMapping_Impl : public TBSDLObjectImpl<TAbstractPinMapping, TPinMapping> {
 public:
  using TBSDLObjectImpl::TBSDLObjectImpl;
  std::string GetPinName() override { return Served().PinName(); }
  std::string GetPinNumber() override { return Served().PinNumber(); }
  IScanPin GetScanPin() override;
};

class TBoundaryCell_Impl : public TBSDLObjectImpl<TAbstractBoundaryCell, TBoundaryCell> {
 public:
  using TBSDLObjectImpl::TBSDLObjectImpl;
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;  // also "BSDLValueHolder"

  int32_t GetCellNumber() override { return Served().CellNumber(); }
  int32_t GetCellKind() override { return Served().CellKind(); }
  std::string GetPortId() override { return Served().PortId(); }
  int32_t GetCellFunction() override { return Served().CellFunction(); }
  int32_t GetSafeBit() override { return Served().SafeBit(); }
  int32_t GetControlCellNumber() override { return Served().ControlCellNumber(); }
  int32_t GetDisableValue() override { return Served().DisableValue(); }
  int32_t GetDisableResult() override { return Served().DisableResult(); }
  IScanPin GetPin() override;
  IBoundaryCell GetControlCell() override;
  IBoundaryCell GetTargetCell() override;
  int32_t GetCurrentValue() override { return Served().CurrentValue(); }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;  // 509024 first
};

class TInstructionOpCode_Impl : public TBSDLObjectImpl<TAbstractInstructionOpCode, TInstructionOpCode> {
 public:
  using TBSDLObjectImpl::TBSDLObjectImpl;
  std::string GetInstructionName() override { return Served().InstructionName(); }
  std::string GetOpCodePattern() override { return Served().OpCodePattern(); }
};

class TRegisterAssociation_Impl : public TBSDLObjectImpl<TAbstractRegisterAssociation, TRegisterAssociation> {
 public:
  using TBSDLObjectImpl::TBSDLObjectImpl;
  std::string GetRegisterName() override { return Served().RegisterName(); }
  int32_t GetRegisterLength() override { return Served().RegisterLength(); }
  int32_t GetInstructionOpcodeCount() override { return Served().InstructionOpCodeCount(); }
  IInstructionOpCode GetInstructionOpcode(int32_t index) override;
};

class TBSDLEntity_Impl : public TAbstractBSDLEntity {
 public:
  explicit TBSDLEntity_Impl(TBSDLEntity* ex) : Ex(ex) {}

  std::string GetName() override { return Served().Name; }
  int32_t GetInstructionLength() override { return Served().InstructionLength; }
  uint32_t GetIdCode() override { return Served().IdCode; }
  int32_t GetBoundaryLength() override { return Served().BoundaryLength; }
  IScanPin GetPin(int32_t index) override;
  IPinMapping GetPinMapping(int32_t index) override;
  IBoundaryCell GetBoundaryCell(int32_t index) override;
  IInstructionOpCode GetInstructionOpcode(int32_t index) override;
  IRegisterAssociation GetRegisterAssociation(int32_t index) override;
  int32_t GetPinCount() override { return static_cast<int32_t>(Served().Pins.size()); }
  int32_t GetPinMappingCount() override { return static_cast<int32_t>(Served().PinMappings.size()); }
  int32_t GetBoundaryCellCount() override { return static_cast<int32_t>(Served().BoundaryCells.size()); }
  int32_t GetInstructionOpcodeCount() override { return static_cast<int32_t>(Served().InstructionOpCodes.size()); }
  int32_t GetRegisterAssociationCount() override {
    return static_cast<int32_t>(Served().RegisterAssociations.size());
  }
  IScanPin GetPin_TDI() override;
  IScanPin GetPin_TDO() override;
  IScanPin GetPin_TMS() override;
  IScanPin GetPin_TCK() override;
  IScanPin GetPin_TRST() override;
  uint32_t GetInstruction_BYPASS() override { return Served().Instruction_BYPASS; }
  uint32_t GetInstruction_EXTEST() override { return Served().Instruction_EXTEST; }
  uint32_t GetInstruction_SAMPLE() override { return Served().Instruction_SAMPLE; }
  uint32_t GetInstruction_IDCODE() override { return Served().Instruction_IDCODE; }
  uint32_t GetInstruction_USERCODE() override { return Served().Instruction_USERCODE; }
  uint32_t GetInstruction_CLAMP() override { return Served().Instruction_CLAMP; }
  uint32_t GetInstruction_HIGHZ() override { return Served().Instruction_HIGHZ; }
  double GetScanClockMaxSpeed() override { return Served().ScanClockMaxSpeed; }
  int32_t GetScanClockHaltMode() override { return Served().ScanClockHaltMode; }
  std::string GetConformanceStatement() override { return Served().ConformanceStatement; }
  std::string GetCompliancePattern() override { return Served().CompliancePattern; }
  std::string GetDesignWarning() override { return Served().DesignWarning; }
  std::string GetFilename() override { return Served().Filename; }

  void ClearEx() { Ex = nullptr; }
  TBSDLEntity* Ex;  // null once the entity is gone

 private:
  TBSDLEntity& Served() const {
    if (!Ex) throw EOleError(E_UNEXPECTED);
    return *Ex;
  }
};

template <class Base, class Model>
IBSDLEntity TBSDLObjectImpl<Base, Model>::GetEntity() {
  TBSDLEntity* entity = Served().Entity();
  return entity ? IBSDLEntity(entity->AsDispatch()) : IBSDLEntity();
}

}  // namespace tavix
