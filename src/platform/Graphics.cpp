#include "platform/Graphics.h"

#include <algorithm>

namespace tavix {

TBitmap::~TBitmap() { Reset(); }

void TBitmap::Reset() {
  if (FHandle) OsDeleteBitmap(FHandle);
  FHandle = 0;
}

bool TBitmap::LoadFromFile(const std::string& path) {
  const HBITMAP loaded = OsLoadBitmapFile(path);
  if (!loaded) return false;
  Reset();
  FHandle = loaded;
  return true;
}

bool TBitmap::SaveToFile(const std::string& path) const { return FHandle && OsSaveBitmapFile(FHandle, path); }

bool TBitmap::SetSize(int32_t width, int32_t height, int32_t bitsPerPixel) {
  const HBITMAP created = OsCreateBitmap(width, height, bitsPerPixel);
  if (!created) return false;
  Reset();
  FHandle = created;
  return true;
}

bool TBitmap::SetPixelFormat(int32_t bitsPerPixel) { return FHandle && OsSetBitmapDepth(FHandle, bitsPerPixel); }

int32_t TBitmap::Width() const {
  int32_t w = 0;
  OsGetBitmapInfo(FHandle, &w, nullptr, nullptr);
  return w;
}

int32_t TBitmap::Height() const {
  int32_t h = 0;
  OsGetBitmapInfo(FHandle, nullptr, &h, nullptr);
  return h;
}

int32_t TBitmap::BitsPerPixel() const {
  int32_t bpp = 0;
  OsGetBitmapInfo(FHandle, nullptr, nullptr, &bpp);
  return bpp;
}

uint32_t TBitmap::GetPixel(int32_t x, int32_t y) const {
  int32_t w = 0, h = 0, bpp = 0;
  if (!OsGetBitmapInfo(FHandle, &w, &h, &bpp) || x < 0 || y < 0 || x >= w || y >= h) return 0;
  const uint8_t* p = OsBitmapPixels(FHandle) + (static_cast<size_t>(y) * w + x) * (bpp / 8);
  return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

void TBitmap::SetPixel(int32_t x, int32_t y, uint32_t rgb) {
  int32_t w = 0, h = 0, bpp = 0;
  if (!OsGetBitmapInfo(FHandle, &w, &h, &bpp) || x < 0 || y < 0 || x >= w || y >= h) return;
  uint8_t* p = OsBitmapPixels(FHandle) + (static_cast<size_t>(y) * w + x) * (bpp / 8);
  p[0] = static_cast<uint8_t>(rgb >> 16);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb);
}

void TBitmap::CopyRect(int32_t dx, int32_t dy, const TBitmap& source, int32_t sx, int32_t sy, int32_t w, int32_t h) {
  int32_t tw = 0, th = 0, tbpp = 0, sw = 0, sh = 0, sbpp = 0;
  if (!OsGetBitmapInfo(FHandle, &tw, &th, &tbpp) || !OsGetBitmapInfo(source.FHandle, &sw, &sh, &sbpp)) return;
  // Clip against the source, then against the target.
  if (sx < 0) w += sx, dx -= sx, sx = 0;
  if (sy < 0) h += sy, dy -= sy, sy = 0;
  if (dx < 0) w += dx, sx -= dx, dx = 0;
  if (dy < 0) h += dy, sy -= dy, dy = 0;
  w = std::min({w, sw - sx, tw - dx});
  h = std::min({h, sh - sy, th - dy});
  if (w <= 0 || h <= 0) return;
  const uint8_t* src = OsBitmapPixels(source.FHandle);
  uint8_t* dst = OsBitmapPixels(FHandle);
  const int sstep = sbpp / 8, tstep = tbpp / 8;
  for (int32_t row = 0; row < h; ++row)
    for (int32_t col = 0; col < w; ++col) {
      const uint8_t* s = src + (static_cast<size_t>(sy + row) * sw + sx + col) * sstep;
      uint8_t* t = dst + (static_cast<size_t>(dy + row) * tw + dx + col) * tstep;
      t[0] = s[0], t[1] = s[1], t[2] = s[2];
    }
}

}  // namespace tavix
