// What code on either side of the automation contract works with: the exception that carries
// an HRESULT, text conversion between UTF-8 (inside) and BSTR (at the boundary), and RAII
// owners for BSTR, interface references and VARIANT.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/automation/Automation.h"

namespace tavix {

// A failure code raised as an exception. Every automation boundary catches it and answers its
// code; anything else that escapes an operation answers E_UNEXPECTED.
class EOleError : public std::runtime_error {
 public:
  explicit EOleError(HRESULT code, const std::string& message = {});
  HRESULT Code() const { return FCode; }

 private:
  HRESULT FCode;
};

// Raises EOleError when the code is a failure.
inline void OleCheck(HRESULT hr) {
  if (Failed(hr)) throw EOleError(hr);
}

// Formats a result code as the platform prints it, e.g. "0x8000FFFF".
std::string HResultText(HRESULT hr);

// Text conversion. Invalid UTF-8 bytes become U+FFFD; unpaired surrogates likewise.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(const char16_t* text, size_t length);
inline std::string Utf16ToUtf8(std::u16string_view text) { return Utf16ToUtf8(text.data(), text.size()); }
// A new BSTR holding the text (null for the empty text is not used: an empty BSTR is allocated).
BSTR AllocBstr(std::string_view utf8);
std::string BstrToString(BSTR text);

// ASCII case folding, the meaning of "without regard to case" everywhere in the module.
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
std::string Trim(std::string_view text);

// Owns one BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view utf8) : FText(AllocBstr(utf8)) {}
  Bstr(const Bstr& other);
  Bstr(Bstr&& other) noexcept : FText(std::exchange(other.FText, nullptr)) {}
  Bstr& operator=(Bstr other) noexcept {
    std::swap(FText, other.FText);
    return *this;
  }
  ~Bstr() { SysFreeString(FText); }

  static Bstr Attach(BSTR text) {
    Bstr b;
    b.FText = text;
    return b;
  }
  BSTR Detach() { return std::exchange(FText, nullptr); }
  BSTR Get() const { return FText; }
  BSTR* Out() {
    SysFreeString(std::exchange(FText, nullptr));
    return &FText;
  }
  uint32_t Length() const { return SysStringLen(FText); }
  std::string ToString() const { return BstrToString(FText); }

 private:
  BSTR FText = nullptr;
};

// Owns one interface reference.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference of its own.
  ComPtr(T* p) : FPtr(p) {
    if (FPtr) FPtr->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.FPtr) {}
  ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(FPtr, other.FPtr);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Adopts a reference the caller already owns.
  static ComPtr Attach(T* p) {
    ComPtr c;
    c.FPtr = p;
    return c;
  }
  T* Detach() { return std::exchange(FPtr, nullptr); }
  void Reset() {
    if (T* p = std::exchange(FPtr, nullptr)) p->Release();
  }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  T** Out() {
    Reset();
    return &FPtr;
  }
  // Queries for another interface; an empty result when the object does not have it.
  template <class U>
  ComPtr<U> As(const GUID& iid) const {
    ComPtr<U> result;
    if (FPtr && Failed(FPtr->QueryInterface(iid, reinterpret_cast<void**>(result.Out()))))
      result.Reset();
    return result;
  }
  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.FPtr == b.FPtr; }

 private:
  T* FPtr = nullptr;
};

// Owns one VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&FValue); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() { VariantClear(&FValue); }

  static Variant FromInt(int32_t value);
  static Variant FromUInt(uint32_t value);  // VT_I4 with the same bit pattern
  static Variant FromInt64(int64_t value);
  static Variant FromBool(bool value);
  static Variant FromDouble(double value);
  static Variant FromString(std::string_view value);
  static Variant FromDispatch(IDispatch* value);  // takes a reference of its own
  static Variant FromUnknown(IUnknown* value);    // VT_UNKNOWN; takes a reference of its own
  static Variant Null();

  VARTYPE Type() const { return FValue.vt; }
  bool IsEmpty() const { return FValue.vt == VT_EMPTY; }
  const VARIANT& Raw() const { return FValue; }
  VARIANT* Out() {
    VariantClear(&FValue);
    return &FValue;
  }
  VARIANT Detach() {
    VARIANT v = FValue;
    VariantInit(&FValue);
    return v;
  }

  // Coercions of the automation contract (they raise EOleError on failure).
  int32_t AsInt() const;
  int64_t AsInt64() const;
  uint32_t AsLow32() const;
  bool AsBool() const;
  double AsDouble() const;
  std::string AsString() const;
  ComPtr<IDispatch> AsDispatch() const;
  ComPtr<IUnknown> AsUnknown() const;

  // "VT_I4 42", "VT_BSTR "text"" and so on, for people and logs.
  std::string Describe() const;

 private:
  VARIANT FValue;
};

// Name of a variant type, e.g. "VT_I4" or "VT_BOOL|VT_BYREF".
std::string VarTypeName(VARTYPE vt);

}  // namespace tavix
