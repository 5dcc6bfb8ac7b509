// Both sides of a late-bound call.
//  - Caller side: `DispCall(object, dispid, args...)` invokes an IDispatch by DISPID with typed
//    arguments (reversed into DISPPARAMS) and raises EOleError on a failure code.
//  - Callee side: `TDispArgs` reads the arguments of an incoming Invoke by position with the
//    contract's conversions, and the `SetResult...` functions fill the caller's VarResult.
#pragma once

#include <deque>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/automation/AutoTypes.h"
#include "platform/automation/Coercion.h"

namespace tavix {

// ---- caller side ----------------------------------------------------------------------------

// A text argument passed by reference (VT_BSTR|VT_BYREF); the callee's value is written back.
struct ByRefString {
  std::string* Target;
};

// A Boolean argument passed by reference (VT_BOOL|VT_BYREF); written back after the call.
struct ByRefBool {
  bool* Target;
};

// A 32-bit integer argument passed by reference (VT_I4|VT_BYREF); written back after the call.
struct ByRefInt {
  int32_t* Target;
};

// Anything that carries an IDispatch reference (host and module records) can be an argument.
template <class T>
concept DispatchCarrier = requires(const T& t) {
  { t.Dispatch() } -> std::convertible_to<IDispatch*>;
};

class TDispArgList {
 public:
  TDispArgList() = default;
  TDispArgList(const TDispArgList&) = delete;
  TDispArgList& operator=(const TDispArgList&) = delete;

  void Add(int32_t value) { FArgs.push_back(Variant::FromInt(value)); }
  void Add(uint32_t value) { FArgs.push_back(Variant::FromUInt(value)); }
  void Add(int64_t value) { FArgs.push_back(Variant::FromInt64(value)); }
  void Add(bool value) { FArgs.push_back(Variant::FromBool(value)); }
  void Add(double value) { FArgs.push_back(Variant::FromDouble(value)); }
  void Add(std::string_view value) { FArgs.push_back(Variant::FromString(value)); }
  void Add(const std::string& value) { Add(std::string_view(value)); }
  void Add(const char* value) { Add(std::string_view(value)); }
  void Add(IDispatch* value) { FArgs.push_back(Variant::FromDispatch(value)); }
  void Add(std::nullptr_t) { Add(static_cast<IDispatch*>(nullptr)); }
  void Add(const ComPtr<IDispatch>& value) { Add(value.Get()); }
  void Add(const Variant& value) { FArgs.push_back(value); }
  template <DispatchCarrier R>
  void Add(const R& record) {
    Add(record.Dispatch());
  }
  void Add(ByRefString ref);
  void Add(ByRefBool ref);
  void Add(ByRefInt ref);

  // Invokes and writes back by-reference arguments; raises on a failure code.
  Variant Invoke(IDispatch* object, DISPID id, uint16_t flags);

 private:
  struct RefSlot {
    size_t Index;
    std::string* Text;
    bool* Flag;
    int32_t* Int = nullptr;
  };
  std::vector<Variant> FArgs;
  std::deque<BSTR> FRefTexts;
  std::deque<VARIANT_BOOL> FRefFlags;
  std::deque<int32_t> FRefInts;
  std::vector<RefSlot> FRefs;

 public:
  ~TDispArgList();
};

// Calls `object` by DISPID (as a method that may answer a value). An empty object raises E_POINTER.
template <class... A>
Variant DispCall(IDispatch* object, DISPID id, A&&... args) {
  TDispArgList list;
  (list.Add(std::forward<A>(args)), ...);
  return list.Invoke(object, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
}

// ---- callee side ----------------------------------------------------------------------------

// Reads the arguments of an incoming call by caller position: argument i is rgvarg[cArgs-1-i].
// Asking for an argument that is not there raises DISP_E_BADPARAMCOUNT; nothing outside
// rgvarg is ever read.
class TDispArgs {
 public:
  explicit TDispArgs(const DISPPARAMS* params) : FParams(params) {}

  uint32_t Count() const { return FParams && FParams->rgvarg ? FParams->cArgs : 0; }
  void Require(uint32_t count) const {
    if (Count() < count) throw EOleError(DISP_E_BADPARAMCOUNT);
  }
  const VARIANT& Arg(uint32_t i) const {
    Require(i + 1);
    return FParams->rgvarg[FParams->cArgs - 1 - i];
  }
  VARIANT& MutableArg(uint32_t i) const {
    Require(i + 1);
    return FParams->rgvarg[FParams->cArgs - 1 - i];
  }

  int32_t Int(uint32_t i) const { return VariantToInt32(Arg(i)); }
  int64_t Int64(uint32_t i) const { return VariantToInt64(Arg(i)); }
  uint32_t Low32(uint32_t i) const { return VariantToLow32(Arg(i)); }
  double Double(uint32_t i) const { return VariantToDouble(Arg(i)); }
  bool Bool(uint32_t i) const { return VariantToBool(Arg(i)); }
  std::string Str(uint32_t i) const { return VariantToString(Arg(i)); }
  ComPtr<IDispatch> Object(uint32_t i) const { return VariantToDispatch(Arg(i)); }
  ComPtr<IUnknown> Unknown(uint32_t i) const { return VariantToUnknown(Arg(i)); }
  // The VARIANT_BOOL a VT_BOOL|VT_BYREF argument points at (DISP_E_TYPEMISMATCH otherwise).
  VARIANT_BOOL* BoolRef(uint32_t i) const;
  // The text a by-reference string argument points at (VT_BSTR|VT_BYREF or a by-reference
  // variant holding text); DISP_E_TYPEMISMATCH otherwise.
  BSTR* StrRef(uint32_t i) const;
  // The integer a VT_I4|VT_BYREF argument (or a by-reference variant holding VT_I4) points at;
  // DISP_E_TYPEMISMATCH otherwise.
  int32_t* IntRef(uint32_t i) const;

 private:
  const DISPPARAMS* FParams;
};

// Result setters: each leaves a null VarResult alone and clears what it held before.
void SetResultEmpty(VARIANT* result);
void SetResultInt(VARIANT* result, int32_t value);
inline void SetResultUInt(VARIANT* result, uint32_t value) { SetResultInt(result, static_cast<int32_t>(value)); }
void SetResultInt64(VARIANT* result, int64_t value);
void SetResultBool(VARIANT* result, bool value);
void SetResultDouble(VARIANT* result, double value);
void SetResultString(VARIANT* result, std::string_view value);
void SetResultDispatch(VARIANT* result, IDispatch* value);  // takes a reference of its own
void SetResultUnknown(VARIANT* result, IUnknown* value);    // VT_UNKNOWN; a reference of its own
void SetResultVariant(VARIANT* result, const Variant& value);

// Runs an operation at an automation boundary: EOleError answers its code, any other exception
// E_UNEXPECTED. Nothing escapes.
template <class F>
HRESULT GuardedCall(F&& body) noexcept {
  try {
    return body();
  } catch (const EOleError& e) {
    return e.Code();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Runs an operation body inside a dispatcher: any exception becomes EOleError(E_UNEXPECTED),
// the failure code every operation reports whatever went wrong inside it.
template <class F>
decltype(auto) RunOperation(F&& body) {
  try {
    return body();
  } catch (...) {
    throw EOleError(E_UNEXPECTED);
  }
}

}  // namespace tavix
