// Calls an IDispatch by DISPID the way a host does, answering the code instead of raising, so
// tests can look at failure codes and at what was (or was not) written into VarResult.
#pragma once

#include <vector>

#include "platform/automation/Dispatch.h"

namespace tavix::testing {

struct TInvokeResult {
  HRESULT Code;
  Variant Value;
};

// `args` in caller order; they are reversed into DISPPARAMS.
inline TInvokeResult InvokeRaw(IDispatch* object, DISPID id, std::vector<Variant> args = {},
                               Variant initial = Variant()) {
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->Raw());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  TInvokeResult r{S_OK, std::move(initial)};
  VARIANT out = r.Value.Detach();
  r.Code = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &out, nullptr, nullptr);
  *r.Value.Out() = out;
  return r;
}

}  // namespace tavix::testing
