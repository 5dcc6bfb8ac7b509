// Object roots of the module and the generic device driver.
//  - TReferencedObject / TDispatchObject / TDispatchObjectNoRef: plain objects with their own
//    reference count; the boundary-scan model is built on the last one.
//  - TTavixDriver: a default for every operation of the driver contract, the link to the
//    host's chain device and JTAG channel, soft-processor debug-register access, the device
//    picture, constraint-file search and the cached flows.
#pragma once

#include <atomic>
#include <stdexcept>
#include <string>

#include "jtag/Tavix.JTagInterfaces.h"
#include "plugin/EDP.SCH.AbstractClasses.h"

namespace tavix {

// Raised when an object is destroyed while references to it remain.
class EInvalidPointer : public std::runtime_error {
 public:
  EInvalidPointer() : std::runtime_error("Invalid Pointer") {}
};

// Implements IUnknown with its own count. A new object's count is 0 once constructed; the
// last release destroys it. `Free` destroys it explicitly and refuses while references remain.
class TReferencedObject : public IUnknown {
 public:
  TReferencedObject() = default;
  TReferencedObject(const TReferencedObject&) = delete;
  TReferencedObject& operator=(const TReferencedObject&) = delete;
  virtual ~TReferencedObject() = default;

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override;
  int32_t TAVIX_STDCALL AddRef() override;
  int32_t TAVIX_STDCALL Release() override;

  // Destroys the object; raises EInvalidPointer ("Invalid Pointer") while its count is not 0.
  void Free();
  int32_t RefCount() const { return FRefCount.load(); }

 protected:
  // Tests the count before destruction (the "Invalid Pointer" check).
  virtual void BeforeDestruction();
  // Answers the interfaces the class declares; subclasses extend it.
  virtual void* FindInterface(const GUID& iid);

  std::atomic<int32_t> FRefCount{0};
};

// Adds IDispatch: every operation answers E_NOTIMPL until a subclass overrides Invoke.
class TDispatchObject : public TReferencedObject, public IDispatch {
 public:
  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override {
    return TReferencedObject::QueryInterface(iid, object);
  }
  int32_t TAVIX_STDCALL AddRef() override { return TReferencedObject::AddRef(); }
  int32_t TAVIX_STDCALL Release() override { return TReferencedObject::Release(); }

  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t* count) override;
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t index, LCID lcid, void** typeInfo) override;
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID& iid, OLECHAR** names, uint32_t count, LCID lcid,
                                      DISPID* ids) override;
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excepInfo, uint32_t* argErr) override;

  IDispatch* AsDispatch() { return static_cast<IDispatch*>(this); }

 protected:
  void* FindInterface(const GUID& iid) override;
};

// A dispatch object whose AddRef and Release answer 0 and change nothing: it lives until its
// owner frees it.
class TDispatchObjectNoRef : public TDispatchObject {
 public:
  int32_t TAVIX_STDCALL AddRef() override { return 0; }
  int32_t TAVIX_STDCALL Release() override { return 0; }
};

constexpr GUID IID_IDeviceMemoryAccess = {0xDE05D751, 0x32F9, 0x4557, {0xA7, 0xB6, 0x67, 0x8A, 0x82, 0x80, 0xE2, 0x74}};

// Direct memory access to a device; reached by QueryInterface, never through Invoke.
struct IDeviceMemoryAccess : IUnknown {
  virtual int32_t TAVIX_STDCALL MemoryRead(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) = 0;
  virtual int32_t TAVIX_STDCALL MemoryWrite(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) = 0;
};

class TBitmap;  // a device picture (platform image)
class TForm;    // the rack viewer form

// Flow kinds asked of CreateFlow.
enum : int32_t { eFlowKind_Build = 0, eFlowKind_Download = 1 };

class TTavixDriver : public TAbstractTavixDriver, public IDeviceMemoryAccess {
 public:
  explicit TTavixDriver(const std::string& coreExt);
  ~TTavixDriver() override;

  // Identity: IUnknown and ISupportService share one entry, then IDeviceMemoryAccess and
  // IDispatch. The driver is not reference counted: AddRef and Release answer -1.
  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override;
  int32_t TAVIX_STDCALL AddRef() override { return -1; }
  int32_t TAVIX_STDCALL Release() override { return -1; }

  // The driver's own IDispatch as the record its flows and routines call it back through.
  ITavixDriver OwnDriver() { return ITavixDriver(AsDispatch()); }

  // ---- device information defaults ----
  uint32_t GetIdCode() override { return 0; }
  std::string GetDeviceName() override { return "Generic Tavix Device"; }
  std::string GetDeviceDescription() override { return GetDeviceName(); }
  std::string GetFamilyName() override { return {}; }
  std::string GetFamilyDescription() override { return {}; }
  std::string GetLibraryName() override { return {}; }
  std::string GetVendorPrimitiveLibraryName() override { return {}; }
  std::string GetBaseName() override { return {}; }
  int32_t GetEquivalentGatesForBase() override { return -1; }
  int32_t GetMaxIOForBase() override { return -1; }
  std::string GetPackageTypeId() override { return "Generic"; }
  std::string GetPackageTypeName() override { return "Generic"; }
  std::string GetPackageTypeDescription() override { return "Un-Classified Packages"; }
  std::string GetPackageId() override { return {}; }
  std::string GetPackageName() override { return {}; }
  std::string GetPackageDescription() override { return {}; }
  std::string GetPackageDimensions() override { return "? x ? mm"; }
  std::string GetTemperatureGradeId() override { return {}; }
  std::string GetTemperatureGradeName() override { return {}; }
  std::string GetTemperatureGradeDescription() override { return {}; }
  std::string GetSpeedGradeId() override { return {}; }
  std::string GetSpeedGradeName() override { return {}; }
  std::string GetSpeedGradeDescription() override { return {}; }
  std::string GetOptionDesignatorId() override { return {}; }
  std::string GetOptionDesignatorName() override { return {}; }
  std::string GetOptionDesignatorDescription() override { return {}; }
  std::string GetBSDLFilename() override { return {}; }
  IBSDLEntity GetBSDLEntity() override { return {}; }
  std::string GetVendorName() override { return {}; }
  int32_t GetInstructionLength() override { return 4; }
  int32_t GetDevicePinCount() override { return 0; }
  int32_t GetDeviceIOCount() override { return -1; }
  IDevicePin GetDevicePin(int32_t) override { return {}; }
  std::string GetDownloadFileExtensions() override { return {}; }
  int32_t GetDSPMultiplierCount() override { return -1; }
  int32_t GetClockManagerCount() override { return -1; }
  int32_t GetMemorySize() override { return -1; }
  bool GetTerminationSupport() override { return false; }
  int32_t GetGlobalClockCount() override { return -1; }
  int32_t GetConfigMemorySize() override { return -1; }
  int32_t GetDiffPairCount() override { return -1; }
  int32_t GetHighSpeedDiffPairCount() override { return -1; }
  int32_t GetIOStandardCount() override { return 0; }
  IDeviceIOStandard GetIOStandard(int32_t) override { return {}; }
  std::string GetDeviceDisplayName() override { return GetDeviceName(); }
  std::string GetDeviceParameter(const std::string&) override { return {}; }

  // ---- driver operation defaults ----
  ITavixDevice GetTavixDevice() override { return FTavixDevice; }
  bool SetTavixDevice(const ITavixDevice& device) override;
  bool Finalize() override { return false; }
  uint32_t GetBitmapHandle() override;
  bool SaveProcessorState() override { return false; }
  bool RestoreProcessorState() override { return false; }
  void CreateRackViewer() override;
  IInstrumentView GetRackViewer() override { return FRackView; }
  bool Supports(const std::string& kind) override;
  void ShowAboutDialog() override {}
  std::string VendorToolsDescriptor() override;
  bool VendorToolsPresent() override;
  bool VendorToolsUpToDate() override;
  bool SetProcessorRegisterValue(int32_t index, uint32_t value) override;
  uint32_t GetProcessorRegisterValue(int32_t index) override;
  uint32_t GetProcessorRegisterWidth(int32_t) override { return 0; }
  std::string GetProcessorRegisterName(int32_t) override { return {}; }
  std::string GetProcessorRegisterShortName(int32_t index) override { return GetProcessorRegisterName(index); }
  int32_t GetProcessorRegisterCount() override { return 0; }
  int32_t GetRegisterIndex_PC() override { return -1; }
  int32_t GetRegisterIndex_SP() override { return -1; }
  int32_t GetSoftBreakpointAddressByteAlign() override { return 1; }
  uint32_t GetMemorySpaceWidth(int32_t) override { return 0; }
  uint8_t GetMemorySpaceKind(int32_t) override { return 0; }
  uint32_t GetMemorySpaceBytesPerUnit(int32_t) override { return 1; }
  std::string GetMemorySpaceName(int32_t) override { return {}; }
  std::string GetMemorySpaceShortName(int32_t space) override { return GetMemorySpaceName(space); }
  int32_t GetMemorySpaceCount() override { return 0; }
  int32_t GetMemorySpace_Program() override { return -1; }
  bool InitDownload(int32_t) override { return true; }
  bool FinishDownload(int32_t) override { return true; }
  bool RunDiagnostic() override { return true; }
  bool LittleEndian() override { return false; }
  bool ResetDevice() override { return false; }
  uint8_t GetDeviceState() override { return 0; }
  int32_t ProgramDevice(const std::string&) override { return 0; }
  uint32_t ReadUserCode() override { return 0xFFFFFFFFu; }
  IProcessFlow FlowStage_Build() override;
  IProcessFlow FlowStage_Download() override;
  std::string CoreGen_OutputExtension() override { return FCoreExt; }
  void ResetTavixRegisters() override;
  void SingleStepProcessor() override;
  void RunSingleStepInSubstitutionRegister() override;
  void ResetProcessor() override;
  void PauseProcessor() override;
  void ContinueProcessor() override;
  void RunSteps(int32_t count) override;
  bool ProcessorIsPaused() override;
  bool ProcessorIsReset() override;
  bool ProcessorIsRunning() override;
  bool ProcessorIsUsingReducedInstructionSet() override { return false; }
  bool Flash_Reset() override { return false; }
  int32_t Flash_Program(const std::string&) override { return 0; }
  void Flash_Configure() override {}
  bool SetProcessorRegisterWideValue(int32_t index, const std::string& value) override;
  std::string GetProcessorRegisterWideValue(int32_t index) override;
  bool ConfigureFpgaProject(const IProject&) override { return false; }
  bool ShowConfiguration() override { return true; }
  void ShowCurrentSensePanel() override {}
  void ReleaseResources() override;
  bool InvalidateResources() override { return false; }
  void CustomAction_Execute(int32_t) override {}
  void CustomAction_GetState(int32_t index, bool& state1, bool& state2, bool& state3, void* ref4,
                             void* ref5) override;
  bool EPM_Download(const std::string& a, const std::string& b, const std::string& c) override;
  bool EPM_InititateTest() override { return false; }
  int32_t EPM_GetTestResult(int32_t) override { return -1; }
  void EPM_SetPercentCallBack(const IPercentCallback& callback) override { FCallBack = callback; }
  bool Flash_ResetForBitStream() override { return Flash_Reset(); }
  std::string GetEmbeddedConstraintFile() override;
  void SetEmbeddedConstraintFile(const std::string& fileName) override { FCustomConstraintFile = fileName; }
  uint32_t AddSoftBreakpoint(int32_t, int64_t) override { return 0; }
  bool RemoveSoftBreakpoint(int32_t, int64_t, uint32_t) override { return false; }
  int64_t GetMemorySpaceLength(int32_t) override { return 0; }
  std::string GetFolder_Library() override;
  IClockCoreGenerator ClockCoreGenerator() override { return {}; }
  IClockCoreTemplateGenerator ClockCoreTemplateGenerator() override { return {}; }
  ITargetCoreGenerator ClockGeneratorTargetCore() override { return {}; }
  ICustomCoreGenerator CustomCoreGenerator(int32_t) override { return {}; }

  // ---- operations appended by the generic driver ----
  virtual int32_t GetRegisterAddressInstruction() { return 3; }
  virtual int32_t GetRegisterDataInstruction() { return 4; }
  virtual bool GetProcessorInformation(IProcessorInformation& info);
  virtual bool SupportsCPLD() { return false; }
  virtual bool SupportsFPGA() { return false; }
  virtual bool SupportsPROM() { return false; }
  virtual bool SupportsPROC() { return false; }
  virtual bool SupportsSPROC() { return false; }
  virtual bool SupportsGPROC() { return false; }
  virtual IProcessFlow CreateFlow(int32_t kind);
  virtual TForm* CreateRackForm();
  virtual TForm* GetRackForm() { return FRackForm; }
  virtual void BeginDeviceAccess();
  virtual void EndDeviceAccess();
  virtual void WriteControlRegister();
  virtual void ReadControlRegister();
  virtual void OpenChannel();
  virtual void CloseChannel();
  int32_t TAVIX_STDCALL MemoryRead(int32_t, int32_t, int32_t, int32_t, int32_t) override { return 0; }
  int32_t TAVIX_STDCALL MemoryWrite(int32_t, int32_t, int32_t, int32_t, int32_t) override { return 0; }

  // ---- link to the host's chain device ----
  IJTagChannel GetChannel();
  int32_t GetChainIndex();
  IJTagDevice GetOwnJTagDevice();

  // Bits of the debug control register.
  bool GetControlBit(uint8_t mask) const { return (FControlRegister & mask) != 0; }
  void SetControlBit(uint8_t mask, bool value) {
    FControlRegister = value ? static_cast<uint8_t>(FControlRegister | mask)
                             : static_cast<uint8_t>(FControlRegister & ~mask);
  }
  uint8_t ControlRegister() const { return FControlRegister; }
  const std::string& CustomConstraintFile() const { return FCustomConstraintFile; }

  // Resolves a constraint-file name to an existing file, or empty.
  std::string FindConstraintFile(const std::string& name);
  // The generic device picture with the family's picture copied into its centre; null when
  // there is no generic picture.
  TBitmap* LoadDeviceImage(const std::string& familyName);

 protected:
  // Reads or writes processor register `index` through the debug address and data registers.
  uint32_t AccessProcessorRegister(int32_t index, uint32_t value, bool write);
  std::string AccessProcessorRegisterText(int32_t index, const std::string& value, bool write);

  ITavixDevice FTavixDevice;
  TBitmap* FDeviceImage = nullptr;
  TBitmap* FDeviceAboutImage = nullptr;
  IPercentCallback FCallBack;
  std::string FCustomConstraintFile;
  IProcessFlow FBuildFlow, FDownloadFlow, FVerifyFlow;
  TForm* FRackForm = nullptr;
  IInstrumentView FRackView;
  uint8_t FControlRegister = 0;
  std::string FCoreExt;
};

// Bit masks of the debug control register.
enum : uint8_t {
  kStepCounterBreakpointEnable = 0x80,
  kReset = 0x20,
  kDebugEnable = 0x10,
  kDebugAcknowledge = 0x08,
  kDebugRequest = 0x04,
  kDebugStep = 0x02,
  kDebuggerProgramSelect = 0x01,
};

// Address of each processor register (index 0..7) in the debug address register.
inline constexpr uint8_t kProcessorRegisterAddress[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x90};

// The device-action names by ordinal; ordinal 25 is a host action this module leaves alone.
extern const char* const kDeviceActionNames[32];

}  // namespace tavix

namespace tavix {

// Base of the module's device pins. Pins are owned by their driver and not reference counted:
// AddRef and Release answer -1 on every interface, as for the driver. Supplies the three pin
// operations that follow from the others.
class TTavixAbstractDevicePin : public TAbstractDevicePin {
 public:
  int32_t TAVIX_STDCALL AddRef() override { return -1; }
  int32_t TAVIX_STDCALL Release() override { return -1; }

  // Bank, differential id and clock-pair id joined by "|".
  std::string GetUniqueDifferentialID() override;
  // True for the positive pin of a differential, high-speed, DCI or clock pair.
  bool GetIsPosPinOfDiffPair() override;
  // True for the negative pin of such a pair.
  bool GetIsNegPinOfDiffPair() override;
};

// Base of the module's I/O standards. The defaults describe a standard with no slew rates and
// no drive strengths; the names come from the host-wide I/O-standard tables, which this module
// does not carry, so they are empty here. Subclasses override what they know.
class TTavixAbstractDeviceIOStandard : public TAbstractDeviceIOStandard {
 public:
  std::string GetDisplayName() override { return {}; }
  std::string GetParamName() override { return {}; }
  int32_t GetSlewCount() override { return 0; }
  std::string GetSlewValue(int32_t) override { return {}; }
  int32_t GetDriveCount() override { return 0; }
  std::string GetDriveStrength(int32_t) override { return {}; }
};

}  // namespace tavix
