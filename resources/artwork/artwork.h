// Shared types of the artwork generator: RGB images, the bitmap catalogue,
// quantisation to a fixed palette and the stored resource layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

// 0x00RRGGBB, the form every drawing routine hands back.
using Rgb = uint32_t;

constexpr Rgb rgb(int r, int g, int b) {
    return (Rgb(r & 255) << 16) | (Rgb(g & 255) << 8) | Rgb(b & 255);
}
constexpr int red_of(Rgb c) { return int(c >> 16) & 255; }
constexpr int green_of(Rgb c) { return int(c >> 8) & 255; }
constexpr int blue_of(Rgb c) { return int(c) & 255; }

// The few colours the host gives a meaning to.
constexpr Rgb kBlack = rgb(0, 0, 0);        // nothing drawn: transparent to the host
constexpr Rgb kWindow = rgb(1, 1, 1);       // a mask's window
constexpr Rgb kDialFace = rgb(25, 25, 25);  // round dial faces
constexpr Rgb kFaintRing = rgb(5, 5, 5);    // deviation face, compass ring
constexpr Rgb kCentreLine = rgb(50, 50, 50);  // inclinometer reference lines
constexpr Rgb kWhite = rgb(255, 255, 255);
// Printed range colours, shared by every dial so small palettes keep them exact.
constexpr Rgb kRangeGreen = rgb(40, 190, 60);
constexpr Rgb kRangeYellow = rgb(240, 200, 20);
constexpr Rgb kRangeRed = rgb(225, 35, 35);
constexpr Rgb kLabelBlue = rgb(80, 140, 255);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // row-major, top row first

    Image() = default;
    Image(int w, int h, Rgb fill = kBlack) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    Rgb at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// How a picture treats colours the host reads as special.
enum class Kind {
    Opaque,   // a background: drawn first, every pixel shows
    OnBlack,  // drawn over another: pure black means "nothing here"
    Mask,     // (1,1,1) marks the window; it and black are only ever set on purpose
};

using DrawFn = Image (*)();

// One catalogue entry, as the module's resource list gives it.
struct BitmapEntry {
    uint16_t id;
    int width;
    int height;
    int bits;        // 4 or 8
    int palette;     // number of palette entries stored
    bool count_zero; // store 0 as the palette count (the full 256 follow)
    Kind kind;
    DrawFn draw;
    uint16_t same_as;  // nonzero: byte-identical to this earlier id
    const char* gauge;
    const char* shows;
};

const std::vector<BitmapEntry>& catalogue();

// An indexed picture ready to store.
struct Indexed {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;  // row-major, top row first
};

// Reduces an image to exactly `count` palette entries. Colours listed in
// `keep` stay exact when they cover a visible share of the image (so a
// smoothing coincidence does not take a slot); `exact_only` colours are given only to
// pixels that already have them, never to a neighbour by nearness.
// Deterministic: the same image always gives the same palette and indices.
Indexed quantise(const Image& img, int count, const std::vector<Rgb>& keep,
                 const std::vector<Rgb>& exact_only);

// The resource bytes (info header, palette, rows) for one catalogue entry.
std::vector<uint8_t> encode_dib(const Indexed& ix, const BitmapEntry& entry);

// A .bmp file: the 14-byte file header followed by the resource bytes.
std::vector<uint8_t> bmp_file(const std::vector<uint8_t>& dib);

// Draws, quantises and encodes one entry (without the file header).
std::vector<uint8_t> build_resource(const BitmapEntry& entry);

}  // namespace artwork
