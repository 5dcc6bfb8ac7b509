#include "bsdl/EDP.SCH.AbstractClasses.BSDL.h"

namespace tavix {

// One case of a dispatcher: run the operation (any failure inside it is E_UNEXPECTED) and store
// its result as the contract says.
#define TAVIX_BSDL_OP(id, setter, call)                 \
  case id:                                              \
    setter(result, RunOperation([&] { return call; })); \
    return true;
// An object-valued operation: a missing object is an empty interface, never a failure.
#define TAVIX_BSDL_OBJ_OP(id, call)                                 \
  case id: {                                                        \
    const auto record = RunOperation([&] { return call; });         \
    SetResultDispatch(result, record.Dispatch());                   \
    return true;                                                    \
  }
// The same with one index argument.
#define TAVIX_BSDL_INDEXED_OBJ_OP(id, call)                                  \
  case id: {                                                                 \
    const int32_t index = args.Int(0);                                       \
    const auto record = RunOperation([&] { return call(index); });           \
    SetResultDispatch(result, record.Dispatch());                            \
    return true;                                                             \
  }

// ---- entity ---------------------------------------------------------------------------------

bool TAbstractBSDLEntity::SupportsService(const std::string& serviceName) {
  return TAbstractSupportService::SupportsService(serviceName) || SameText(serviceName, "BSDLEntity");
}

bool TAbstractBSDLEntity::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503458, SetResultString, GetName())
    TAVIX_BSDL_OP(503459, SetResultInt, GetInstructionLength())
    TAVIX_BSDL_OP(503460, SetResultUInt, GetIdCode())
    TAVIX_BSDL_OP(503461, SetResultInt, GetBoundaryLength())
    TAVIX_BSDL_INDEXED_OBJ_OP(503462, GetPin)
    TAVIX_BSDL_INDEXED_OBJ_OP(503463, GetPinMapping)
    TAVIX_BSDL_INDEXED_OBJ_OP(503464, GetBoundaryCell)
    TAVIX_BSDL_INDEXED_OBJ_OP(503465, GetInstructionOpcode)
    TAVIX_BSDL_INDEXED_OBJ_OP(503466, GetRegisterAssociation)
    TAVIX_BSDL_OP(503467, SetResultInt, GetPinCount())
    TAVIX_BSDL_OP(503468, SetResultInt, GetPinMappingCount())
    TAVIX_BSDL_OP(503469, SetResultInt, GetBoundaryCellCount())
    TAVIX_BSDL_OP(503470, SetResultInt, GetInstructionOpcodeCount())
    TAVIX_BSDL_OP(503471, SetResultInt, GetRegisterAssociationCount())
    TAVIX_BSDL_OBJ_OP(503472, GetPin_TDI())
    TAVIX_BSDL_OBJ_OP(503473, GetPin_TDO())
    TAVIX_BSDL_OBJ_OP(503474, GetPin_TMS())
    TAVIX_BSDL_OBJ_OP(503475, GetPin_TCK())
    TAVIX_BSDL_OBJ_OP(503476, GetPin_TRST())
    TAVIX_BSDL_OP(503477, SetResultUInt, GetInstruction_BYPASS())
    TAVIX_BSDL_OP(503478, SetResultUInt, GetInstruction_EXTEST())
    TAVIX_BSDL_OP(503479, SetResultUInt, GetInstruction_SAMPLE())
    TAVIX_BSDL_OP(503480, SetResultUInt, GetInstruction_IDCODE())
    TAVIX_BSDL_OP(503481, SetResultUInt, GetInstruction_USERCODE())
    TAVIX_BSDL_OP(503482, SetResultUInt, GetInstruction_CLAMP())
    TAVIX_BSDL_OP(503483, SetResultUInt, GetInstruction_HIGHZ())
    TAVIX_BSDL_OP(503484, SetResultDouble, GetScanClockMaxSpeed())
    TAVIX_BSDL_OP(503485, SetResultInt, GetScanClockHaltMode())
    TAVIX_BSDL_OP(503486, SetResultString, GetConformanceStatement())
    TAVIX_BSDL_OP(503487, SetResultString, GetCompliancePattern())
    TAVIX_BSDL_OP(503488, SetResultString, GetDesignWarning())
    TAVIX_BSDL_OP(503489, SetResultString, GetFilename())
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

// ---- common object --------------------------------------------------------------------------

bool TAbstractBSDLObject::SupportsService(const std::string& serviceName) {
  return TAbstractSupportService::SupportsService(serviceName) || SameText(serviceName, "BSDLObject");
}

bool TAbstractBSDLObject::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503427, SetResultString, GetDescription())
    TAVIX_BSDL_OP(503428, SetResultString, GetShortDescription())
    TAVIX_BSDL_OBJ_OP(503429, GetEntity())
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

// ---- scan pin -------------------------------------------------------------------------------

bool TAbstractScanPin::SupportsService(const std::string& serviceName) {
  return TAbstractBSDLObject::SupportsService(serviceName) || SameText(serviceName, "ScanPin");
}

bool TAbstractScanPin::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503490, SetResultInt, GetDirection())
    TAVIX_BSDL_OP(503491, SetResultString, GetPinName())
    TAVIX_BSDL_OP(503492, SetResultString, GetPinNumber())
    TAVIX_BSDL_OP(503493, SetResultInt, GetKind())
    TAVIX_BSDL_OBJ_OP(503494, GetPinMapping())
    TAVIX_BSDL_OP(503495, SetResultInt, GetBoundaryCellCount())
    TAVIX_BSDL_INDEXED_OBJ_OP(503496, GetBoundaryCell)
    TAVIX_BSDL_OP(503497, SetResultInt, GetCurrentValue())
    default:
      return TAbstractBSDLObject::DoInvoke(id, args, result);
  }
}

// ---- pin mapping ----------------------------------------------------------------------------

bool TAbstractPinMapping::SupportsService(const std::string& serviceName) {
  return TAbstractBSDLObject::SupportsService(serviceName) || SameText(serviceName, "PinMapping");
}

bool TAbstractPinMapping::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503498, SetResultString, GetPinName())
    TAVIX_BSDL_OP(503499, SetResultString, GetPinNumber())
    TAVIX_BSDL_OBJ_OP(503500, GetScanPin())
    default:
      return TAbstractBSDLObject::DoInvoke(id, args, result);
  }
}

// ---- boundary cell --------------------------------------------------------------------------

bool TAbstractBoundaryCell::SupportsService(const std::string& serviceName) {
  return TAbstractBSDLObject::SupportsService(serviceName) || SameText(serviceName, "BoundaryCell");
}

bool TAbstractBoundaryCell::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503501, SetResultInt, GetCellNumber())
    TAVIX_BSDL_OP(503502, SetResultInt, GetCellKind())
    TAVIX_BSDL_OP(503503, SetResultString, GetPortId())
    TAVIX_BSDL_OP(503504, SetResultInt, GetCellFunction())
    TAVIX_BSDL_OP(503505, SetResultInt, GetSafeBit())
    TAVIX_BSDL_OP(503506, SetResultInt, GetControlCellNumber())
    TAVIX_BSDL_OP(503507, SetResultInt, GetDisableValue())
    TAVIX_BSDL_OP(503508, SetResultInt, GetDisableResult())
    TAVIX_BSDL_OBJ_OP(503509, GetPin())
    TAVIX_BSDL_OBJ_OP(503510, GetControlCell())
    TAVIX_BSDL_OBJ_OP(503511, GetTargetCell())
    TAVIX_BSDL_OP(503512, SetResultInt, GetCurrentValue())
    default:
      return TAbstractBSDLObject::DoInvoke(id, args, result);
  }
}

// ---- instruction opcode ---------------------------------------------------------------------

bool TAbstractInstructionOpCode::SupportsService(const std::string& serviceName) {
  return TAbstractBSDLObject::SupportsService(serviceName) || SameText(serviceName, "InstructionOpCode");
}

bool TAbstractInstructionOpCode::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503513, SetResultString, GetInstructionName())
    TAVIX_BSDL_OP(503514, SetResultString, GetOpCodePattern())
    default:
      return TAbstractBSDLObject::DoInvoke(id, args, result);
  }
}

// ---- register association -------------------------------------------------------------------

bool TAbstractRegisterAssociation::SupportsService(const std::string& serviceName) {
  return TAbstractBSDLObject::SupportsService(serviceName) || SameText(serviceName, "RegisterAssociation");
}

bool TAbstractRegisterAssociation::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_BSDL_OP(503515, SetResultString, GetRegisterName())
    TAVIX_BSDL_OP(503516, SetResultInt, GetRegisterLength())
    TAVIX_BSDL_OP(503517, SetResultInt, GetInstructionOpcodeCount())
    TAVIX_BSDL_INDEXED_OBJ_OP(503518, GetInstructionOpcode)
    default:
      return TAbstractBSDLObject::DoInvoke(id, args, result);
  }
}

#undef TAVIX_BSDL_OP
#undef TAVIX_BSDL_OBJ_OP
#undef TAVIX_BSDL_INDEXED_OBJ_OP

}  // namespace tavix
