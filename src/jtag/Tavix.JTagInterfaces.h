// The host's JTAG objects as the module calls them: the channel (and its pin-level lines),
// the JTAG devices of the chain, the chain-device slot each driver serves, and the device
// manager's family parameters.
#pragma once

#include "host/Opal.Interfaces.h"

namespace tavix {

// TAP state numbers used by the module.
enum TTapState : int32_t {
  eTapState_RunTestIdle = 2,
  eTapState_ShiftDR = 5,
  eTapState_Exit1DR = 6,
};

constexpr GUID IID_IJTagLines = {0xF07D3E29, 0x9EE8, 0x4972, {0x8D, 0xE0, 0xCC, 0xC7, 0x40, 0xE0, 0x39, 0x59}};

// Pin-level access to the cable behind a channel. Only SetTck, SetTdi, SetTms, GetTdo, Flush
// and Capture are called by the module; the other slots are there for the layout.
struct IJTagLines : IUnknown {
  virtual HRESULT TAVIX_STDCALL GetLineCount(int32_t* count) = 0;  // 1
  virtual HRESULT TAVIX_STDCALL Reset() = 0;                        // 2
  virtual HRESULT TAVIX_STDCALL SetTck(int32_t level) = 0;          // 3
  virtual HRESULT TAVIX_STDCALL GetTck(int32_t* level) = 0;         // 4
  virtual HRESULT TAVIX_STDCALL SetTdi(int32_t level) = 0;          // 5
  virtual HRESULT TAVIX_STDCALL SetTms(int32_t level) = 0;          // 6
  virtual HRESULT TAVIX_STDCALL SetTrst(int32_t level) = 0;         // 7
  virtual HRESULT TAVIX_STDCALL GetTdo(uint8_t* bit) = 0;           // 8
  virtual HRESULT TAVIX_STDCALL GetTms(int32_t* level) = 0;         // 9
  virtual HRESULT TAVIX_STDCALL GetTdi(int32_t* level) = 0;         // 10
  virtual HRESULT TAVIX_STDCALL Flush() = 0;                        // 11
  virtual HRESULT TAVIX_STDCALL Capture() = 0;                      // 12
};

TAVIX_RECORD(IJtagPort)
};

TAVIX_RECORD(IJTagDevice)
  THostRecord GetEntity() const { return THostRecord(Call(503550).AsDispatch()); }
  THostRecord GetJTagDeviceInformation() const { return THostRecord(Call(503551).AsDispatch()); }
  int32_t GetGenericKey() const { return Call(503552).AsInt(); }
  int32_t GetGenericSubKey() const { return Call(503556).AsInt(); }
  std::string GetJTagDeviceName() const { return Call(503558).AsString(); }
  bool ScanBoundary(IDispatch* entity) const { return Call(503566, entity).AsBool(); }
  void RefreshEntity() const { Call(503572); }
};

TAVIX_RECORD(IJTagChannel)
  bool BeginChannelAccess() const { return Call(503425).AsBool(); }
  void EndChannelAccess() const { Call(503426); }
  int32_t GetChainDeviceCount() const { return Call(503578).AsInt(); }
  IJTagDevice GetJTagDevice(int32_t position) const { return IJTagDevice(Call(503579, position)); }
  void PrepareChain() const { Call(503581); }
  void LoadInstruction(int32_t code, int32_t position) const { Call(503601, code, position); }
  void GoToTapState(int32_t state) const { Call(503607, state); }
  void MoveTapState(int32_t from, int32_t to) const { Call(503605, from, to); }
  void ClockTms(int32_t level) const { Call(503608, level); }
  uint32_t ScanDataRegister(uint32_t value, int32_t bitCount, int32_t position) const {
    return Call(503599, value, bitCount, position).AsLow32();
  }
  void ShiftDataRegister(uint32_t value, int32_t bitCount, int32_t position) const {
    Call(503588, value, bitCount, position);
  }
  uint32_t ExchangeDataRegister(uint32_t value, int32_t bitCount, int32_t position) const {
    return Call(503589, value, bitCount, position).AsLow32();
  }
  std::string ExchangeDataRegisterText(const std::string& bits, int32_t position) const {
    return Call(503591, bits, position).AsString();
  }
  IJtagPort GetJtagPort() const { return IJtagPort(Call(503611)); }
  // The pin-level lines; an empty pointer when the channel has none.
  ComPtr<IJTagLines> GetLines() const { return Ref().As<IJTagLines>(IID_IJTagLines); }
};

TAVIX_RECORD(ITavixDevice)
  std::string GetDeviceName() const { return Call(503380).AsString(); }
  std::string GetDeviceDescription() const { return Call(503381).AsString(); }
  std::string GetFamilyName() const { return Call(503382).AsString(); }
  std::string GetLibraryName() const { return Call(503384).AsString(); }
  std::string GetVendorName() const { return Call(503407).AsString(); }
  std::string GetDownloadFileExtensions() const { return Call(503412).AsString(); }
  int32_t GetChainPosition() const { return Call(503629).AsInt(); }
  IJTagChannel GetJTagChannel() const { return IJTagChannel(Call(503630)); }
  THostRecord GetTavixDriver() const { return THostRecord(Call(503635).AsDispatch()); }
  bool ResetHardDevice() const { return Call(503636).AsBool(); }
  int32_t GetHardDeviceState() const { return Call(503637).AsInt(); }
  int32_t ProgramHardDevice(const std::string& file) const { return Call(503638, file).AsInt(); }
  THostRecord GetProcessorRegister(int32_t index) const { return THostRecord(Call(503661, index).AsDispatch()); }
  uint32_t ReadDebugRegister(int32_t reg, int32_t bitCount) const { return Call(503666, reg, bitCount).AsLow32(); }
  void WriteDebugRegister(int32_t reg, int32_t bitCount, uint32_t value) const {
    Call(503667, reg, bitCount, value);
  }
  void BeginRegisterAccess() const { Call(503675); }
  void EndRegisterAccess() const { Call(503676); }
};

TAVIX_RECORD(IDeviceFamily)
  bool GetFamilyBoolean(const std::string& parameter) const { return Call(503984, parameter).AsBool(); }
  int32_t GetFamilyInteger(const std::string& parameter) const { return Call(503985, parameter).AsInt(); }
  bool HasFamilyParameter(const std::string& parameter) const { return Call(503994, parameter).AsBool(); }
};

TAVIX_RECORD(IDeviceFamilyManager)
  IDeviceFamily GetDeviceFamily(const std::string& name) const { return IDeviceFamily(Call(503996, name)); }
};

TAVIX_RECORD(IDeviceManager)
  IDeviceFamilyManager GetDeviceFamilyManager() const { return IDeviceFamilyManager(Call(504014)); }
};

}  // namespace tavix
