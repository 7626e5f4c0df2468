// Bitmaps as the renderer paints them: a decoded palettized bitmap, and the Cairo
// surfaces made from it by mapping its palette the way an element needs it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace gaugehost::render {

// A device-independent bitmap after decoding: top-down rows of palette indices.
struct IndexedBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB per entry
    std::vector<uint8_t> pixels;    // width * height indices, top row first
};

// How a bitmap's colours become paint; chosen when the palette is mapped.
enum class Paint {
    kOpaque,      // every pixel as it is
    kBlackClear,  // pure black (0,0,0) is transparent: draw_flags bit 0
    kWindow,      // a mask's window: (1,1,1) opaque, everything else transparent
    kArtwork,     // a mask's fixed artwork: pure black and the window (1,1,1) transparent
};

// The window colour of every mask, and the colour that bit 0 of draw_flags keys out.
inline constexpr uint32_t kWindowColour = 0x010101;
inline constexpr uint32_t kKeyColour = 0x000000;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The smallest rectangle holding every pixel that is not fully transparent;
// width 0 when there is none. Drawing is confined to it.
struct InkBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Builds an ARGB32 (A8 for kWindow) surface from `bitmap` with its palette mapped
// by `paint`, and its ink box when `ink` is given. Throws RenderError naming `what`
// if the bitmap's sizes or indices are inconsistent (an index beyond its palette,
// too few pixels).
Surface MakeSurface(const IndexedBitmap& bitmap, Paint paint, const char* what = "bitmap", InkBox* ink = nullptr);

// Loads a bitmap resource by number; throws RenderError if there is none.
using BitmapLoader = std::function<IndexedBitmap(uint32_t resource_id)>;

// Every surface a panel needs, made once per (resource, paint) and kept.
class SurfaceCache {
public:
    explicit SurfaceCache(BitmapLoader loader) : loader_(std::move(loader)) {}
    // The surface of `resource_id` painted as `paint`; throws RenderError naming
    // the resource if it cannot be loaded or decoded.
    cairo_surface_t* Get(uint32_t resource_id, Paint paint);
    // The ink box of that surface.
    const InkBox& Ink(uint32_t resource_id, Paint paint);
    // Size of the resource's bitmap, loading it if needed.
    std::pair<int, int> Size(uint32_t resource_id);

private:
    struct Painted {
        Surface surface;
        InkBox ink;
    };
    const IndexedBitmap& Bitmap(uint32_t resource_id);
    const Painted& Find(uint32_t resource_id, Paint paint);
    BitmapLoader loader_;
    std::map<uint32_t, IndexedBitmap> bitmaps_;
    std::map<std::pair<uint32_t, Paint>, Painted> surfaces_;
};

}  // namespace gaugehost::render
