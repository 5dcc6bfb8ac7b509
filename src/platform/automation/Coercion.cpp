#include "platform/automation/Coercion.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tavix {

double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff > 0.5) return floor + 1.0;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

VARIANT DereferenceVariant(const VARIANT& v) {
  const VARIANT* current = &v;
  for (int depth = 0; depth < 8; ++depth) {
    if (!(current->vt & VT_BYREF)) return *current;
    if (!current->byref) throw EOleError(DISP_E_TYPEMISMATCH);
    const VARTYPE base = current->vt & VT_TYPEMASK;
    if (base == VT_VARIANT) {
      current = current->pvarVal;
      continue;
    }
    VARIANT out;
    VariantInit(&out);
    out.vt = base;
    switch (base) {
      case VT_I2: out.iVal = *current->piVal; break;
      case VT_I4: case VT_INT: out.lVal = *current->plVal; break;
      case VT_R4: out.fltVal = *current->pfltVal; break;
      case VT_R8: case VT_DATE: out.dblVal = *current->pdblVal; break;
      case VT_CY: out.cyVal = *current->pcyVal; break;
      case VT_BSTR: out.bstrVal = *current->pbstrVal; break;
      case VT_DISPATCH: out.pdispVal = *current->ppdispVal; break;
      case VT_UNKNOWN: out.punkVal = *current->ppunkVal; break;
      case VT_ERROR: out.scode = *current->pscode; break;
      case VT_BOOL: out.boolVal = *current->pboolVal; break;
      case VT_I1: out.cVal = *current->pcVal; break;
      case VT_UI1: out.bVal = *current->pbVal; break;
      case VT_UI2: out.uiVal = *current->puiVal; break;
      case VT_UI4: case VT_UINT: out.ulVal = *current->pulVal; break;
      case VT_I8: out.llVal = *current->pllVal; break;
      case VT_UI8: out.ullVal = *current->pullVal; break;
      default: throw EOleError(DISP_E_TYPEMISMATCH);
    }
    return out;
  }
  throw EOleError(DISP_E_TYPEMISMATCH);
}

namespace {

// A number read from text: integral (exact) or real.
struct ParsedNumber {
  bool integral;
  int64_t integer;
  bool integerOverflow;
  double real;
};

// Decimal numbers with optional blanks around, a sign, a fraction and an exponent.
ParsedNumber ParseNumber(const std::string& text) {
  const std::string t = Trim(text);
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0, fracDigits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  bool integral = true;
  if (i < t.size() && t[i] == '.') {
    integral = false;
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++fracDigits;
  }
  if (digits + fracDigits == 0) throw EOleError(DISP_E_TYPEMISMATCH);
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    integral = false;
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++expDigits;
    if (!expDigits) throw EOleError(DISP_E_TYPEMISMATCH);
  }
  if (i != t.size()) throw EOleError(DISP_E_TYPEMISMATCH);

  ParsedNumber n{integral, 0, false, 0.0};
  if (integral) {
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), n.integer);
    if (ec == std::errc::result_out_of_range) n.integerOverflow = true;
    else if (ec != std::errc() || ptr != t.data() + t.size()) throw EOleError(DISP_E_TYPEMISMATCH);
  }
  errno = 0;
  n.real = std::strtod(t.c_str(), nullptr);
  return n;
}

int64_t RealToInt64(double value) {
  const double r = RoundHalfEven(value);
  // 2^63 is exactly representable; anything at or above it (or NaN) does not fit.
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) throw EOleError(DISP_E_OVERFLOW);
  return static_cast<int64_t>(r);
}

// Every numeric source as a 64-bit integer; the caller narrows with a range check.
int64_t ToInt64Checked(const VARIANT& source) {
  const VARIANT v = DereferenceVariant(source);
  switch (v.vt) {
    case VT_EMPTY: return 0;
    case VT_I1: return v.cVal;
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: case VT_INT: return v.lVal;
    case VT_UI4: case VT_UINT: return v.ulVal;
    case VT_I8: return v.llVal;
    case VT_UI8:
      if (v.ullVal > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        throw EOleError(DISP_E_OVERFLOW);
      return static_cast<int64_t>(v.ullVal);
    case VT_R4: return RealToInt64(v.fltVal);
    case VT_R8: case VT_DATE: return RealToInt64(v.dblVal);
    case VT_CY: {
      // Currency holds value x 10000; round the quotient half to even.
      int64_t q = v.cyVal / 10000, r = v.cyVal % 10000;
      if (r < 0) r = -r;
      const bool negative = v.cyVal < 0;
      if (r > 5000 || (r == 5000 && (q % 2 != 0))) q += negative ? -1 : 1;
      return q;
    }
    case VT_BOOL: return v.boolVal ? -1 : 0;
    case VT_BSTR: {
      const ParsedNumber n = ParseNumber(BstrToString(v.bstrVal));
      if (n.integral) {
        if (n.integerOverflow) throw EOleError(DISP_E_OVERFLOW);
        return n.integer;
      }
      return RealToInt64(n.real);
    }
    default: throw EOleError(DISP_E_TYPEMISMATCH);
  }
}

}  // namespace

int32_t VariantToInt32(const VARIANT& v) {
  const int64_t value = ToInt64Checked(v);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EOleError(DISP_E_OVERFLOW);
  return static_cast<int32_t>(value);
}

int64_t VariantToInt64(const VARIANT& v) { return ToInt64Checked(v); }

uint32_t VariantToLow32(const VARIANT& v) {
  return static_cast<uint32_t>(static_cast<uint64_t>(ToInt64Checked(v)) & 0xFFFFFFFFu);
}

double VariantToDouble(const VARIANT& source) {
  const VARIANT v = DereferenceVariant(source);
  switch (v.vt) {
    case VT_R4: return v.fltVal;
    case VT_R8: case VT_DATE: return v.dblVal;
    case VT_CY: return static_cast<double>(v.cyVal) / 10000.0;
    case VT_UI8: return static_cast<double>(v.ullVal);
    case VT_BSTR: return ParseNumber(BstrToString(v.bstrVal)).real;
    default: return static_cast<double>(ToInt64Checked(v));
  }
}

bool VariantToBool(const VARIANT& source) {
  const VARIANT v = DereferenceVariant(source);
  switch (v.vt) {
    case VT_BOOL: return v.boolVal != 0;
    case VT_R4: return v.fltVal != 0;
    case VT_R8: case VT_DATE: return v.dblVal != 0;
    case VT_BSTR: {
      const std::string text = Trim(BstrToString(v.bstrVal));
      if (SameText(text, "True")) return true;
      if (SameText(text, "False")) return false;
      return ParseNumber(text).real != 0;
    }
    default: return ToInt64Checked(v) != 0;
  }
}

std::string VariantToString(const VARIANT& source) {
  const VARIANT v = DereferenceVariant(source);
  char buffer[64];
  switch (v.vt) {
    case VT_EMPTY: return {};
    case VT_BSTR: return BstrToString(v.bstrVal);
    case VT_BOOL: return v.boolVal ? "True" : "False";
    case VT_R4:
      std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(v.fltVal));
      return buffer;
    case VT_R8: case VT_DATE:
      std::snprintf(buffer, sizeof buffer, "%.15g", v.dblVal);
      return buffer;
    case VT_CY: {
      std::snprintf(buffer, sizeof buffer, "%.4f", static_cast<double>(v.cyVal) / 10000.0);
      std::string text = buffer;
      while (!text.empty() && text.back() == '0') text.pop_back();
      if (!text.empty() && text.back() == '.') text.pop_back();
      return text;
    }
    case VT_UI8: return std::to_string(v.ullVal);
    case VT_NULL: case VT_DISPATCH: case VT_UNKNOWN: case VT_ERROR:
      throw EOleError(DISP_E_TYPEMISMATCH);
    default: return std::to_string(ToInt64Checked(v));
  }
}

ComPtr<IDispatch> VariantToDispatch(const VARIANT& source) {
  const VARIANT v = DereferenceVariant(source);
  switch (v.vt) {
    case VT_EMPTY: case VT_NULL: return nullptr;
    case VT_DISPATCH: return ComPtr<IDispatch>(v.pdispVal);
    case VT_UNKNOWN: {
      ComPtr<IDispatch> result;
      if (v.punkVal && Failed(v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(result.Out()))))
        throw EOleError(DISP_E_TYPEMISMATCH);
      return result;
    }
    default: throw EOleError(DISP_E_TYPEMISMATCH);
  }
}

ComPtr<IUnknown> VariantToUnknown(const VARIANT& source) {
  const VARIANT v = DereferenceVariant(source);
  switch (v.vt) {
    case VT_EMPTY: case VT_NULL: return nullptr;
    case VT_UNKNOWN: return ComPtr<IUnknown>(v.punkVal);
    case VT_DISPATCH: return ComPtr<IUnknown>(static_cast<IUnknown*>(v.pdispVal));
    default: throw EOleError(DISP_E_TYPEMISMATCH);
  }
}

}  // namespace tavix
