// The device-pin base: the pin operations that follow from the others.
#include "plugin/Tavix.Classes.h"

namespace tavix {

std::string TTavixAbstractDevicePin::GetUniqueDifferentialID() {
  std::string text = GetIOBank();
  const std::string pair = GetDifferentialId();
  const std::string clockPair = GetClkDifferentialId();
  text.reserve(text.size() + pair.size() + clockPair.size() + 2);
  text += '|';
  text += pair;
  text += '|';
  text += clockPair;
  return text;
}

bool TTavixAbstractDevicePin::GetIsPosPinOfDiffPair() {
  return GetIsDiffP_Pin() || GetIsHDiffP_Pin() || GetIsDCIP_Pin() || GetIsClkDiffP_Pin();
}

bool TTavixAbstractDevicePin::GetIsNegPinOfDiffPair() {
  return GetIsDiffN_Pin() || GetIsHDiffN_Pin() || GetIsDCIN_Pin() || GetIsClkDiffN_Pin();
}

}  // namespace tavix
