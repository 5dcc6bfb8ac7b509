// The automation platform's binary contract: scalar types, result codes, GUID, BSTR,
// VARIANT, DISPPARAMS and the IUnknown / IDispatch interfaces. Laid out exactly as the
// platform lays them out so that objects made by independent code interoperate.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define TAVIX_STDCALL __stdcall
#else
#define TAVIX_STDCALL
#endif

namespace tavix {

using HRESULT = int32_t;
using DISPID = int32_t;
using LCID = uint32_t;
using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
using OLECHAR = char16_t;
using BSTR = OLECHAR*;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);

constexpr bool Failed(HRESULT hr) { return hr < 0; }
constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
using IID = GUID;

constexpr bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

constexpr GUID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Variant type numbers.
enum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

// Dispatch flags; the module's dispatchers do not look at them.
enum : uint16_t {
  DISPATCH_METHOD = 1,
  DISPATCH_PROPERTYGET = 2,
  DISPATCH_PROPERTYPUT = 4,
  DISPATCH_PROPERTYPUTREF = 8,
};

struct IUnknown;
struct IDispatch;
struct VARIANT;

struct VARIANT {
  VARTYPE vt;
  uint16_t wReserved1;
  uint16_t wReserved2;
  uint16_t wReserved3;
  union {
    int64_t llVal;
    uint64_t ullVal;
    int32_t lVal;
    uint32_t ulVal;
    int32_t intVal;
    uint32_t uintVal;
    uint8_t bVal;
    int8_t cVal;
    int16_t iVal;
    uint16_t uiVal;
    float fltVal;
    double dblVal;
    double date;
    int64_t cyVal;  // currency: value times 10000
    VARIANT_BOOL boolVal;
    HRESULT scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    uint8_t* pbVal;
    int16_t* piVal;
    int32_t* plVal;
    int64_t* pllVal;
    float* pfltVal;
    double* pdblVal;
    VARIANT_BOOL* pboolVal;
    HRESULT* pscode;
    int64_t* pcyVal;
    double* pdate;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    VARIANT* pvarVal;
    void* byref;
    int8_t* pcVal;
    uint16_t* puiVal;
    uint32_t* pulVal;
    uint64_t* pullVal;
    int32_t* pintVal;
    uint32_t* puintVal;
    struct {
      void* pvRecord;
      void* pRecInfo;
    } record;
  };
};

struct DISPPARAMS {
  VARIANT* rgvarg;
  DISPID* rgdispidNamedArgs;
  uint32_t cArgs;
  uint32_t cNamedArgs;
};

struct EXCEPINFO {
  uint16_t wCode;
  uint16_t wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  uint32_t dwHelpContext;
  void* pvReserved;
  void* pfnDeferredFillIn;
  HRESULT scode;
};

struct IUnknown {
  virtual HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) = 0;
  virtual int32_t TAVIX_STDCALL AddRef() = 0;
  virtual int32_t TAVIX_STDCALL Release() = 0;
};

struct IDispatch : IUnknown {
  virtual HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t* count) = 0;
  virtual HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t index, LCID lcid, void** typeInfo) = 0;
  virtual HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID& iid, OLECHAR** names, uint32_t count,
                                              LCID lcid, DISPID* ids) = 0;
  virtual HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID& iid, LCID lcid, uint16_t flags,
                                       DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                       uint32_t* argErr) = 0;
};

// BSTR: a uint32 byte length, the UTF-16 text, a 16-bit zero; one malloc'ed block so that
// either side of the contract can free what the other allocated. A null BSTR is the empty text.
BSTR SysAllocStringLen(const OLECHAR* text, uint32_t length);
BSTR SysAllocString(const OLECHAR* text);
void SysFreeString(BSTR text);
uint32_t SysStringLen(BSTR text);

void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);

}  // namespace tavix
