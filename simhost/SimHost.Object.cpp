#include "simhost/SimHost.Object.h"

namespace tavix::sim {

HRESULT HostObject::QueryInterface(const GUID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = FindInterface(iid);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

void* HostObject::FindInterface(const GUID& iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch) return static_cast<IDispatch*>(this);
  return nullptr;
}

int32_t HostObject::AddRef() { return ++FRefCount; }

int32_t HostObject::Release() {
  const int32_t count = --FRefCount;
  if (count == 0) delete this;
  return count;
}

HRESULT HostObject::GetTypeInfoCount(uint32_t* count) {
  if (count) *count = 0;
  return E_NOTIMPL;
}

HRESULT HostObject::GetTypeInfo(uint32_t, LCID, void** typeInfo) {
  if (typeInfo) *typeInfo = nullptr;
  return E_NOTIMPL;
}

HRESULT HostObject::GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT HostObject::Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO*, uint32_t*) {
  // Keep the object alive while it answers: a callback inside may drop the caller's last reference.
  const ComPtr<HostObject> self(this);
  return GuardedCall([&] { return DoInvoke(id, TDispArgs(params), result) ? S_OK : DISP_E_MEMBERNOTFOUND; });
}

void Expect(bool condition, const char* what) {
  if (!condition) throw EOleError(E_INVALIDARG, what);
}

bool SameObject(IUnknown* a, IUnknown* b) {
  if (a == b) return true;
  if (!a || !b) return false;
  ComPtr<IUnknown> ua, ub;
  if (Failed(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ua.Out())))) return false;
  if (Failed(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ub.Out())))) return false;
  return ua.Get() == ub.Get();
}

}  // namespace tavix::sim
