#include "platform/automation/AutoTypes.h"

#include <cstdio>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/automation/Coercion.h"

namespace tavix {

EOleError::EOleError(HRESULT code, const std::string& message)
    : std::runtime_error(message.empty() ? "automation call failed with " + HResultText(code) : message),
      FCode(code) {}

std::string HResultText(HRESULT hr) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(hr));
  return buffer;
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i]; advances i. Returns the code point or U+FFFD.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t cp;
  if ((lead & 0xE0) == 0xC0) extra = 1, cp = lead & 0x1F;
  else if ((lead & 0xF0) == 0xE0) extra = 2, cp = lead & 0x0F;
  else if ((lead & 0xF8) == 0xF0) extra = 3, cp = lead & 0x07;
  else return kReplacement;
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

// Widens ASCII text into UTF-16 units; false (with `out` partly written) at the first byte that
// is not ASCII. Every text result of every Invoke passes through here, so whole 16-byte blocks
// are checked and widened at once where the processor offers it.
bool WidenAscii(std::string_view text, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (_mm_movemask_epi8(bytes) != 0) return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
  }
#endif
  for (; i < text.size(); ++i) {
    if (in[i] >= 0x80) return false;
    out[i] = in[i];
  }
  return true;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t cp = DecodeUtf8(text, i);
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(const char16_t* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    char32_t cp = text[i];
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    if (cp >= 0x80) out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return out;
}

BSTR AllocBstr(std::string_view utf8) {
  // The common case: every byte is one UTF-16 unit, so the text's length is the BSTR's.
  BSTR result = SysAllocStringLen(nullptr, static_cast<uint32_t>(utf8.size()));
  if (result && WidenAscii(utf8, result)) return result;
  SysFreeString(result);
  const std::u16string wide = Utf8ToUtf16(utf8);
  result = SysAllocStringLen(wide.data(), static_cast<uint32_t>(wide.size()));
  if (!result) throw EOleError(E_OUTOFMEMORY);
  return result;
}

std::string BstrToString(BSTR text) { return text ? Utf16ToUtf8(text, SysStringLen(text)) : std::string(); }

namespace {
char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(FoldAscii(a[i]));
    const auto y = static_cast<unsigned char>(FoldAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = FoldAscii(c);
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string Trim(std::string_view text) {
  // Control characters and blanks, as the platform's Trim.
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

Bstr::Bstr(const Bstr& other) : FText(other.FText ? SysAllocStringLen(other.FText, other.Length()) : nullptr) {}

Variant::Variant(const Variant& other) {
  VariantInit(&FValue);
  OleCheck(VariantCopy(&FValue, &other.FValue));
}

Variant::Variant(Variant&& other) noexcept : FValue(other.FValue) { VariantInit(&other.FValue); }

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) OleCheck(VariantCopy(&FValue, &other.FValue));
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&FValue);
    FValue = other.FValue;
    VariantInit(&other.FValue);
  }
  return *this;
}

Variant Variant::FromInt(int32_t value) {
  Variant v;
  v.FValue.vt = VT_I4;
  v.FValue.lVal = value;
  return v;
}

Variant Variant::FromUInt(uint32_t value) { return FromInt(static_cast<int32_t>(value)); }

Variant Variant::FromInt64(int64_t value) {
  Variant v;
  v.FValue.vt = VT_I8;
  v.FValue.llVal = value;
  return v;
}

Variant Variant::FromBool(bool value) {
  Variant v;
  v.FValue.vt = VT_BOOL;
  v.FValue.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::FromDouble(double value) {
  Variant v;
  v.FValue.vt = VT_R8;
  v.FValue.dblVal = value;
  return v;
}

Variant Variant::FromString(std::string_view value) {
  Variant v;
  v.FValue.bstrVal = AllocBstr(value);
  v.FValue.vt = VT_BSTR;
  return v;
}

Variant Variant::FromDispatch(IDispatch* value) {
  Variant v;
  v.FValue.vt = VT_DISPATCH;
  v.FValue.pdispVal = value;
  if (value) value->AddRef();
  return v;
}

Variant Variant::FromUnknown(IUnknown* value) {
  Variant v;
  v.FValue.vt = VT_UNKNOWN;
  v.FValue.punkVal = value;
  if (value) value->AddRef();
  return v;
}

Variant Variant::Null() {
  Variant v;
  v.FValue.vt = VT_NULL;
  return v;
}

int32_t Variant::AsInt() const { return VariantToInt32(FValue); }
int64_t Variant::AsInt64() const { return VariantToInt64(FValue); }
uint32_t Variant::AsLow32() const { return VariantToLow32(FValue); }
bool Variant::AsBool() const { return VariantToBool(FValue); }
double Variant::AsDouble() const { return VariantToDouble(FValue); }
std::string Variant::AsString() const { return VariantToString(FValue); }
ComPtr<IDispatch> Variant::AsDispatch() const { return VariantToDispatch(FValue); }
ComPtr<IUnknown> Variant::AsUnknown() const { return VariantToUnknown(FValue); }

std::string VarTypeName(VARTYPE vt) {
  static const char* const kNames[] = {"VT_EMPTY", "VT_NULL", "VT_I2",       "VT_I4",      "VT_R4",
                                       "VT_R8",    "VT_CY",   "VT_DATE",     "VT_BSTR",    "VT_DISPATCH",
                                       "VT_ERROR", "VT_BOOL", "VT_VARIANT",  "VT_UNKNOWN", "VT_DECIMAL",
                                       "VT_15",    "VT_I1",   "VT_UI1",      "VT_UI2",     "VT_UI4",
                                       "VT_I8",    "VT_UI8",  "VT_INT",      "VT_UINT"};
  const VARTYPE base = vt & VT_TYPEMASK;
  std::string name = base < std::size(kNames) ? kNames[base] : "VT_" + std::to_string(base);
  if (vt & VT_BYREF) name += "|VT_BYREF";
  return name;
}

std::string Variant::Describe() const {
  std::string text = VarTypeName(FValue.vt);
  char buffer[64];
  switch (FValue.vt) {
    case VT_EMPTY: case VT_NULL: return text;
    case VT_BSTR: return text + " \"" + BstrToString(FValue.bstrVal) + "\"";
    case VT_BOOL: return text + (FValue.boolVal ? " True" : " False");
    case VT_DISPATCH: case VT_UNKNOWN:
      if (!FValue.punkVal) return text + " (none)";
      std::snprintf(buffer, sizeof buffer, " %p", static_cast<void*>(FValue.punkVal));
      return text + buffer;
    case VT_I4: case VT_INT:
      std::snprintf(buffer, sizeof buffer, " %d (0x%08X)", FValue.lVal, static_cast<unsigned>(FValue.lVal));
      return text + buffer;
    case VT_ERROR: return text + " " + HResultText(FValue.scode);
    default:
      try {
        return text + " " + VariantToString(FValue);
      } catch (const EOleError&) {
        return text;
      }
  }
}

}  // namespace tavix
