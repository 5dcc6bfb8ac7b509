#include "platform/os/Bitmaps.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace tavix {

namespace {

struct TOsBitmap {
  int32_t Width;
  int32_t Height;
  int32_t BitsPerPixel;
  std::vector<uint8_t> Pixels;
};

struct TBitmapTable {
  std::mutex Lock;
  std::map<HBITMAP, std::unique_ptr<TOsBitmap>> Items;
  HBITMAP Next = 1;
};

TBitmapTable& Table() {
  static TBitmapTable table;
  return table;
}

TOsBitmap* Find(HBITMAP bitmap) {
  auto it = Table().Items.find(bitmap);
  return it == Table().Items.end() ? nullptr : it->second.get();
}

HBITMAP Add(std::unique_ptr<TOsBitmap> bitmap) {
  TBitmapTable& table = Table();
  std::lock_guard guard(table.Lock);
  const HBITMAP handle = table.Next++;
  table.Items.emplace(handle, std::move(bitmap));
  return handle;
}

// The depth stored in a BMP header (bytes 28-29), or 0 when the file is no BMP.
int32_t BmpFileDepth(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  unsigned char header[30] = {};
  const size_t n = std::fread(header, 1, sizeof header, f);
  std::fclose(f);
  if (n < sizeof header || header[0] != 'B' || header[1] != 'M') return 0;
  return header[28] | (header[29] << 8);
}

constexpr int32_t kMaxSide = 16384;

}  // namespace

HBITMAP OsCreateBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return 0;
  auto bitmap = std::make_unique<TOsBitmap>();
  bitmap->Width = width;
  bitmap->Height = height;
  bitmap->BitsPerPixel = bitsPerPixel;
  bitmap->Pixels.assign(static_cast<size_t>(width) * height * (bitsPerPixel / 8), 0);
  return Add(std::move(bitmap));
}

HBITMAP OsLoadBitmapFile(const std::string& path) {
  const int32_t depth = BmpFileDepth(path);
  if (depth == 0) return 0;
  const int channels = depth == 32 ? 4 : 3;
  int w = 0, h = 0, n = 0;
  stbi_uc* data = stbi_load(path.c_str(), &w, &h, &n, channels);
  if (!data) return 0;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
    stbi_image_free(data);
    return 0;
  }
  auto bitmap = std::make_unique<TOsBitmap>();
  bitmap->Width = w;
  bitmap->Height = h;
  bitmap->BitsPerPixel = channels * 8;
  bitmap->Pixels.assign(data, data + static_cast<size_t>(w) * h * channels);
  stbi_image_free(data);
  return Add(std::move(bitmap));
}

bool OsSaveBitmapFile(HBITMAP handle, const std::string& path) {
  std::vector<uint8_t> rgb;
  int32_t w, h;
  {
    std::lock_guard guard(Table().Lock);
    const TOsBitmap* bitmap = Find(handle);
    if (!bitmap) return false;
    w = bitmap->Width;
    h = bitmap->Height;
    const int step = bitmap->BitsPerPixel / 8;
    rgb.reserve(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < bitmap->Pixels.size(); i += step)
      rgb.insert(rgb.end(), bitmap->Pixels.begin() + static_cast<long>(i), bitmap->Pixels.begin() + static_cast<long>(i) + 3);
  }
  // Written beside the target and renamed over it: never a half-written picture.
  const std::string temp = path + ".part";
  if (!stbi_write_bmp(temp.c_str(), w, h, 3, rgb.data())) {
    ::unlink(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool OsGetBitmapInfo(HBITMAP handle, int32_t* width, int32_t* height, int32_t* bitsPerPixel) {
  std::lock_guard guard(Table().Lock);
  const TOsBitmap* bitmap = Find(handle);
  if (!bitmap) return false;
  if (width) *width = bitmap->Width;
  if (height) *height = bitmap->Height;
  if (bitsPerPixel) *bitsPerPixel = bitmap->BitsPerPixel;
  return true;
}

uint8_t* OsBitmapPixels(HBITMAP handle) {
  std::lock_guard guard(Table().Lock);
  TOsBitmap* bitmap = Find(handle);
  return bitmap ? bitmap->Pixels.data() : nullptr;
}

bool OsSetBitmapDepth(HBITMAP handle, int32_t bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  std::lock_guard guard(Table().Lock);
  TOsBitmap* bitmap = Find(handle);
  if (!bitmap) return false;
  if (bitmap->BitsPerPixel == bitsPerPixel) return true;
  const int from = bitmap->BitsPerPixel / 8, to = bitsPerPixel / 8;
  const size_t count = static_cast<size_t>(bitmap->Width) * bitmap->Height;
  std::vector<uint8_t> pixels(count * to, 255);
  for (size_t i = 0; i < count; ++i)
    for (int c = 0; c < 3; ++c) pixels[i * to + c] = bitmap->Pixels[i * from + c];
  bitmap->Pixels.swap(pixels);
  bitmap->BitsPerPixel = bitsPerPixel;
  return true;
}

bool OsDeleteBitmap(HBITMAP handle) {
  std::lock_guard guard(Table().Lock);
  return Table().Items.erase(handle) == 1;
}

}  // namespace tavix
