// Reading the module's bitmap resources back.
//
// A bitmap resource is a device-independent bitmap without a file header:
// a 40-byte info header, the palette (4 bytes per entry: blue, green, red, 0),
// then the pixel rows, bottom row first (top row first when the stored height
// is negative), each padded to a multiple of 4 bytes. A stored palette count
// of 0 means the full 1 << bits entries. Supported: 1, 4 and 8 bits per pixel,
// uncompressed. Anything else, and any truncation, throws DibError with a
// one-line message naming what is wrong.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace gaugehost {

class DibError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Dib {
    int width = 0;
    int height = 0;  // always positive here; rows below are top row first
    int bits = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB, as many entries as the bitmap carries
    std::vector<uint8_t> indices;   // one palette index per pixel, row-major, top row first

    uint8_t index(int x, int y) const { return indices[size_t(y) * size_t(width) + size_t(x)]; }
    // Colour of pixel (x, y), 0x00RRGGBB; x, y must lie inside the bitmap.
    uint32_t rgb(int x, int y) const { return palette[index(x, y)]; }
};

// Decodes resource bytes (info header + palette + rows). Bytes after the
// pixel rows are ignored.
Dib decode_dib(std::span<const uint8_t> data);

// Decodes a .bmp file: checks the 14-byte file header, then as decode_dib.
Dib decode_bmp_file(std::span<const uint8_t> data);

// Reads and decodes a .bmp file from disk.
Dib load_bmp_file(const std::string& path);

// An opaque ARGB32 copy of the bitmap; the caller owns (and destroys) it.
cairo_surface_t* to_surface(const Dib& dib);

// Writes the bitmap as a PNG; throws DibError when the file cannot be written.
void write_png(const Dib& dib, const std::string& path);

}  // namespace gaugehost
