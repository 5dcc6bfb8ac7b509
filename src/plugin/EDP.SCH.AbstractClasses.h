// Abstract service classes that fix the automation contracts the host calls by DISPID: each
// declares its operations as abstract virtual operations and its dispatcher only translates
// between DISPPARAMS and a call of the operation; unknown DISPIDs go to the base.
#pragma once

#include <string>

#include "plugin/Opal.Types.h"
#include "jtag/Tavix.JTagInterfaces.h"
#include "plugin/Tavix.Interfaces.h"

namespace tavix {


// Descriptive queries, DISPIDs 503379..503424; service name "DeviceInformation".
class TAbstractDeviceInformation : public TAbstractSupportService {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual uint32_t GetIdCode() = 0;
  virtual std::string GetDeviceName() = 0;
  virtual std::string GetDeviceDescription() = 0;
  virtual std::string GetFamilyName() = 0;
  virtual std::string GetFamilyDescription() = 0;
  virtual std::string GetLibraryName() = 0;
  virtual std::string GetVendorPrimitiveLibraryName() = 0;
  virtual std::string GetBaseName() = 0;
  virtual int32_t GetEquivalentGatesForBase() = 0;
  virtual int32_t GetMaxIOForBase() = 0;
  virtual std::string GetPackageTypeId() = 0;
  virtual std::string GetPackageTypeName() = 0;
  virtual std::string GetPackageTypeDescription() = 0;
  virtual std::string GetPackageId() = 0;
  virtual std::string GetPackageName() = 0;
  virtual std::string GetPackageDescription() = 0;
  virtual std::string GetPackageDimensions() = 0;
  virtual std::string GetTemperatureGradeId() = 0;
  virtual std::string GetTemperatureGradeName() = 0;
  virtual std::string GetTemperatureGradeDescription() = 0;
  virtual std::string GetSpeedGradeId() = 0;
  virtual std::string GetSpeedGradeName() = 0;
  virtual std::string GetSpeedGradeDescription() = 0;
  virtual std::string GetOptionDesignatorId() = 0;
  virtual std::string GetOptionDesignatorName() = 0;
  virtual std::string GetOptionDesignatorDescription() = 0;
  virtual std::string GetBSDLFilename() = 0;
  virtual IBSDLEntity GetBSDLEntity() = 0;
  virtual std::string GetVendorName() = 0;
  virtual int32_t GetInstructionLength() = 0;
  virtual int32_t GetDevicePinCount() = 0;
  virtual int32_t GetDeviceIOCount() = 0;
  virtual IDevicePin GetDevicePin(int32_t index) = 0;
  virtual std::string GetDownloadFileExtensions() = 0;
  virtual int32_t GetDSPMultiplierCount() = 0;
  virtual int32_t GetClockManagerCount() = 0;
  virtual int32_t GetMemorySize() = 0;
  virtual bool GetTerminationSupport() = 0;
  virtual int32_t GetGlobalClockCount() = 0;
  virtual int32_t GetConfigMemorySize() = 0;
  virtual int32_t GetDiffPairCount() = 0;
  virtual int32_t GetHighSpeedDiffPairCount() = 0;
  virtual int32_t GetIOStandardCount() = 0;
  virtual IDeviceIOStandard GetIOStandard(int32_t index) = 0;
  virtual std::string GetDeviceDisplayName() = 0;
  virtual std::string GetDeviceParameter(const std::string& name) = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// Driver actions, DISPIDs 503753..503822, 508552..508554, 509312, 509376, 509427, 509470,
// 509981; service name "TavixDriver".
class TAbstractTavixDriver : public TAbstractDeviceInformation {
 public:
  using TAbstractDeviceInformation::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual ITavixDevice GetTavixDevice() = 0;
  virtual bool SetTavixDevice(const ITavixDevice& device) = 0;
  virtual bool Finalize() = 0;
  virtual uint32_t GetBitmapHandle() = 0;
  virtual bool SaveProcessorState() = 0;
  virtual bool RestoreProcessorState() = 0;
  virtual void CreateRackViewer() = 0;
  virtual IInstrumentView GetRackViewer() = 0;
  virtual bool Supports(const std::string& kind) = 0;
  virtual void ShowAboutDialog() = 0;
  virtual std::string VendorToolsDescriptor() = 0;
  virtual bool VendorToolsPresent() = 0;
  virtual bool VendorToolsUpToDate() = 0;
  virtual bool SetProcessorRegisterValue(int32_t index, uint32_t value) = 0;
  virtual uint32_t GetProcessorRegisterValue(int32_t index) = 0;
  virtual uint32_t GetProcessorRegisterWidth(int32_t index) = 0;
  virtual std::string GetProcessorRegisterName(int32_t index) = 0;
  virtual std::string GetProcessorRegisterShortName(int32_t index) = 0;
  virtual int32_t GetProcessorRegisterCount() = 0;
  virtual int32_t GetRegisterIndex_PC() = 0;
  virtual int32_t GetRegisterIndex_SP() = 0;
  virtual int32_t GetSoftBreakpointAddressByteAlign() = 0;
  virtual uint32_t GetMemorySpaceWidth(int32_t space) = 0;
  virtual uint8_t GetMemorySpaceKind(int32_t space) = 0;
  virtual uint32_t GetMemorySpaceBytesPerUnit(int32_t space) = 0;
  virtual std::string GetMemorySpaceName(int32_t space) = 0;
  virtual std::string GetMemorySpaceShortName(int32_t space) = 0;
  virtual int32_t GetMemorySpaceCount() = 0;
  virtual int32_t GetMemorySpace_Program() = 0;
  virtual bool InitDownload(int32_t space) = 0;
  virtual bool FinishDownload(int32_t space) = 0;
  virtual bool RunDiagnostic() = 0;
  virtual bool LittleEndian() = 0;
  virtual bool ResetDevice() = 0;
  virtual uint8_t GetDeviceState() = 0;
  virtual int32_t ProgramDevice(const std::string& fileName) = 0;
  virtual uint32_t ReadUserCode() = 0;
  virtual IProcessFlow FlowStage_Build() = 0;
  virtual IProcessFlow FlowStage_Download() = 0;
  virtual std::string CoreGen_OutputExtension() = 0;
  virtual void ResetTavixRegisters() = 0;
  virtual void SingleStepProcessor() = 0;
  virtual void RunSingleStepInSubstitutionRegister() = 0;
  virtual void ResetProcessor() = 0;
  virtual void PauseProcessor() = 0;
  virtual void ContinueProcessor() = 0;
  virtual void RunSteps(int32_t count) = 0;
  virtual bool ProcessorIsPaused() = 0;
  virtual bool ProcessorIsReset() = 0;
  virtual bool ProcessorIsRunning() = 0;
  virtual bool ProcessorIsUsingReducedInstructionSet() = 0;
  virtual bool Flash_Reset() = 0;
  virtual int32_t Flash_Program(const std::string& fileName) = 0;
  virtual void Flash_Configure() = 0;
  virtual bool SetProcessorRegisterWideValue(int32_t index, const std::string& value) = 0;
  virtual std::string GetProcessorRegisterWideValue(int32_t index) = 0;
  virtual bool ConfigureFpgaProject(const IProject& project) = 0;
  virtual bool ShowConfiguration() = 0;
  virtual void ShowCurrentSensePanel() = 0;
  virtual void ReleaseResources() = 0;
  virtual bool InvalidateResources() = 0;
  virtual void CustomAction_Execute(int32_t index) = 0;
  // The three Booleans are in/out; the last two are the caller's references, passed on raw.
  virtual void CustomAction_GetState(int32_t index, bool& state1, bool& state2, bool& state3, void* ref4,
                                     void* ref5) = 0;
  virtual bool EPM_Download(const std::string& a, const std::string& b, const std::string& c) = 0;
  virtual bool EPM_InititateTest() = 0;
  virtual int32_t EPM_GetTestResult(int32_t index) = 0;
  virtual void EPM_SetPercentCallBack(const IPercentCallback& callback) = 0;
  virtual bool Flash_ResetForBitStream() = 0;
  virtual std::string GetEmbeddedConstraintFile() = 0;
  virtual void SetEmbeddedConstraintFile(const std::string& fileName) = 0;
  virtual uint32_t AddSoftBreakpoint(int32_t space, int64_t address) = 0;
  virtual bool RemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t value) = 0;
  virtual int64_t GetMemorySpaceLength(int32_t space) = 0;
  virtual std::string GetFolder_Library() = 0;
  virtual IClockCoreGenerator ClockCoreGenerator() = 0;
  virtual IClockCoreTemplateGenerator ClockCoreTemplateGenerator() = 0;
  virtual ITargetCoreGenerator ClockGeneratorTargetCore() = 0;
  virtual ICustomCoreGenerator CustomCoreGenerator(int32_t index) = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

}  // namespace tavix

namespace tavix {

// Device pin contract, DISPIDs 503525..503549; service name "DevicePin".
class TAbstractDevicePin : public TAbstractSupportService {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetPinNumber() = 0;
  virtual std::string GetIOBank() = 0;
  virtual bool GetIsIOPin() = 0;
  virtual bool GetIsCLKPin() = 0;
  virtual bool GetIsVREFPin() = 0;
  virtual bool GetIsSpecialPin() = 0;
  virtual int32_t GetIOStandardCount() = 0;
  virtual IDeviceIOStandard GetIOStandard(int32_t index) = 0;
  virtual bool GetIsInputOnlyPin() = 0;
  virtual bool GetIsDCIP_Pin() = 0;
  virtual bool GetIsDCIN_Pin() = 0;
  virtual bool GetIsDiffP_Pin() = 0;
  virtual bool GetIsDiffN_Pin() = 0;
  virtual bool GetIsHDiffP_Pin() = 0;
  virtual bool GetIsHDiffN_Pin() = 0;
  virtual bool GetIsTransmitDiffPin() = 0;
  virtual bool GetIsReceiveDiffPin() = 0;
  virtual bool GetIsClkDiffP_Pin() = 0;
  virtual bool GetIsClkDiffN_Pin() = 0;
  virtual bool GetIsDLLPin() = 0;
  virtual std::string GetDifferentialId() = 0;
  virtual std::string GetClkDifferentialId() = 0;
  virtual std::string GetUniqueDifferentialID() = 0;
  virtual bool GetIsPosPinOfDiffPair() = 0;
  virtual bool GetIsNegPinOfDiffPair() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

// I/O-standard contract, DISPIDs 503519..503524; service name "DeviceIOStandard".
class TAbstractDeviceIOStandard : public TAbstractSupportService {
 public:
  using TAbstractSupportService::SupportsService;
  bool SupportsService(const std::string& serviceName) override;

  virtual std::string GetDisplayName() = 0;
  virtual std::string GetParamName() = 0;
  virtual int32_t GetSlewCount() = 0;
  virtual std::string GetSlewValue(int32_t index) = 0;
  virtual int32_t GetDriveCount() = 0;
  virtual std::string GetDriveStrength(int32_t index) = 0;
  // Position in the host-wide name tables, used by the defaults.
  virtual uint8_t GetStandardIndex() = 0;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
};

}  // namespace tavix
