#include "bsdl/Tavix.Classes.BSDL.h"

#include <algorithm>

#include "host/Opal.Util.h"

namespace tavix {

namespace {

template <size_t N>
const char* NameOf(const char* const (&names)[N], unsigned value) {
  return value < N ? names[value] : "";
}

template <class T>
T* ItemAt(const std::vector<T*>& list, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < list.size() ? list[static_cast<size_t>(index)] : nullptr;
}

// Frees the objects of a list and empties it.
template <class T>
void FreeAll(std::vector<T*>& list) {
  for (T* object : list) object->Free();
  list.clear();
}

// Appends an object the list is to own; frees it if appending fails.
template <class T>
void AppendOwned(std::vector<T*>& list, T* object) {
  try {
    list.push_back(object);
  } catch (...) {
    object->Free();
    throw;
  }
}

}  // namespace

// ---- enumeration names ------------------------------------------------------------------------

const char* PinElectricalName(TPinElectrical value) {
  static const char* const names[] = {"Input",   "I/O",  "Output",       "Open Collector",
                                      "Passive", "HiZ",  "Open Emitter", "Power"};
  return NameOf(names, value);
}

const char* CellKindName(TCellKind value) {
  static const char* const names[] = {"",     "BC_0", "BC_1", "BC_2", "BC_3", "BC_4",
                                      "BC_5", "BC_6", "BC_7", "BC_8", "BC_9", "BC_10"};
  return NameOf(names, value);
}

const char* CellFunctionName(TCellFunction value) {
  static const char* const names[] = {"",        "Input",    "Clock",    "Output2", "Output3",
                                      "Control", "ControlR", "Internal", "BiDir",   "ObserveOnly"};
  return NameOf(names, value);
}

const char* BitValueName(TBitValue value) {
  static const char* const names[] = {"", "0", "1", "X"};
  return NameOf(names, value);
}

const char* DisableResultName(TDisableResult value) {
  static const char* const names[] = {"", "Z", "Weak0", "Weak1", "Pull0", "Pull1", "Keeper"};
  return NameOf(names, value);
}

const char* PortModeName(TVHDLPortMode mode) {
  static const char* const names[] = {"in", "out", "inout", "buffer", "linkage"};
  return NameOf(names, mode);
}

// ---- TVHDLObjectList --------------------------------------------------------------------------

void TVHDLObjectList::Add(const std::string& name, TVHDLObject* object) {
  try {
    // After every equal name, so that equal names keep the order they were added in.
    const auto at = std::upper_bound(FItems.begin(), FItems.end(), name, [](const std::string& key, const auto& item) {
      return CompareText(key, item.first) < 0;
    });
    FItems.insert(at, {name, object});
  } catch (...) {
    object->Free();
    throw;
  }
}

TVHDLObject* TVHDLObjectList::Object(int32_t index) const {
  return index >= 0 && static_cast<size_t>(index) < FItems.size() ? FItems[static_cast<size_t>(index)].second
                                                                   : nullptr;
}

TVHDLObject* TVHDLObjectList::Find(std::string_view name) const {
  const auto at = std::lower_bound(FItems.begin(), FItems.end(), name, [](const auto& item, std::string_view key) {
    return CompareText(item.first, key) < 0;
  });
  return at != FItems.end() && SameText(at->first, name) ? at->second : nullptr;
}

void TVHDLObjectList::Clear() {
  for (auto& item : FItems) item.second->Free();
  FItems.clear();
}

// ---- TBSDLObject ------------------------------------------------------------------------------

TBSDLObject::TBSDLObject(TBSDLEntity* entity) : FEntity(entity) {
  AddImplementator(new TBSDLObject_Impl(this));
}

TBSDLObject::~TBSDLObject() {
  for (int32_t i = 0; i < FImplementatorCount; ++i) FImplementators[i].Link->ClearEx();
}

HRESULT TBSDLObject::Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excepInfo, uint32_t* argErr) {
  HRESULT hr = TDispatchObjectNoRef::Invoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
  if (Succeeded(hr)) return hr;
  for (int32_t i = 0; i < FImplementatorCount; ++i) {
    hr = FImplementators[i].Object->Invoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
    if (Succeeded(hr)) return hr;
  }
  return hr;
}

IDispatch* TBSDLObject::Dispatch() const {
  return FImplementatorCount == 0 ? nullptr : FImplementators[FImplementatorCount - 1].Object->AsDispatch();
}

// The record the host receives for a model object (empty for none).
template <class Record>
Record Handed(const TBSDLObject* object) {
  return object ? Record(object->Dispatch()) : Record();
}

// ---- TScanPin ---------------------------------------------------------------------------------

TScanPin::TScanPin(TBSDLEntity* entity) : TBSDLObject(entity) { AddImplementator(new TScanPin_Impl(this)); }

TBoundaryCell* TScanPin::BoundaryCell(int32_t index) const { return ItemAt(FBoundaryCells, index); }

std::string TScanPin::GetDescription() const {
  return " Pin Name:" + PadRight(FPinName, 12) + " Number:" + PadRight(FPinNumber, 12) + " IO:" + PinElectricalName(FDirection);
}

std::string TScanPin::GetShortDescription() const {
  return FPinName + "(" + FPinNumber + ")-" + PinElectricalName(FDirection);
}

// ---- TPinMapping ------------------------------------------------------------------------------

TPinMapping::TPinMapping(TBSDLEntity* entity) : TBSDLObject(entity) { AddImplementator(new TPinMapping_Impl(this)); }

// ---- TBoundaryCell ----------------------------------------------------------------------------

TBoundaryCell::TBoundaryCell(TBSDLEntity* entity) : TBSDLObject(entity) {
  AddImplementator(new TBoundaryCell_Impl(this));
}

std::string TBoundaryCell::GetDescription() const {
  std::string text = PadRight(std::to_string(FCellNumber), 4) + "(" + PadRight(CellKindName(FCellKind), 10) + "," +
                     PadRight(FPortId, 10) + "," + PadRight(CellFunctionName(FCellFunction), 10) + "," +
                     PadRight(BitValueName(FSafeBit), 2);
  if (FControlCellNumber >= 0) {
    text += "," + PadRight(std::to_string(FControlCellNumber), 4) + "," + PadRight(BitValueName(FDisableValue), 2) + "," +
            PadRight(DisableResultName(FDisableResult), 10) + ",";
    if (FPin) text += " Pin:" + FPin->PinName();
  }
  return text;
}

// ---- TInstructionOpCode -----------------------------------------------------------------------

TInstructionOpCode::TInstructionOpCode(TBSDLEntity* entity) : TBSDLObject(entity) {
  AddImplementator(new TInstructionOpCode_Impl(this));
}

std::string TInstructionOpCode::GetDescription() const { return FInstructionName + "(" + FOpCodePattern + ")"; }

// ---- TRegisterAssociation ---------------------------------------------------------------------

TRegisterAssociation::TRegisterAssociation(TBSDLEntity* entity) : TBSDLObject(entity) {
  AddImplementator(new TRegisterAssociation_Impl(this));
}

void TRegisterAssociation::AddOpCode(TInstructionOpCode* opcode) {
  if (opcode) FInstructionOpCodes.emplace_back(opcode->InstructionName(), opcode);
}

TInstructionOpCode* TRegisterAssociation::InstructionOpCode(int32_t index) const {
  return index >= 0 && static_cast<size_t>(index) < FInstructionOpCodes.size()
             ? FInstructionOpCodes[static_cast<size_t>(index)].second
             : nullptr;
}

std::string TRegisterAssociation::GetDescription() const {
  std::string text = PadRight(FRegisterName, 10);
  if (FRegisterLength > 0) text += "[" + std::to_string(FRegisterLength) + "]";
  text += " (";
  bool first = true;
  for (const auto& [name, opcode] : FInstructionOpCodes) {
    if (!first) text += ",";
    first = false;
    text += name + "(" + opcode->OpCodePattern() + ")";
  }
  return text + ")";
}

// ---- TBSDLEntity ------------------------------------------------------------------------------

TBSDLEntity::TBSDLEntity() : Impl(new TBSDLEntity_Impl(this)) {}

TBSDLEntity::~TBSDLEntity() {
  FreeAll(Pins);
  FreeAll(PinMappings);
  FreeAll(BoundaryCells);
  FreeAll(InstructionOpCodes);
  FreeAll(RegisterAssociations);
  if (Impl) Impl->ClearEx();
}

HRESULT TBSDLEntity::Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excepInfo, uint32_t* argErr) {
  HRESULT hr = TEntity::Invoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
  if (Succeeded(hr) || !Impl) return hr;
  return Impl->Invoke(id, iid, lcid, flags, params, result, excepInfo, argErr);
}

void TBSDLEntity::AddPin(TScanPin* pin) { AppendOwned(Pins, pin); }
void TBSDLEntity::AddPinMapping(TPinMapping* mapping) { AppendOwned(PinMappings, mapping); }
void TBSDLEntity::AddBoundaryCell(TBoundaryCell* cell) { AppendOwned(BoundaryCells, cell); }
void TBSDLEntity::AddInstructionOpCode(TInstructionOpCode* opcode) { AppendOwned(InstructionOpCodes, opcode); }
void TBSDLEntity::AddRegisterAssociation(TRegisterAssociation* association) {
  AppendOwned(RegisterAssociations, association);
}

TInstructionOpCode* TBSDLEntity::FindInstruction(std::string_view name) const {
  for (TInstructionOpCode* opcode : InstructionOpCodes)
    if (SameText(opcode->InstructionName(), name)) return opcode;
  return nullptr;
}

// ---- automation objects -----------------------------------------------------------------------

bool TScanPin_Impl::SupportsService(const std::string& serviceName) {
  return TAbstractScanPin::SupportsService(serviceName) || SameText(serviceName, "BSDLValueHolder");
}

IPinMapping TScanPin_Impl::GetPinMapping() { return Handed<IPinMapping>(Served().PinMapping()); }

IBoundaryCell TScanPin_Impl::GetBoundaryCell(int32_t index) {
  return Handed<IBoundaryCell>(Served().BoundaryCell(index));
}

bool TScanPin_Impl::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id == DISPID_SetCurrentValue) {
    const int32_t value = args.Int(0);
    RunOperation([&] { Served().SetCurrentValue(value); });
    SetResultEmpty(result);
    return true;
  }
  return TAbstractScanPin::DoInvoke(id, args, result);
}

IScanPin TPinMapping_Impl::GetScanPin() { return Handed<IScanPin>(Served().ScanPin()); }

bool TBoundaryCell_Impl::SupportsService(const std::string& serviceName) {
  return TAbstractBoundaryCell::SupportsService(serviceName) || SameText(serviceName, "BSDLValueHolder");
}

IScanPin TBoundaryCell_Impl::GetPin() { return Handed<IScanPin>(Served().Pin()); }
IBoundaryCell TBoundaryCell_Impl::GetControlCell() { return Handed<IBoundaryCell>(Served().ControlCell()); }
IBoundaryCell TBoundaryCell_Impl::GetTargetCell() { return Handed<IBoundaryCell>(Served().TargetCell()); }

bool TBoundaryCell_Impl::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id == DISPID_SetCurrentValue) {
    const int32_t value = args.Int(0);
    RunOperation([&] { Served().SetCurrentValue(value); });
    SetResultEmpty(result);
    return true;
  }
  return TAbstractBoundaryCell::DoInvoke(id, args, result);
}

IInstructionOpCode TRegisterAssociation_Impl::GetInstructionOpcode(int32_t index) {
  return Handed<IInstructionOpCode>(Served().InstructionOpCode(index));
}

IScanPin TBSDLEntity_Impl::GetPin(int32_t index) { return Handed<IScanPin>(ItemAt(Served().Pins, index)); }
IPinMapping TBSDLEntity_Impl::GetPinMapping(int32_t index) {
  return Handed<IPinMapping>(ItemAt(Served().PinMappings, index));
}
IBoundaryCell TBSDLEntity_Impl::GetBoundaryCell(int32_t index) {
  return Handed<IBoundaryCell>(ItemAt(Served().BoundaryCells, index));
}
IInstructionOpCode TBSDLEntity_Impl::GetInstructionOpcode(int32_t index) {
  return Handed<IInstructionOpCode>(ItemAt(Served().InstructionOpCodes, index));
}
IRegisterAssociation TBSDLEntity_Impl::GetRegisterAssociation(int32_t index) {
  return Handed<IRegisterAssociation>(ItemAt(Served().RegisterAssociations, index));
}
IScanPin TBSDLEntity_Impl::GetPin_TDI() { return Handed<IScanPin>(Served().TAP_TDI); }
IScanPin TBSDLEntity_Impl::GetPin_TDO() { return Handed<IScanPin>(Served().TAP_TDO); }
IScanPin TBSDLEntity_Impl::GetPin_TMS() { return Handed<IScanPin>(Served().TAP_TMS); }
IScanPin TBSDLEntity_Impl::GetPin_TCK() { return Handed<IScanPin>(Served().TAP_TCK); }
IScanPin TBSDLEntity_Impl::GetPin_TRST() { return Handed<IScanPin>(Served().TAP_TRST); }

}  // namespace tavix
