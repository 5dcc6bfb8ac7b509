#include "plugin/Opal.Types.h"

namespace tavix {

HRESULT TAbstractSupportService::QueryInterface(const GUID& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
  } else if (iid == IID_ISupportService) {
    *object = static_cast<ISupportService*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

int32_t TAbstractSupportService::AddRef() { return ++FRefCount; }

int32_t TAbstractSupportService::Release() {
  const int32_t count = --FRefCount;
  if (count == 0) delete this;
  return count;
}

HRESULT TAbstractSupportService::GetTypeInfoCount(uint32_t*) { return E_NOTIMPL; }
HRESULT TAbstractSupportService::GetTypeInfo(uint32_t, LCID, void**) { return E_NOTIMPL; }
HRESULT TAbstractSupportService::GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT TAbstractSupportService::Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS* params,
                                        VARIANT* result, EXCEPINFO*, uint32_t*) {
  return GuardedCall([&] {
    return DoInvoke(id, TDispArgs(params), result) ? S_OK : E_NOTIMPL;
  });
}

bool TAbstractSupportService::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  if (id != DISPID_SupportsService) return false;
  const std::string name = args.Str(0);
  SetResultBool(result, RunOperation([&] { return SupportsService(name); }));
  return true;
}

HRESULT TAbstractSupportService::SupportsService(BSTR serviceName, VARIANT_BOOL* result) {
  return GuardedCall([&] {
    const bool answer = RunOperation([&] { return SupportsService(BstrToString(serviceName)); });
    if (result) *result = answer ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

bool TAbstractSupportService::SupportsService(const std::string&) { return false; }

bool QueryService(IUnknown* candidate, const std::string& serviceName, ComPtr<IUnknown>& service) {
  service.Reset();
  if (!candidate) return false;
  ComPtr<ISupportService> support;
  if (Failed(candidate->QueryInterface(IID_ISupportService, reinterpret_cast<void**>(support.Out()))) || !support)
    return false;
  Bstr name(serviceName);
  VARIANT_BOOL answer = VARIANT_FALSE;
  OleCheck(support->SupportsService(name.Get(), &answer));
  if (!answer) return false;
  service = ComPtr<IUnknown>(candidate);
  return true;
}

}  // namespace tavix
