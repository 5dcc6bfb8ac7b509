// Draws the device pictures the stand-in host installs: the generic hard-device picture (its
// System folder) and the Arria V GZ family picture (the module's Library/DeviceImages folder).
//   draw_device_images GENERIC.bmp FAMILY.bmp
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <stb/stb_easy_font.h>
#include <stb/stb_image_write.h>

namespace {

struct Canvas {
  int Width, Height;
  std::vector<uint8_t> Rgb;
  Canvas(int w, int h, uint32_t fill) : Width(w), Height(h), Rgb(static_cast<size_t>(w) * h * 3) { Rect(0, 0, w, h, fill); }

  void Pixel(int x, int y, uint32_t c) {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return;
    uint8_t* p = &Rgb[(static_cast<size_t>(y) * Width + x) * 3];
    p[0] = static_cast<uint8_t>(c >> 16), p[1] = static_cast<uint8_t>(c >> 8), p[2] = static_cast<uint8_t>(c);
  }
  void Rect(int x, int y, int w, int h, uint32_t c) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) Pixel(i, j, c);
  }
  void Frame(int x, int y, int w, int h, uint32_t c) {
    Rect(x, y, w, 1, c), Rect(x, y + h - 1, w, 1, c), Rect(x, y, 1, h, c), Rect(x + w - 1, y, 1, h, c);
  }
  void Disc(int cx, int cy, int r, uint32_t c) {
    for (int j = -r; j <= r; ++j)
      for (int i = -r; i <= r; ++i)
        if (i * i + j * j <= r * r) Pixel(cx + i, cy + j, c);
  }
  // Text through stb_easy_font's quads, scaled by a whole factor.
  void Text(int x, int y, const char* text, int scale, uint32_t c) {
    static char buffer[20000];
    const int quads = stb_easy_font_print(0, 0, const_cast<char*>(text), nullptr, buffer, sizeof buffer);
    const float* v = reinterpret_cast<const float*>(buffer);
    for (int q = 0; q < quads; ++q, v += 16) {  // four vertices of x, y, z, colour
      const int x0 = static_cast<int>(v[0]), y0 = static_cast<int>(v[1]);
      const int x1 = static_cast<int>(v[8]), y1 = static_cast<int>(v[9]);
      Rect(x + x0 * scale, y + y0 * scale, (x1 - x0) * scale, (y1 - y0) * scale, c);
    }
  }
  int TextWidth(const char* text, int scale) { return stb_easy_font_width(const_cast<char*>(text)) * scale; }
  bool Save(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return stbi_write_bmp(path.c_str(), Width, Height, 3, Rgb.data()) != 0;
  }
};

// A ball-grid package seen from above: substrate, balls around the edge, pin-1 corner.
Canvas GenericDevice() {
  Canvas c(160, 160, 0xFFFFFF);
  c.Rect(8, 8, 144, 144, 0x2E7D32);    // substrate
  c.Frame(8, 8, 144, 144, 0x1B5E20);
  for (int i = 0; i < 12; ++i) {       // balls peeking out along the edges
    const int p = 18 + i * 11;
    c.Disc(p, 14, 2, 0xC0C0C0), c.Disc(p, 145, 2, 0xC0C0C0);
    c.Disc(14, p, 2, 0xC0C0C0), c.Disc(145, p, 2, 0xC0C0C0);
  }
  c.Rect(24, 24, 112, 112, 0x303030);  // lid
  c.Frame(24, 24, 112, 112, 0x101010);
  c.Disc(34, 34, 4, 0xE0E0E0);         // pin-1 mark
  c.Text(44, 124, "JTAG DEVICE", 1, 0xB0B0B0);
  return c;
}

// The family's die marking, framed by a one-pixel border that composition leaves out.
Canvas FamilyPicture() {
  Canvas c(90, 60, 0x0D47A1);
  c.Frame(0, 0, 90, 60, 0xFF00FF);
  c.Text((90 - c.TextWidth("ALTERA", 1)) / 2, 8, "ALTERA", 1, 0xFFFFFF);
  c.Text((90 - c.TextWidth("ARRIA V", 2)) / 2, 20, "ARRIA V", 2, 0xFFFFFF);
  c.Text((90 - c.TextWidth("GZ", 2)) / 2, 38, "GZ", 2, 0xFFD54F);
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s GENERIC.bmp FAMILY.bmp\n", argv[0]);
    return 2;
  }
  if (!GenericDevice().Save(argv[1]) || !FamilyPicture().Save(argv[2])) {
    std::fprintf(stderr, "draw_device_images: cannot write the pictures\n");
    return 1;
  }
  return 0;
}
