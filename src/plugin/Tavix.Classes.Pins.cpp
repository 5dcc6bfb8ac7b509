// The device-pin base: the pin operations that follow from the others.
#include "plugin/Tavix.Classes.h"

namespace tavix {

std::string TTavixAbstractDevicePin::GetUniqueDifferentialID() {
  return GetIOBank() + "|" + GetDifferentialId() + "|" + GetClkDifferentialId();
}

bool TTavixAbstractDevicePin::GetIsPosPinOfDiffPair() {
  return GetIsDiffP_Pin() || GetIsHDiffP_Pin() || GetIsDCIP_Pin() || GetIsClkDiffP_Pin();
}

bool TTavixAbstractDevicePin::GetIsNegPinOfDiffPair() {
  return GetIsDiffN_Pin() || GetIsHDiffN_Pin() || GetIsDCIN_Pin() || GetIsClkDiffN_Pin();
}

}  // namespace tavix
