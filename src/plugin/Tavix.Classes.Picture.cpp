// The generic driver's device picture.
#include <memory>

#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/Graphics.h"
#include "plugin/Tavix.Classes.h"

namespace tavix {

uint32_t TTavixDriver::GetBitmapHandle() {
  if (!FDeviceImage) FDeviceImage = LoadDeviceImage(GetFamilyName());
  return FDeviceImage ? FDeviceImage->Handle() : 0;
}

TBitmap* TTavixDriver::LoadDeviceImage(const std::string& familyName) {
  const std::string genericPath = GetSystemFolder() + "Generic_Hard_Device.bmp";
  if (!FileExists(genericPath)) return nullptr;
  auto generic = std::make_unique<TBitmap>();
  if (!generic->LoadFromFile(genericPath)) return nullptr;

  const std::string familyPath = GetFolder_Library() + "DeviceImages/" + familyName + ".bmp";
  TBitmap family;
  if (!familyName.empty() && FileExists(familyPath) && family.LoadFromFile(familyPath)) {
    generic->SetPixelFormat(24);
    family.SetPixelFormat(24);
    // Centred, without the family picture's outermost row and column on every side; a family
    // picture larger than the generic one is clipped at the generic picture's edges.
    const int32_t left = (generic->Width() - family.Width()) / 2;
    const int32_t top = (generic->Height() - family.Height()) / 2;
    generic->CopyRect(left + 1, top + 1, family, 1, 1, family.Width() - 2, family.Height() - 2);
  }
  return generic.release();
}

}  // namespace tavix
