// Automation contracts of a boundary-scan description as the host walks it by DISPID: the
// entity, and the objects it lists (scan pins, pin mappings, boundary cells, instruction
// opcodes, register associations). Each abstract class only translates DISPIDs into calls of
// its abstract operations and passes every DISPID it does not know to its base.
#pragma once

#include <string>

#include "plugin/Opal.Types.h"
#include "plugin/Tavix.Interfaces.h"

namespace tavix {

// DISPID by which the host writes a sampled value into a scan pin or a boundary cell.
constexpr DISPID DISPID_SetCurrentValue = 509024;

// Entity contract, DISPIDs 503458..503489; service name "BSDLEntity".
class TAbstractBSDLEntity : public TAbstractSupportService {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetName() = 0;
  virtual int32_t GetInstructionLength() = 0;
  virtual uint32_t GetIdCode() = 0;
  virtual int32_t GetBoundaryLength() = 0;
  virtual IScanPin GetPin(int32_t index) = 0;
  virtual IPinMapping GetPinMapping(int32_t index) = 0;
  virtual IBoundaryCell GetBoundaryCell(int32_t index) = 0;
  virtual IInstructionOpCode GetInstructionOpcode(int32_t index) = 0;
  virtual IRegisterAssociation GetRegisterAssociation(int32_t index) = 0;
  virtual int32_t GetPinCount() = 0;
  virtual int32_t GetPinMappingCount() = 0;
  virtual int32_t GetBoundaryCellCount() = 0;
  virtual int32_t GetInstructionOpcodeCount() = 0;
  virtual int32_t GetRegisterAssociationCount() = 0;
  virtual IScanPin GetPin_TDI() = 0;
  virtual IScanPin GetPin_TDO() = 0;
  virtual IScanPin GetPin_TMS() = 0;
  virtual IScanPin GetPin_TCK() = 0;
  virtual IScanPin GetPin_TRST() = 0;
  virtual uint32_t GetInstruction_BYPASS() = 0;
  virtual uint32_t GetInstruction_EXTEST() = 0;
  virtual uint32_t GetInstruction_SAMPLE() = 0;
  virtual uint32_t GetInstruction_IDCODE() = 0;
  virtual uint32_t GetInstruction_USERCODE() = 0;
  virtual uint32_t GetInstruction_CLAMP() = 0;
  virtual uint32_t GetInstruction_HIGHZ() = 0;
  virtual double GetScanClockMaxSpeed() = 0;
  virtual int32_t GetScanClockHaltMode() = 0;
  virtual std::string GetConformanceStatement() = 0;
  virtual std::string GetCompliancePattern() = 0;
  virtual std::string GetDesignWarning() = 0;
  virtual std::string GetFilename() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Common to every object an entity lists, DISPIDs 503427..503429; service name "BSDLObject".
class TAbstractBSDLObject : public TAbstractSupportService {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetDescription() = 0;
  virtual std::string GetShortDescription() = 0;
  virtual IBSDLEntity GetEntity() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Scan pin, DISPIDs 503490..503497; service name "ScanPin".
class TAbstractScanPin : public TAbstractBSDLObject {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual int32_t GetDirection() = 0;
  virtual std::string GetPinName() = 0;
  virtual std::string GetPinNumber() = 0;
  virtual int32_t GetKind() = 0;
  virtual IPinMapping GetPinMapping() = 0;
  virtual int32_t GetBoundaryCellCount() = 0;
  virtual IBoundaryCell GetBoundaryCell(int32_t index) = 0;
  virtual int32_t GetCurrentValue() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Pin mapping, DISPIDs 503498..503500; service name "PinMapping".
class TAbstractPinMapping : public TAbstractBSDLObject {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetPinName() = 0;
  virtual std::string GetPinNumber() = 0;
  virtual IScanPin GetScanPin() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Boundary cell, DISPIDs 503501..503512; service name "BoundaryCell".
class TAbstractBoundaryCell : public TAbstractBSDLObject {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual int32_t GetCellNumber() = 0;
  virtual int32_t GetCellKind() = 0;
  virtual std::string GetPortId() = 0;
  virtual int32_t GetCellFunction() = 0;
  virtual int32_t GetSafeBit() = 0;
  virtual int32_t GetControlCellNumber() = 0;
  virtual int32_t GetDisableValue() = 0;
  virtual int32_t GetDisableResult() = 0;
  virtual IScanPin GetPin() = 0;
  virtual IBoundaryCell GetControlCell() = 0;
  virtual IBoundaryCell GetTargetCell() = 0;
  virtual int32_t GetCurrentValue() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Instruction opcode, DISPIDs 503513..503514; service name "InstructionOpCode".
class TAbstractInstructionOpCode : public TAbstractBSDLObject {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetInstructionName() = 0;
  virtual std::string GetOpCodePattern() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Register association, DISPIDs 503515..503518; service name "RegisterAssociation".
class TAbstractRegisterAssociation : public TAbstractBSDLObject {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetRegisterName() = 0;
  virtual int32_t GetRegisterLength() = 0;
  virtual int32_t GetInstructionOpcodeCount() = 0;
  virtual IInstructionOpCode GetInstructionOpcode(int32_t index) = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

}  // namespace tavix
