#include "platform/automation/Automation.h"

#include <cstdlib>
#include <cstring>

namespace tavix {

static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*) || sizeof(void*) == 4);
static_assert(offsetof(VARIANT, llVal) == 8);
static_assert(sizeof(GUID) == 16);

BSTR SysAllocStringLen(const OLECHAR* text, uint32_t length) {
  const size_t bytes = static_cast<size_t>(length) * sizeof(OLECHAR);
  if (bytes > 0x7FFFFFF0u) return nullptr;
  auto* block = static_cast<uint8_t*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const auto byteLength = static_cast<uint32_t>(bytes);
  std::memcpy(block, &byteLength, sizeof byteLength);
  auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(uint32_t));
  if (text && length) std::memcpy(chars, text, bytes);
  else if (length) std::memset(chars, 0, bytes);
  chars[length] = 0;
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  uint32_t n = 0;
  while (text[n]) ++n;
  return SysAllocStringLen(text, n);
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<uint8_t*>(text) - sizeof(uint32_t));
}

uint32_t SysStringLen(BSTR text) {
  if (!text) return 0;
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<uint8_t*>(text) - sizeof(uint32_t), sizeof bytes);
  return bytes / sizeof(OLECHAR);
}

void VariantInit(VARIANT* v) {
  std::memset(v, 0, sizeof *v);
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_POINTER;
  if (!(v->vt & VT_BYREF)) {
    switch (v->vt) {
      case VT_BSTR:
        SysFreeString(v->bstrVal);
        break;
      case VT_DISPATCH:
      case VT_UNKNOWN:
        if (v->punkVal) v->punkVal->Release();
        break;
      default:
        break;
    }
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) {
  if (!dest || !source) return E_POINTER;
  if (dest == source) return S_OK;
  VARIANT copy = *source;
  if (!(source->vt & VT_BYREF)) {
    if (source->vt == VT_BSTR && source->bstrVal) {
      copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
      if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) && source->punkVal) {
      source->punkVal->AddRef();
    }
  }
  VariantClear(dest);
  *dest = copy;
  return S_OK;
}

}  // namespace tavix
