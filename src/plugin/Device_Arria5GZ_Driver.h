// The driver the factory builds for each device kind: the Arria V GZ device actions on top of
// the catalog answers.
#pragma once

#include "catalog/Device_Arria5GZ_Data.h"

namespace tavix {

class TDevice_Arria5GZDriver : public TDeviceData {
 public:
  explicit TDevice_Arria5GZDriver(int32_t kind);
};

// Builds a new, independent driver for a kind in 0..31; null for any other kind.
TDevice_Arria5GZDriver* CreateArria5GZDriver(int32_t kind);

}  // namespace tavix
