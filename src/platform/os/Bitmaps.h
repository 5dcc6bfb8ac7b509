// Bitmaps of the operating-system stand-in: pictures owned by the OS and named by handles, so
// a host can read back a picture a module made (and the other way round).
#pragma once

#include <cstdint>
#include <string>

#include "platform/os/TavixOS.h"

namespace tavix {

using HBITMAP = uint32_t;  // 0 is no bitmap

// A new bitmap of 24 or 32 bits per pixel, filled with black; 0 for another depth or size.
TAVIX_OS_API HBITMAP OsCreateBitmap(int32_t width, int32_t height, int32_t bitsPerPixel);
// Loads a BMP file (any depth the format allows; 32-bit files keep their alpha, everything
// else becomes 24 bits per pixel); 0 when the file cannot be read as a bitmap.
TAVIX_OS_API HBITMAP OsLoadBitmapFile(const std::string& path);
// Writes a 24-bit BMP file, atomically; false on failure.
TAVIX_OS_API bool OsSaveBitmapFile(HBITMAP bitmap, const std::string& path);
TAVIX_OS_API bool OsGetBitmapInfo(HBITMAP bitmap, int32_t* width, int32_t* height, int32_t* bitsPerPixel);
// Top-down rows of width x (bits / 8) bytes, red first; null for an unknown handle.
TAVIX_OS_API uint8_t* OsBitmapPixels(HBITMAP bitmap);
// Changes the depth in place (24 <-> 32); false for an unknown handle or depth.
TAVIX_OS_API bool OsSetBitmapDepth(HBITMAP bitmap, int32_t bitsPerPixel);
TAVIX_OS_API bool OsDeleteBitmap(HBITMAP bitmap);

}  // namespace tavix
