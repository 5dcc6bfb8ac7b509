// Variant coercion as the automation contract defines it for arguments:
//  int    - 32-bit signed: numeric types, Booleans and numeric strings convert; reals round to
//           the nearest integer, ties to even; DISP_E_OVERFLOW when out of range,
//           DISP_E_TYPEMISMATCH for a string that is no number or a type that cannot convert.
//  int64  - the same for 64 bits.
//  low32  - int64, of which only the low 32 bits are kept.
//  str    - text.
//  object - an IDispatch reference (empty and null give none).
//  unknown - an interface reference as passed (VT_UNKNOWN or VT_DISPATCH).
// By-reference variants are followed.
#pragma once

#include <string>

#include "platform/automation/AutoTypes.h"

namespace tavix {

int32_t VariantToInt32(const VARIANT& v);
int64_t VariantToInt64(const VARIANT& v);
uint32_t VariantToLow32(const VARIANT& v);
double VariantToDouble(const VARIANT& v);
bool VariantToBool(const VARIANT& v);
std::string VariantToString(const VARIANT& v);
ComPtr<IDispatch> VariantToDispatch(const VARIANT& v);
// An interface reference as it was passed (VT_UNKNOWN or VT_DISPATCH; empty and null give none).
ComPtr<IUnknown> VariantToUnknown(const VARIANT& v);

// The value a by-reference variant points at, as a shallow by-value variant (no ownership);
// a by-value variant is returned as it is. Raises DISP_E_TYPEMISMATCH for a null reference.
VARIANT DereferenceVariant(const VARIANT& v);

// Round half to even, the platform's rule for reals converted to integers.
double RoundHalfEven(double value);

}  // namespace tavix
