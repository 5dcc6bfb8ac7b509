// Table-driven answers for one device kind of the Arria V GZ family.
#pragma once

#include "plugin/Tavix.Classes.h"

namespace tavix {

constexpr int32_t kDeviceKindCount = 32;

class TDeviceData : public TTavixDriver {
 public:
  explicit TDeviceData(int32_t kind);
  int32_t Kind() const { return FKind; }

 protected:
  int32_t FKind;
};

}  // namespace tavix
