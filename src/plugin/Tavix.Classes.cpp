#include "plugin/Tavix.Classes.h"

#include "host/Opal.Param.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/Graphics.h"

namespace tavix {

// ---- TReferencedObject ----------------------------------------------------------------------

void* TReferencedObject::FindInterface(const GUID& iid) {
  return iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
}

HRESULT TReferencedObject::QueryInterface(const GUID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = FindInterface(iid);
  if (!*object) return E_NOINTERFACE;
  static_cast<IUnknown*>(*object)->AddRef();
  return S_OK;
}

int32_t TReferencedObject::AddRef() { return ++FRefCount; }

int32_t TReferencedObject::Release() {
  const int32_t count = --FRefCount;
  if (count == 0) delete this;
  return count;
}

void TReferencedObject::BeforeDestruction() {
  if (FRefCount.load() != 0) throw EInvalidPointer();
}

void TReferencedObject::Free() {
  BeforeDestruction();
  delete this;
}

// ---- TDispatchObject ------------------------------------------------------------------------

void* TDispatchObject::FindInterface(const GUID& iid) {
  if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
  return TReferencedObject::FindInterface(iid);
}

HRESULT TDispatchObject::GetTypeInfoCount(uint32_t*) { return E_NOTIMPL; }
HRESULT TDispatchObject::GetTypeInfo(uint32_t, LCID, void**) { return E_NOTIMPL; }
HRESULT TDispatchObject::GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT TDispatchObject::Invoke(DISPID, const GUID&, LCID, uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*, uint32_t*) {
  return E_NOTIMPL;
}

// ---- TTavixDriver ---------------------------------------------------------------------------

const char* const kDeviceActionNames[32] = {
    "None",           "PauseProcessor",       "ContinueProcessor",     "ResetProcessor",
    "SingleStepProcessor", "CompileProgram",  "DownloadProgram",       "StartDebug",
    "StartAttach",    "EndDebug",             "ShowAboutDialog",       "ResetDevice",
    "DownloadToDevice", "ShowViewer",         "ChooseAndDownload",     "ProcessorMenu",
    "ConfigureJTAGIdMapping", "Flash_ResetDevice", "Flash_ConfigureDevice", "Flash_DownloadDevice",
    "Flash_ChooseAndDownload", "WriteToFlash", "ConfigureFpgaProject", "ShowConfiguration",
    "ShowCurrentSense", "",                   "CustomAction",          "OnDblClick",
    "HideViewer",     "UpdateFirmware",       "ToggleFirmwareAutoUpdate", "VerifyProgram"};

TTavixDriver::TTavixDriver(const std::string& coreExt) : FCoreExt(coreExt) {
  // The module's windows belong to the host's application.
  if (const IClient client = HostClient()) SetModuleApplicationHandle(client.GetApplicationHandle());
}

TTavixDriver::~TTavixDriver() {
  // Nothing in the module destroys a driver while the host runs; this is for owners that
  // build one on their own (tests, benchmarks).
  delete FDeviceImage;
  delete FDeviceAboutImage;
  try {
    ReleaseResources();
  } catch (...) {
  }
}

HRESULT TTavixDriver::QueryInterface(const GUID& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_ISupportService) *object = static_cast<ISupportService*>(this);
  else if (iid == IID_IDeviceMemoryAccess) *object = static_cast<IDeviceMemoryAccess*>(this);
  else if (iid == IID_IDispatch) *object = static_cast<IDispatch*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  return S_OK;  // no count to take
}

bool TTavixDriver::SetTavixDevice(const ITavixDevice& device) {
  FTavixDevice = device;
  if (FRackForm && device.Empty()) ReleaseResources();
  return true;
}

IProcessFlow TTavixDriver::FlowStage_Build() {
  if (FBuildFlow.Empty()) FBuildFlow = CreateFlow(eFlowKind_Build);
  return FBuildFlow;
}

IProcessFlow TTavixDriver::FlowStage_Download() {
  if (FDownloadFlow.Empty()) FDownloadFlow = CreateFlow(eFlowKind_Download);
  return FDownloadFlow;
}

IProcessFlow TTavixDriver::CreateFlow(int32_t) { return {}; }

bool TTavixDriver::GetProcessorInformation(IProcessorInformation&) { return false; }

bool TTavixDriver::Supports(const std::string& kind) {
  if (SameText(kind, "CPLD")) return SupportsCPLD();
  if (SameText(kind, "FPGA")) return SupportsFPGA();
  if (SameText(kind, "PROM")) return SupportsPROM();
  if (SameText(kind, "PROC")) return SupportsPROC();
  if (SameText(kind, "SPROC")) return SupportsSPROC();
  if (SameText(kind, "GPROC")) return SupportsGPROC();

  TParameterList parameters;
  parameters.SetState(kind);
  std::string value;
  if (parameters.GetState_ParameterAsString("ToolchainName", value)) return false;
  std::string action = kind;
  if (parameters.GetState_ParameterAsString("Action", value)) action = value;
  // Processor, debugging and flash actions are not this driver's.
  static constexpr int kUnsupported[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 17, 18, 19, 20, 31};
  for (int ordinal : kUnsupported)
    if (SameText(action, kDeviceActionNames[ordinal])) return false;
  return true;
}

void TTavixDriver::CustomAction_GetState(int32_t, bool& state1, bool&, bool& state3, void*, void*) {
  state1 = false;
  state3 = false;
}

bool TTavixDriver::EPM_Download(const std::string&, const std::string& fileName, const std::string&) {
  if (!ResetDevice()) return false;
  ProgramDevice(fileName);
  return GetDeviceState() == 2;
}

std::string TTavixDriver::GetFolder_Library() { return GetModuleLibraryFolder(); }

// ---- chain device and channel ----

IJTagChannel TTavixDriver::GetChannel() {
  return FTavixDevice ? FTavixDevice.GetJTagChannel() : IJTagChannel();
}

int32_t TTavixDriver::GetChainIndex() { return FTavixDevice ? FTavixDevice.GetChainPosition() : 0; }

IJTagDevice TTavixDriver::GetOwnJTagDevice() {
  const IJTagChannel channel = GetChannel();
  return channel ? channel.GetJTagDevice(GetChainIndex()) : IJTagDevice();
}

void TTavixDriver::OpenChannel() {
  if (const IJTagChannel channel = GetChannel()) channel.BeginChannelAccess();
}

void TTavixDriver::CloseChannel() {
  if (const IJTagChannel channel = GetChannel()) channel.EndChannelAccess();
}

void TTavixDriver::BeginDeviceAccess() {
  OpenChannel();
  FTavixDevice.BeginRegisterAccess();
}

void TTavixDriver::EndDeviceAccess() {
  FTavixDevice.EndRegisterAccess();
  CloseChannel();
}

void TTavixDriver::WriteControlRegister() { FTavixDevice.WriteDebugRegister(0x40, 8, FControlRegister); }

void TTavixDriver::ReadControlRegister() {
  FControlRegister = static_cast<uint8_t>(FTavixDevice.ReadDebugRegister(0x40, 8));
}

namespace {
// Keeps a channel access open for the life of a scope, also when a step fails.
class TChannelBracket {
 public:
  explicit TChannelBracket(TTavixDriver& driver) : FDriver(driver) { FDriver.OpenChannel(); }
  ~TChannelBracket() {
    try {
      FDriver.CloseChannel();
    } catch (...) {
    }
  }

 private:
  TTavixDriver& FDriver;
};
}  // namespace

void TTavixDriver::ResetTavixRegisters() {
  TChannelBracket bracket(*this);
  if (const IJTagChannel channel = GetChannel()) channel.LoadInstruction(2, GetChainIndex());
}

// ---- processor control ----

void TTavixDriver::PauseProcessor() {
  TChannelBracket bracket(*this);
  ReadControlRegister();
  for (uint8_t mask : {kStepCounterBreakpointEnable, kReset, kDebugAcknowledge, kDebugStep, kDebuggerProgramSelect})
    SetControlBit(mask, false);
  SetControlBit(kDebugEnable, true);
  SetControlBit(kDebugRequest, true);
  WriteControlRegister();
  ReadControlRegister();
}

void TTavixDriver::ContinueProcessor() {
  TChannelBracket bracket(*this);
  ReadControlRegister();
  FControlRegister &= 0x40;  // all seven properties cleared; bit 6 has none
  SetControlBit(kDebugEnable, true);
  SetControlBit(kDebugRequest, true);
  WriteControlRegister();
  SetControlBit(kDebugRequest, false);
  WriteControlRegister();
  ReadControlRegister();
}

void TTavixDriver::ResetProcessor() {
  TChannelBracket bracket(*this);
  PauseProcessor();
  SetControlBit(kReset, true);
  WriteControlRegister();
  SetControlBit(kReset, false);
  WriteControlRegister();
  ReadControlRegister();
}

void TTavixDriver::SingleStepProcessor() {
  TChannelBracket bracket(*this);
  PauseProcessor();
  ReadControlRegister();
  SetControlBit(kReset, false);
  SetControlBit(kDebugRequest, true);
  SetControlBit(kDebugEnable, true);
  WriteControlRegister();
  SetControlBit(kDebugStep, true);
  WriteControlRegister();
  ReadControlRegister();
}

void TTavixDriver::RunSteps(int32_t count) {
  TChannelBracket bracket(*this);
  ReadControlRegister();
  PauseProcessor();
  SetControlBit(kReset, false);
  SetControlBit(kDebugRequest, true);
  SetControlBit(kDebugEnable, true);
  WriteControlRegister();
  SetControlBit(kDebugStep, true);
  for (int32_t i = 0; i < count; ++i) WriteControlRegister();
  ReadControlRegister();
}

void TTavixDriver::RunSingleStepInSubstitutionRegister() {
  TChannelBracket bracket(*this);
  ReadControlRegister();
  SetControlBit(kReset, false);
  SetControlBit(kDebugRequest, true);
  SetControlBit(kDebugEnable, true);
  WriteControlRegister();
  SetControlBit(kDebuggerProgramSelect, true);
  WriteControlRegister();
  SetControlBit(kDebugStep, true);
  WriteControlRegister();
  SetControlBit(kDebuggerProgramSelect, false);
  SetControlBit(kDebugStep, false);
  WriteControlRegister();
  ReadControlRegister();
}

bool TTavixDriver::ProcessorIsPaused() {
  TChannelBracket bracket(*this);
  ReadControlRegister();
  return GetControlBit(kDebugEnable) && GetControlBit(kDebugAcknowledge);
}

bool TTavixDriver::ProcessorIsReset() {
  TChannelBracket bracket(*this);
  ReadControlRegister();
  return GetControlBit(kReset);
}

bool TTavixDriver::ProcessorIsRunning() { return !ProcessorIsReset() && !ProcessorIsPaused(); }

// ---- processor registers ----

uint32_t TTavixDriver::AccessProcessorRegister(int32_t index, uint32_t value, bool write) {
  if (GetChannel().Empty()) return 0;
  const int32_t position = GetChainIndex();
  GetChannel().LoadInstruction(GetRegisterAddressInstruction(), position);
  GetChannel().MoveTapState(eTapState_RunTestIdle, eTapState_ShiftDR);
  const uint32_t address = kProcessorRegisterAddress[index] + (write ? 0x80u : 0u);
  GetChannel().ShiftDataRegister(address, 8, position);
  GetChannel().MoveTapState(eTapState_Exit1DR, eTapState_RunTestIdle);
  GetChannel().LoadInstruction(GetRegisterDataInstruction(), position);
  GetChannel().MoveTapState(eTapState_RunTestIdle, eTapState_ShiftDR);
  const auto width = static_cast<int32_t>(GetProcessorRegisterWidth(index));
  const uint32_t answer = GetChannel().ExchangeDataRegister(write ? value : 0, width, position);
  GetChannel().MoveTapState(eTapState_Exit1DR, eTapState_RunTestIdle);
  return answer;
}

std::string TTavixDriver::AccessProcessorRegisterText(int32_t index, const std::string& value, bool write) {
  if (GetChannel().Empty()) return "0";
  const int32_t position = GetChainIndex();
  GetChannel().LoadInstruction(GetRegisterAddressInstruction(), position);
  GetChannel().MoveTapState(eTapState_RunTestIdle, eTapState_ShiftDR);
  const uint32_t address = kProcessorRegisterAddress[index] + (write ? 0x80u : 0u);
  GetChannel().ShiftDataRegister(address, 8, position);
  GetChannel().MoveTapState(eTapState_Exit1DR, eTapState_RunTestIdle);
  GetChannel().LoadInstruction(GetRegisterDataInstruction(), position);
  GetChannel().MoveTapState(eTapState_RunTestIdle, eTapState_ShiftDR);
  // The rightmost `width` characters, padded on the left with "0" to exactly that width.
  const auto width = static_cast<size_t>(GetProcessorRegisterWidth(index));
  std::string text = write ? value : std::string("0");
  if (text.size() > width) text = text.substr(text.size() - width);
  text.insert(0, width - text.size(), '0');
  const std::string answer = GetChannel().ExchangeDataRegisterText(text, position);
  GetChannel().MoveTapState(eTapState_Exit1DR, eTapState_RunTestIdle);
  return answer;
}

namespace {
bool RegisterInRange(int32_t index, int32_t count) {
  // The address table has eight entries; a driver exposes at most these.
  return index >= 0 && index < count && index < 8;
}
}  // namespace

uint32_t TTavixDriver::GetProcessorRegisterValue(int32_t index) {
  if (!RegisterInRange(index, GetProcessorRegisterCount())) return 0;
  return AccessProcessorRegister(index, 0, false);
}

bool TTavixDriver::SetProcessorRegisterValue(int32_t index, uint32_t value) {
  if (!RegisterInRange(index, GetProcessorRegisterCount())) return false;
  AccessProcessorRegister(index, value, true);
  return true;
}

std::string TTavixDriver::GetProcessorRegisterWideValue(int32_t index) {
  if (!RegisterInRange(index, GetProcessorRegisterCount())) return "0";
  return AccessProcessorRegisterText(index, "0", false);
}

bool TTavixDriver::SetProcessorRegisterWideValue(int32_t index, const std::string& value) {
  if (!RegisterInRange(index, GetProcessorRegisterCount())) return false;
  AccessProcessorRegisterText(index, value, true);
  return true;
}

// ---- embedded constraint files ----

std::string TTavixDriver::FindConstraintFile(const std::string& name) {
  if (name.empty()) return {};
  const std::string candidates[] = {
      name,
      GetModuleFolder() + "Library/Embedded/" + name,
      GetClientFolder4().empty() ? std::string() : GetClientFolder4() + name,
      GetToolchainFolder().empty() ? std::string() : GetToolchainFolder() + "Library/Embedded/" + name,
  };
  for (const std::string& path : candidates)
    if (!path.empty() && FileExists(path)) return path;
  return {};
}

std::string TTavixDriver::GetEmbeddedConstraintFile() {
  if (!FCustomConstraintFile.empty()) {
    const std::string found = FindConstraintFile(FCustomConstraintFile);
    if (!found.empty()) return found;
  }
  const std::string ext = ".Constraint";
  for (const std::string& stem :
       {GetDeviceName(), GetDeviceParameter("ProcessorDeviceName"), GetBaseName(), GetFamilyName()}) {
    const std::string found = FindConstraintFile(stem + ext);
    if (!found.empty()) return found;
  }
  IProcessorInformation info;
  if (GetProcessorInformation(info) && info) {
    const std::string found = FindConstraintFile(info.GetProcessorDeviceName() + ext);
    if (!found.empty()) return found;
  }
  return {};
}

}  // namespace tavix
