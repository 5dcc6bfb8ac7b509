#include "plugin/EDP.SCH.AbstractClasses.h"

namespace tavix {

// One case of a dispatcher: convert the arguments, run the operation (any failure inside it is
// E_UNEXPECTED), store the result as the contract says.
#define TAVIX_OP(id, setter, call)                         \
  case id:                                                 \
    setter(result, RunOperation([&] { return call; }));    \
    return true;
#define TAVIX_VOID_OP(id, call)     \
  case id:                          \
    RunOperation([&] { call; });    \
    return true;
#define TAVIX_OBJ_OP(id, call)                                               \
  case id: {                                                                 \
    const auto record = RunOperation([&] { return call; });                  \
    SetResultDispatch(result, record.Dispatch());                            \
    return true;                                                             \
  }

bool TAbstractDeviceInformation::SupportsService(const std::string& serviceName) {
  return TAbstractSupportService::SupportsService(serviceName) || SameText(serviceName, "DeviceInformation");
}

bool TAbstractDeviceInformation::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_OP(503379, SetResultUInt, GetIdCode())
    TAVIX_OP(503380, SetResultString, GetDeviceName())
    TAVIX_OP(503381, SetResultString, GetDeviceDescription())
    TAVIX_OP(503382, SetResultString, GetFamilyName())
    TAVIX_OP(503383, SetResultString, GetFamilyDescription())
    TAVIX_OP(503384, SetResultString, GetLibraryName())
    TAVIX_OP(503385, SetResultString, GetVendorPrimitiveLibraryName())
    TAVIX_OP(503386, SetResultString, GetBaseName())
    TAVIX_OP(503387, SetResultInt, GetEquivalentGatesForBase())
    TAVIX_OP(503388, SetResultInt, GetMaxIOForBase())
    TAVIX_OP(503389, SetResultString, GetPackageTypeId())
    TAVIX_OP(503390, SetResultString, GetPackageTypeName())
    TAVIX_OP(503391, SetResultString, GetPackageTypeDescription())
    TAVIX_OP(503392, SetResultString, GetPackageId())
    TAVIX_OP(503393, SetResultString, GetPackageName())
    TAVIX_OP(503394, SetResultString, GetPackageDescription())
    TAVIX_OP(503395, SetResultString, GetPackageDimensions())
    TAVIX_OP(503396, SetResultString, GetTemperatureGradeId())
    TAVIX_OP(503397, SetResultString, GetTemperatureGradeName())
    TAVIX_OP(503398, SetResultString, GetTemperatureGradeDescription())
    TAVIX_OP(503399, SetResultString, GetSpeedGradeId())
    TAVIX_OP(503400, SetResultString, GetSpeedGradeName())
    TAVIX_OP(503401, SetResultString, GetSpeedGradeDescription())
    TAVIX_OP(503402, SetResultString, GetOptionDesignatorId())
    TAVIX_OP(503403, SetResultString, GetOptionDesignatorName())
    TAVIX_OP(503404, SetResultString, GetOptionDesignatorDescription())
    TAVIX_OP(503405, SetResultString, GetBSDLFilename())
    TAVIX_OBJ_OP(503406, GetBSDLEntity())
    TAVIX_OP(503407, SetResultString, GetVendorName())
    TAVIX_OP(503408, SetResultInt, GetInstructionLength())
    TAVIX_OP(503409, SetResultInt, GetDevicePinCount())
    TAVIX_OP(503410, SetResultInt, GetDeviceIOCount())
    case 503411: {
      const int32_t index = args.Int(0);
      const auto record = RunOperation([&] { return GetDevicePin(index); });
      SetResultDispatch(result, record.Dispatch());
      return true;
    }
    TAVIX_OP(503412, SetResultString, GetDownloadFileExtensions())
    TAVIX_OP(503413, SetResultInt, GetDSPMultiplierCount())
    TAVIX_OP(503414, SetResultInt, GetClockManagerCount())
    TAVIX_OP(503415, SetResultInt, GetMemorySize())
    TAVIX_OP(503416, SetResultBool, GetTerminationSupport())
    TAVIX_OP(503417, SetResultInt, GetGlobalClockCount())
    TAVIX_OP(503418, SetResultInt, GetConfigMemorySize())
    TAVIX_OP(503419, SetResultInt, GetDiffPairCount())
    TAVIX_OP(503420, SetResultInt, GetHighSpeedDiffPairCount())
    TAVIX_OP(503421, SetResultInt, GetIOStandardCount())
    case 503422: {
      const int32_t index = args.Int(0);
      const auto record = RunOperation([&] { return GetIOStandard(index); });
      SetResultDispatch(result, record.Dispatch());
      return true;
    }
    TAVIX_OP(503423, SetResultString, GetDeviceDisplayName())
    case 503424: {
      const std::string name = args.Str(0);
      SetResultString(result, RunOperation([&] { return GetDeviceParameter(name); }));
      return true;
    }
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

bool TAbstractTavixDriver::SupportsService(const std::string& serviceName) {
  return TAbstractDeviceInformation::SupportsService(serviceName) || SameText(serviceName, "TavixDriver");
}

bool TAbstractTavixDriver::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_OBJ_OP(503753, GetTavixDevice())
    case 503754: {
      const ITavixDevice device(args.Object(0));
      SetResultBool(result, RunOperation([&] { return SetTavixDevice(device); }));
      return true;
    }
    TAVIX_OP(503755, SetResultBool, Finalize())
    TAVIX_OP(503756, SetResultUInt, GetBitmapHandle())
    TAVIX_OP(503757, SetResultBool, SaveProcessorState())
    TAVIX_OP(503758, SetResultBool, RestoreProcessorState())
    TAVIX_VOID_OP(503759, CreateRackViewer())
    TAVIX_OBJ_OP(503760, GetRackViewer())
    case 503761: {
      const std::string kind = args.Str(0);
      SetResultBool(result, RunOperation([&] { return Supports(kind); }));
      return true;
    }
    TAVIX_VOID_OP(503762, ShowAboutDialog())
    TAVIX_OP(503763, SetResultString, VendorToolsDescriptor())
    TAVIX_OP(503764, SetResultBool, VendorToolsPresent())
    TAVIX_OP(503765, SetResultBool, VendorToolsUpToDate())
    case 503766: {
      const int32_t index = args.Int(0);
      const uint32_t value = args.Low32(1);
      SetResultBool(result, RunOperation([&] { return SetProcessorRegisterValue(index, value); }));
      return true;
    }
    case 503767: {
      const int32_t index = args.Int(0);
      SetResultUInt(result, RunOperation([&] { return GetProcessorRegisterValue(index); }));
      return true;
    }
    case 503768: {
      const int32_t index = args.Int(0);
      SetResultUInt(result, RunOperation([&] { return GetProcessorRegisterWidth(index); }));
      return true;
    }
    case 503769: {
      const int32_t index = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetProcessorRegisterName(index); }));
      return true;
    }
    case 503770: {
      const int32_t index = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetProcessorRegisterShortName(index); }));
      return true;
    }
    TAVIX_OP(503771, SetResultInt, GetProcessorRegisterCount())
    TAVIX_OP(503772, SetResultInt, GetRegisterIndex_PC())
    TAVIX_OP(503773, SetResultInt, GetRegisterIndex_SP())
    TAVIX_OP(503774, SetResultInt, GetSoftBreakpointAddressByteAlign())
    case 503775: {
      const int32_t space = args.Int(0);
      SetResultUInt(result, RunOperation([&] { return GetMemorySpaceWidth(space); }));
      return true;
    }
    case 503776: {
      const int32_t space = args.Int(0);
      SetResultInt(result, RunOperation([&] { return static_cast<int32_t>(GetMemorySpaceKind(space)); }));
      return true;
    }
    case 503777: {
      const int32_t space = args.Int(0);
      SetResultUInt(result, RunOperation([&] { return GetMemorySpaceBytesPerUnit(space); }));
      return true;
    }
    case 503778: {
      const int32_t space = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetMemorySpaceName(space); }));
      return true;
    }
    case 503779: {
      const int32_t space = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetMemorySpaceShortName(space); }));
      return true;
    }
    TAVIX_OP(503780, SetResultInt, GetMemorySpaceCount())
    TAVIX_OP(503781, SetResultInt, GetMemorySpace_Program())
    case 503782: {
      const int32_t space = args.Int(0);
      SetResultBool(result, RunOperation([&] { return InitDownload(space); }));
      return true;
    }
    case 503783: {
      const int32_t space = args.Int(0);
      SetResultBool(result, RunOperation([&] { return FinishDownload(space); }));
      return true;
    }
    TAVIX_OP(503784, SetResultBool, RunDiagnostic())
    TAVIX_OP(503785, SetResultBool, LittleEndian())
    TAVIX_OP(503786, SetResultBool, ResetDevice())
    TAVIX_OP(503787, SetResultInt, static_cast<int32_t>(GetDeviceState()))
    case 503788: {
      const std::string fileName = args.Str(0);
      SetResultInt(result, RunOperation([&] { return ProgramDevice(fileName); }));
      return true;
    }
    TAVIX_OP(503789, SetResultUInt, ReadUserCode())
    TAVIX_OBJ_OP(503790, FlowStage_Build())
    TAVIX_OBJ_OP(503791, FlowStage_Download())
    TAVIX_OP(503792, SetResultString, CoreGen_OutputExtension())
    TAVIX_VOID_OP(503793, ResetTavixRegisters())
    TAVIX_VOID_OP(503794, SingleStepProcessor())
    TAVIX_VOID_OP(503795, RunSingleStepInSubstitutionRegister())
    TAVIX_VOID_OP(503796, ResetProcessor())
    TAVIX_VOID_OP(503797, PauseProcessor())
    TAVIX_VOID_OP(503798, ContinueProcessor())
    case 503799: {
      const int32_t count = args.Int(0);
      RunOperation([&] { RunSteps(count); });
      return true;
    }
    TAVIX_OP(503800, SetResultBool, ProcessorIsPaused())
    TAVIX_OP(503801, SetResultBool, ProcessorIsReset())
    TAVIX_OP(503802, SetResultBool, ProcessorIsRunning())
    TAVIX_OP(503803, SetResultBool, ProcessorIsUsingReducedInstructionSet())
    TAVIX_OP(503804, SetResultBool, Flash_Reset())
    case 503805: {
      const std::string fileName = args.Str(0);
      SetResultInt(result, RunOperation([&] { return Flash_Program(fileName); }));
      return true;
    }
    TAVIX_VOID_OP(503806, Flash_Configure())
    case 503807: {
      const int32_t index = args.Int(0);
      const std::string value = args.Str(1);
      SetResultBool(result, RunOperation([&] { return SetProcessorRegisterWideValue(index, value); }));
      return true;
    }
    case 503808: {
      const int32_t index = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetProcessorRegisterWideValue(index); }));
      return true;
    }
    case 503809: {
      const IProject project(args.Object(0));
      SetResultBool(result, RunOperation([&] { return ConfigureFpgaProject(project); }));
      return true;
    }
    TAVIX_OP(503810, SetResultBool, ShowConfiguration())
    TAVIX_VOID_OP(503811, ShowCurrentSensePanel())
    TAVIX_VOID_OP(503812, ReleaseResources())
    TAVIX_OP(503813, SetResultBool, InvalidateResources())
    case 503814: {
      const int32_t index = args.Int(0);
      RunOperation([&] { CustomAction_Execute(index); });
      return true;
    }
    case 503815: {
      // Six arguments: the index, three Booleans by reference (written back as VARIANT_TRUE
      // or VARIANT_FALSE), and two references handed on as they are.
      args.Require(6);
      const int32_t index = args.Int(0);
      VARIANT_BOOL* refs[3] = {args.BoolRef(1), args.BoolRef(2), args.BoolRef(3)};
      bool states[3] = {*refs[0] != 0, *refs[1] != 0, *refs[2] != 0};
      void* ref4 = args.Arg(4).byref;
      void* ref5 = args.Arg(5).byref;
      RunOperation([&] { CustomAction_GetState(index, states[0], states[1], states[2], ref4, ref5); });
      for (int i = 0; i < 3; ++i) *refs[i] = states[i] ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    }
    case 503816: {
      const std::string a = args.Str(0), b = args.Str(1), c = args.Str(2);
      SetResultBool(result, RunOperation([&] { return EPM_Download(a, b, c); }));
      return true;
    }
    TAVIX_OP(503817, SetResultBool, EPM_InititateTest())
    case 503818: {
      const int32_t index = args.Int(0);
      SetResultInt(result, RunOperation([&] { return EPM_GetTestResult(index); }));
      return true;
    }
    case 503819: {
      const IPercentCallback callback(args.Object(0));
      RunOperation([&] { EPM_SetPercentCallBack(callback); });
      return true;
    }
    TAVIX_OP(503820, SetResultBool, Flash_ResetForBitStream())
    TAVIX_OP(503821, SetResultString, GetEmbeddedConstraintFile())
    case 503822: {
      const std::string fileName = args.Str(0);
      RunOperation([&] { SetEmbeddedConstraintFile(fileName); });
      return true;
    }
    case 508552: {
      const int32_t space = args.Int(0);
      const int64_t address = args.Int64(1);
      SetResultUInt(result, RunOperation([&] { return AddSoftBreakpoint(space, address); }));
      return true;
    }
    case 508553: {
      const int32_t space = args.Int(0);
      const int64_t address = args.Int64(1);
      const uint32_t value = args.Low32(2);
      SetResultBool(result, RunOperation([&] { return RemoveSoftBreakpoint(space, address, value); }));
      return true;
    }
    case 508554: {
      const int32_t space = args.Int(0);
      SetResultInt64(result, RunOperation([&] { return GetMemorySpaceLength(space); }));
      return true;
    }
    TAVIX_OP(509312, SetResultString, GetFolder_Library())
    TAVIX_OBJ_OP(509376, ClockCoreGenerator())
    TAVIX_OBJ_OP(509427, ClockCoreTemplateGenerator())
    TAVIX_OBJ_OP(509470, ClockGeneratorTargetCore())
    case 509981: {
      const int32_t index = args.Int(0);
      const auto record = RunOperation([&] { return CustomCoreGenerator(index); });
      SetResultDispatch(result, record.Dispatch());
      return true;
    }
    default:
      return TAbstractDeviceInformation::DoInvoke(id, args, result);
  }
}

}  // namespace tavix

namespace tavix {

bool TAbstractDevicePin::SupportsService(const std::string& serviceName) {
  return TAbstractSupportService::SupportsService(serviceName) || SameText(serviceName, "DevicePin");
}

bool TAbstractDevicePin::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_OP(503525, SetResultString, GetPinNumber())
    TAVIX_OP(503526, SetResultString, GetIOBank())
    TAVIX_OP(503527, SetResultBool, GetIsIOPin())
    TAVIX_OP(503528, SetResultBool, GetIsCLKPin())
    TAVIX_OP(503529, SetResultBool, GetIsVREFPin())
    TAVIX_OP(503530, SetResultBool, GetIsSpecialPin())
    TAVIX_OP(503531, SetResultInt, GetIOStandardCount())
    case 503532: {
      const int32_t index = args.Int(0);
      const auto record = RunOperation([&] { return GetIOStandard(index); });
      SetResultDispatch(result, record.Dispatch());
      return true;
    }
    TAVIX_OP(503533, SetResultBool, GetIsInputOnlyPin())
    TAVIX_OP(503534, SetResultBool, GetIsDCIP_Pin())
    TAVIX_OP(503535, SetResultBool, GetIsDCIN_Pin())
    TAVIX_OP(503536, SetResultBool, GetIsDiffP_Pin())
    TAVIX_OP(503537, SetResultBool, GetIsDiffN_Pin())
    TAVIX_OP(503538, SetResultBool, GetIsHDiffP_Pin())
    TAVIX_OP(503539, SetResultBool, GetIsHDiffN_Pin())
    TAVIX_OP(503540, SetResultBool, GetIsTransmitDiffPin())
    TAVIX_OP(503541, SetResultBool, GetIsReceiveDiffPin())
    TAVIX_OP(503542, SetResultBool, GetIsClkDiffP_Pin())
    TAVIX_OP(503543, SetResultBool, GetIsClkDiffN_Pin())
    TAVIX_OP(503544, SetResultBool, GetIsDLLPin())
    TAVIX_OP(503545, SetResultString, GetDifferentialId())
    TAVIX_OP(503546, SetResultString, GetClkDifferentialId())
    TAVIX_OP(503547, SetResultString, GetUniqueDifferentialID())
    TAVIX_OP(503548, SetResultBool, GetIsPosPinOfDiffPair())
    TAVIX_OP(503549, SetResultBool, GetIsNegPinOfDiffPair())
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

bool TAbstractDeviceIOStandard::SupportsService(const std::string& serviceName) {
  return TAbstractSupportService::SupportsService(serviceName) || SameText(serviceName, "DeviceIOStandard");
}

bool TAbstractDeviceIOStandard::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    TAVIX_OP(503519, SetResultString, GetDisplayName())
    TAVIX_OP(503520, SetResultString, GetParamName())
    TAVIX_OP(503521, SetResultInt, GetSlewCount())
    case 503522: {
      const int32_t index = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetSlewValue(index); }));
      return true;
    }
    TAVIX_OP(503523, SetResultInt, GetDriveCount())
    case 503524: {
      const int32_t index = args.Int(0);
      SetResultString(result, RunOperation([&] { return GetDriveStrength(index); }));
      return true;
    }
    default:
      return TAbstractSupportService::DoInvoke(id, args, result);
  }
}

}  // namespace tavix
