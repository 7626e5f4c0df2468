#include "render/bitmaps.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "render/error.h"

namespace gaugehost::render {
namespace {

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

// One palette entry as premultiplied ARGB32 under `paint`.
uint32_t MapColour(uint32_t rgb, Paint paint) {
    rgb &= 0xFFFFFF;
    const uint32_t opaque = 0xFF000000u | rgb;
    switch (paint) {
        case Paint::kOpaque: return opaque;
        case Paint::kBlackClear: return rgb == kKeyColour ? 0 : opaque;
        case Paint::kWindow: return rgb == kWindowColour ? 0xFF000000u : 0;
        case Paint::kArtwork: return rgb == kKeyColour || rgb == kWindowColour ? 0 : opaque;
    }
    return opaque;
}

}  // namespace

Surface MakeSurface(const IndexedBitmap& bitmap, Paint paint, const char* what) {
    const int w = bitmap.width, h = bitmap.height;
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768)
        throw RenderError(std::string(what) + " has an unusable size " + std::to_string(w) + " x " +
                          std::to_string(h));
    if (bitmap.pixels.size() != size_t(w) * size_t(h))
        throw RenderError(std::string(what) + " has " + std::to_string(bitmap.pixels.size()) +
                          " pixels where " + std::to_string(w) + " x " + std::to_string(h) + " are needed");
    if (bitmap.palette.empty() || bitmap.palette.size() > 256)
        throw RenderError(std::string(what) + " has a palette of " + std::to_string(bitmap.palette.size()) +
                          " colours (1 to 256 expected)");

    // The palette mapping is the whole decode: one table lookup per pixel. An index
    // beyond the palette is marked and reported after the pass.
    std::array<uint32_t, 256> mapped{};
    std::array<bool, 256> valid{};
    for (size_t i = 0; i < bitmap.palette.size(); ++i) {
        mapped[i] = MapColour(bitmap.palette[i], paint);
        valid[i] = true;
    }

    const bool alpha_only = paint == Paint::kWindow;
    Surface surface(cairo_image_surface_create(alpha_only ? CAIRO_FORMAT_A8 : CAIRO_FORMAT_ARGB32, w, h));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw RenderError(std::string(what) + ": cannot create a " + std::to_string(w) + " x " +
                          std::to_string(h) + " surface");
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    bool bad_index = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = bitmap.pixels.data() + size_t(y) * size_t(w);
        unsigned char* row = data + size_t(y) * size_t(stride);
        if (alpha_only) {
            for (int x = 0; x < w; ++x) {
                bad_index |= !valid[src[x]];
                row[x] = uint8_t(mapped[src[x]] >> 24);
            }
        } else {
            auto* out = reinterpret_cast<uint32_t*>(row);
            for (int x = 0; x < w; ++x) {
                bad_index |= !valid[src[x]];
                out[x] = mapped[src[x]];
            }
        }
    }
    if (bad_index)
        throw RenderError(std::string(what) + " has a pixel whose palette index lies beyond its " +
                          std::to_string(bitmap.palette.size()) + " colours");
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

const IndexedBitmap& SurfaceCache::Bitmap(uint32_t resource_id) {
    auto it = bitmaps_.find(resource_id);
    if (it == bitmaps_.end()) it = bitmaps_.emplace(resource_id, loader_(resource_id)).first;
    return it->second;
}

cairo_surface_t* SurfaceCache::Get(uint32_t resource_id, Paint paint) {
    const auto key = std::make_pair(resource_id, paint);
    auto it = surfaces_.find(key);
    if (it == surfaces_.end()) {
        const std::string what = "bitmap " + Hex(resource_id);
        it = surfaces_.emplace(key, MakeSurface(Bitmap(resource_id), paint, what.c_str())).first;
    }
    return it->second.get();
}

std::pair<int, int> SurfaceCache::Size(uint32_t resource_id) {
    const IndexedBitmap& b = Bitmap(resource_id);
    return {b.width, b.height};
}

}  // namespace gaugehost::render
