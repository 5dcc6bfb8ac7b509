// A small automation object for tests: records every call (DISPID and arguments as text) and
// answers from a table of results per DISPID. Used where a test checks exactly which calls a
// unit makes on a host object.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace tavix::testing {

struct TRecordedCall {
  DISPID Id;
  std::vector<Variant> Args;  // caller order
  std::string Text() const {
    std::string t = std::to_string(Id) + "(";
    for (size_t i = 0; i < Args.size(); ++i) {
      if (i) t += ",";
      try {
        t += Args[i].Type() == VT_DISPATCH ? std::string("obj") : Args[i].AsString();
      } catch (const EOleError&) {
        t += "?";
      }
    }
    return t + ")";
  }
};

class TRecordingDispatch : public IDispatch {
 public:
  using THandler = std::function<Variant(const std::vector<Variant>&)>;

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    if (Extra && iid == ExtraIid) {
      *object = Extra;
      Extra->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  int32_t TAVIX_STDCALL AddRef() override { return ++Refs; }
  int32_t TAVIX_STDCALL Release() override { return --Refs; }  // owned by the test
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t, LCID, void**) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO*, uint32_t*) override {
    TRecordedCall call{id, {}};
    for (uint32_t i = params ? params->cArgs : 0; i > 0; --i) {
      Variant v;
      VariantCopy(v.Out(), &params->rgvarg[i - 1]);
      call.Args.push_back(std::move(v));
    }
    Calls.push_back(call);
    if (auto it = Failures.find(id); it != Failures.end()) return it->second;
    if (auto it = Handlers.find(id); it != Handlers.end()) {
      if (result) SetResultVariant(result, it->second(call.Args));
    } else if (auto r = Results.find(id); r != Results.end()) {
      if (result) SetResultVariant(result, r->second);
    }
    return S_OK;
  }

  std::vector<std::string> CallTexts() const {
    std::vector<std::string> texts;
    for (const auto& c : Calls) texts.push_back(c.Text());
    return texts;
  }

  std::map<DISPID, Variant> Results;
  std::map<DISPID, THandler> Handlers;
  std::map<DISPID, HRESULT> Failures;
  std::vector<TRecordedCall> Calls;
  int32_t Refs = 1;
  IUnknown* Extra = nullptr;  // answered for ExtraIid
  GUID ExtraIid{};
};

}  // namespace tavix::testing
