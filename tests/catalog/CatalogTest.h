// Helpers of the catalog tests: drivers built as the factory builds them, and calls by DISPID
// as a host makes them.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "plugin/Device_Arria5GZ_Driver.h"

namespace tavix::test {

// Drivers are not reference counted; the test owns the one it builds.
inline std::unique_ptr<TDevice_Arria5GZDriver> MakeDriver(int32_t kind) {
  return std::unique_ptr<TDevice_Arria5GZDriver>(CreateArria5GZDriver(kind));
}

template <class... A>
Variant Invoke(IDispatch* object, DISPID id, A&&... args) {
  return DispCall(object, id, std::forward<A>(args)...);
}

// The IDispatch a call answered (no reference kept: pins and standards are not counted).
template <class... A>
IDispatch* InvokeObject(IDispatch* object, DISPID id, A&&... args) {
  const Variant result = Invoke(object, id, std::forward<A>(args)...);
  EXPECT_EQ(result.Type(), VT_DISPATCH);
  return result.Raw().pdispVal;
}

// DISPIDs the host calls.
enum : DISPID {
  kIdGetDevicePin = 503411,
  kIdGetIOStandardCount = 503421,
  kIdGetIOStandard = 503422,
  kIdSupports = 503761,
  kIdPinNumber = 503525,
  kIdIOBank = 503526,
  kIdPinIOStandardCount = 503531,
  kIdPinIOStandard = 503532,
  kIdDifferentialId = 503545,
  kIdClkDifferentialId = 503546,
  kIdUniqueDifferentialID = 503547,
  kIdDisplayName = 503519,
  kIdParamName = 503520,
  kIdSlewCount = 503521,
  kIdSlewValue = 503522,
  kIdDriveCount = 503523,
  kIdDriveStrength = 503524,
};

}  // namespace tavix::test
