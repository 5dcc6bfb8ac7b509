// The root of the stand-in host's automation objects: a reference-counted IDispatch that
// answers calls by DISPID. Each host object derives from it, keeps its own state and overrides
// `DoInvoke` with one `case` per DISPID it answers, reading arguments with TDispArgs.
#pragma once

#include <atomic>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/automation/Dispatch.h"

namespace tavix::sim {

// A failure of the host's own C++ API (a module that does not load, a bad configuration file,
// a second host in one process). Automation calls never raise it: they answer an HRESULT.
class ESimHostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HostObject : public IDispatch {
 public:
  HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override;
  int32_t TAVIX_STDCALL AddRef() override;
  int32_t TAVIX_STDCALL Release() override;

  // The host offers no type information and no name binding: callers use fixed DISPIDs.
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t* count) override;
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t index, LCID lcid, void** typeInfo) override;
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID& iid, OLECHAR** names, uint32_t count, LCID lcid,
                                      DISPID* ids) override;
  // Runs DoInvoke at the boundary: an unknown DISPID answers DISP_E_MEMBERNOTFOUND, an
  // EOleError its code, anything else E_UNEXPECTED.
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excepInfo, uint32_t* argErr) override;

  IDispatch* AsDispatch() { return this; }
  int32_t RefCount() const { return FRefCount.load(); }

 protected:
  virtual ~HostObject() = default;

  // Answers one call; false for a DISPID the object does not have. Bad arguments raise
  // EOleError (TDispArgs does so for a missing or unconvertible argument).
  virtual bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) = 0;
  // Interfaces beyond IUnknown and IDispatch (for example the JTAG lines of a channel).
  virtual void* FindInterface(const GUID& iid);

 private:
  std::atomic<int32_t> FRefCount{0};
};

// Creates a host object owned by the returned reference.
template <class T, class... A>
ComPtr<T> MakeHostObject(A&&... args) {
  return ComPtr<T>(new T(std::forward<A>(args)...));
}

// Raises E_INVALIDARG with a message when a condition on a caller's argument does not hold.
void Expect(bool condition, const char* what);

// The same object? Compared by IUnknown identity, as the automation platform compares objects.
bool SameObject(IUnknown* a, IUnknown* b);

// Calls `object` by DISPID at the host's side of a callback: failures are answered, never raised.
template <class... A>
HRESULT CallBack(IDispatch* object, DISPID id, A&&... args) {
  return GuardedCall([&] {
    DispCall(object, id, std::forward<A>(args)...);
    return S_OK;
  });
}

}  // namespace tavix::sim
