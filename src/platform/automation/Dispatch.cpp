#include "platform/automation/Dispatch.h"

#include <algorithm>

namespace tavix {

void TDispArgList::Add(ByRefString ref) {
  FRefTexts.push_back(AllocBstr(ref.Target ? *ref.Target : std::string()));
  Variant v;
  VARIANT* raw = v.Out();
  raw->vt = VT_BSTR | VT_BYREF;
  raw->pbstrVal = &FRefTexts.back();
  FRefs.push_back({FArgs.size(), ref.Target, nullptr});
  FArgs.push_back(std::move(v));
}

void TDispArgList::Add(ByRefBool ref) {
  FRefFlags.push_back(ref.Target && *ref.Target ? VARIANT_TRUE : VARIANT_FALSE);
  Variant v;
  VARIANT* raw = v.Out();
  raw->vt = VT_BOOL | VT_BYREF;
  raw->pboolVal = &FRefFlags.back();
  FRefs.push_back({FArgs.size(), nullptr, ref.Target});
  FArgs.push_back(std::move(v));
}

void TDispArgList::Add(ByRefInt ref) {
  FRefInts.push_back(ref.Target ? *ref.Target : 0);
  Variant v;
  VARIANT* raw = v.Out();
  raw->vt = VT_I4 | VT_BYREF;
  raw->plVal = &FRefInts.back();
  FRefs.push_back({FArgs.size(), nullptr, nullptr, ref.Target});
  FArgs.push_back(std::move(v));
}

TDispArgList::~TDispArgList() {
  for (BSTR text : FRefTexts) SysFreeString(text);
}

Variant TDispArgList::Invoke(IDispatch* object, DISPID id, uint16_t flags) {
  if (!object) throw EOleError(E_POINTER, "call on an absent automation object");
  // DISPPARAMS holds the arguments last-first; the variants stay owned by FArgs.
  std::vector<VARIANT> reversed;
  reversed.reserve(FArgs.size());
  for (auto it = FArgs.rbegin(); it != FArgs.rend(); ++it) reversed.push_back(it->Raw());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                    static_cast<uint32_t>(reversed.size()), 0};
  Variant result;
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result.Out(), nullptr, nullptr);
  for (const RefSlot& slot : FRefs) {
    const VARIANT& v = reversed[reversed.size() - 1 - slot.Index];
    if (slot.Text) *slot.Text = BstrToString(*v.pbstrVal);
    if (slot.Flag) *slot.Flag = *v.pboolVal != 0;
    if (slot.Int) *slot.Int = *v.plVal;
  }
  if (Failed(hr)) throw EOleError(hr, "call of DISPID " + std::to_string(id) + " failed with " + HResultText(hr));
  return result;
}

VARIANT_BOOL* TDispArgs::BoolRef(uint32_t i) const {
  const VARIANT& v = Arg(i);
  if (v.vt == (VT_BOOL | VT_BYREF) && v.pboolVal) return v.pboolVal;
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal && v.pvarVal->vt == VT_BOOL) return &v.pvarVal->boolVal;
  throw EOleError(DISP_E_TYPEMISMATCH);
}

int32_t* TDispArgs::IntRef(uint32_t i) const {
  const VARIANT& v = Arg(i);
  if (v.vt == (VT_I4 | VT_BYREF) && v.plVal) return v.plVal;
  if (v.vt == (VT_INT | VT_BYREF) && v.pintVal) return v.pintVal;
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal && v.pvarVal->vt == VT_I4) return &v.pvarVal->lVal;
  throw EOleError(DISP_E_TYPEMISMATCH);
}

BSTR* TDispArgs::StrRef(uint32_t i) const {
  const VARIANT& v = Arg(i);
  if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal) return v.pbstrVal;
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal && v.pvarVal->vt == VT_BSTR) return &v.pvarVal->bstrVal;
  throw EOleError(DISP_E_TYPEMISMATCH);
}

void SetResultEmpty(VARIANT* result) {
  if (result) VariantClear(result);
}

void SetResultInt(VARIANT* result, int32_t value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_I4;
  result->lVal = value;
}

void SetResultInt64(VARIANT* result, int64_t value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_I8;
  result->llVal = value;
}

void SetResultBool(VARIANT* result, bool value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetResultDouble(VARIANT* result, double value) {
  if (!result) return;
  VariantClear(result);
  result->vt = VT_R8;
  result->dblVal = value;
}

void SetResultString(VARIANT* result, std::string_view value) {
  if (!result) return;
  BSTR text = AllocBstr(value);
  VariantClear(result);
  result->vt = VT_BSTR;
  result->bstrVal = text;
}

void SetResultDispatch(VARIANT* result, IDispatch* value) {
  if (!result) return;
  if (value) value->AddRef();
  VariantClear(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = value;
}

void SetResultUnknown(VARIANT* result, IUnknown* value) {
  if (!result) return;
  if (value) value->AddRef();
  VariantClear(result);
  result->vt = VT_UNKNOWN;
  result->punkVal = value;
}

void SetResultVariant(VARIANT* result, const Variant& value) {
  if (!result) return;
  OleCheck(VariantCopy(result, &value.Raw()));
}

}  // namespace tavix
