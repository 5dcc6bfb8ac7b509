// Pictures as the form library sees them: a bitmap object owning an OS bitmap handle.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/Bitmaps.h"

namespace tavix {

class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  bool LoadFromFile(const std::string& path);
  bool SaveToFile(const std::string& path) const;
  // A new black picture of the given size and depth (24 or 32 bits per pixel).
  bool SetSize(int32_t width, int32_t height, int32_t bitsPerPixel = 24);
  bool SetPixelFormat(int32_t bitsPerPixel);

  bool Empty() const { return FHandle == 0; }
  int32_t Width() const;
  int32_t Height() const;
  int32_t BitsPerPixel() const;
  HBITMAP Handle() const { return FHandle; }

  // Pixel access, red-green-blue.
  uint32_t GetPixel(int32_t x, int32_t y) const;  // 0xRRGGBB; 0 outside the picture
  void SetPixel(int32_t x, int32_t y, uint32_t rgb);
  // Copies the w x h rectangle at (sx, sy) of `source` to (dx, dy); parts outside either
  // picture are left out.
  void CopyRect(int32_t dx, int32_t dy, const TBitmap& source, int32_t sx, int32_t sy, int32_t w, int32_t h);

 private:
  void Reset();
  HBITMAP FHandle = 0;
};

}  // namespace tavix
