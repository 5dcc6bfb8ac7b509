// The root of every automation object of the module: IDispatch without type information or
// name binding, plus the service query interface. Subclasses answer their own DISPIDs first
// and pass the rest to the inherited Invoke, so DISPID 1023 (supports service) works everywhere.
#pragma once

#include <atomic>
#include <string>

#include "platform/automation/Dispatch.h"

namespace tavix {

constexpr GUID IID_ISupportService = {0x1DEBA58E, 0x0DF5, 0x4081, {0x93, 0xE9, 0x0C, 0x17, 0x32, 0xE7, 0xDF, 0xAE}};
constexpr DISPID DISPID_SupportsService = 1023;

struct ISupportService : IUnknown {
  virtual HRESULT TAVIX_STDCALL SupportsService(BSTR serviceName, VARIANT_BOOL* result) = 0;
};

class TAbstractSupportService : public IDispatch, public ISupportService {
 public:
  TAbstractSupportService() = default;
  TAbstractSupportService(const TAbstractSupportService&) = delete;
  TAbstractSupportService& operator=(const TAbstractSupportService&) = delete;
  virtual ~TAbstractSupportService() = default;

  // IUnknown: an interfaced object whose last release destroys it.
  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override;
  int32_t TAVIX_STDCALL AddRef() override;
  int32_t TAVIX_STDCALL Release() override;

  // IDispatch: no type information, no names.
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t* count) override;
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t index, LCID lcid, void** typeInfo) override;
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID& iid, OLECHAR** names, uint32_t count, LCID lcid,
                                      DISPID* ids) override;
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excepInfo, uint32_t* argErr) override;

  // ISupportService
  HRESULT TAVIX_STDCALL SupportsService(BSTR serviceName, VARIANT_BOOL* result) override;
  // The service-name rule: each abstract service class answers true for its own name
  // (ignoring case) or whatever its base answers true for. The root answers false.
  virtual bool SupportsService(const std::string& serviceName);

  // The object's IDispatch (no reference taken).
  IDispatch* AsDispatch() { return static_cast<IDispatch*>(this); }
  int32_t RefCount() const { return FRefCount.load(); }

 protected:
  // Dispatches one call; answers false for a DISPID it does not handle (the caller then sees
  // E_NOTIMPL). The root handles DISPID 1023 only. Subclasses handle their DISPIDs and pass the
  // rest to their base. A failure raises EOleError.
  virtual bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result);

 private:
  std::atomic<int32_t> FRefCount{0};
};

// Asks `candidate` whether it supports the named service; on true copies it into `service`.
bool QueryService(IUnknown* candidate, const std::string& serviceName, ComPtr<IUnknown>& service);

}  // namespace tavix
