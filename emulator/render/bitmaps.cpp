#include "render/bitmaps.h"

#include <algorithm>
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

Surface MakeSurface(const IndexedBitmap& bitmap, Paint paint, const char* what, InkBox* ink) {
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
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = bitmap.pixels.data() + size_t(y) * size_t(w);
        unsigned char* row = data + size_t(y) * size_t(stride);
        int row_left = w, row_right = -1;
        for (int x = 0; x < w; ++x) {
            bad_index |= !valid[src[x]];
            const uint32_t argb = mapped[src[x]];
            if (alpha_only)
                row[x] = uint8_t(argb >> 24);
            else
                reinterpret_cast<uint32_t*>(row)[x] = argb;
            if (argb >> 24) {
                row_left = std::min(row_left, x);
                row_right = x;
            }
        }
        if (row_right >= 0) {
            left = std::min(left, row_left);
            right = std::max(right, row_right);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (ink) *ink = right < 0 ? InkBox{} : InkBox{left, top, right - left + 1, bottom - top + 1};
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

const SurfaceCache::Painted& SurfaceCache::Find(uint32_t resource_id, Paint paint) {
    const auto key = std::make_pair(resource_id, paint);
    auto it = surfaces_.find(key);
    if (it == surfaces_.end()) {
        const std::string what = "bitmap " + Hex(resource_id);
        Painted painted;
        painted.surface = MakeSurface(Bitmap(resource_id), paint, what.c_str(), &painted.ink);
        it = surfaces_.emplace(key, std::move(painted)).first;
    }
    return it->second;
}

cairo_surface_t* SurfaceCache::Get(uint32_t resource_id, Paint paint) {
    return Find(resource_id, paint).surface.get();
}

const InkBox& SurfaceCache::Ink(uint32_t resource_id, Paint paint) { return Find(resource_id, paint).ink; }

std::pair<int, int> SurfaceCache::Size(uint32_t resource_id) {
    const IndexedBitmap& b = Bitmap(resource_id);
    return {b.width, b.height};
}

}  // namespace gaugehost::render
