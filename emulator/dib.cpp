#include "dib.h"

#include <fstream>
#include <iterator>

namespace gaugehost {
namespace {

// Larger than any bitmap of the module by far; keeps a corrupt header from
// asking for gigabytes.
constexpr int64_t kMaxSide = 16384;

uint32_t u32(std::span<const uint8_t> d, size_t at) {
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
}
uint16_t u16(std::span<const uint8_t> d, size_t at) { return uint16_t(d[at] | d[at + 1] << 8); }

[[noreturn]] void fail(const std::string& what) { throw DibError("bitmap: " + what); }

}  // namespace

Dib decode_dib(std::span<const uint8_t> data) {
    if (data.size() < 40) fail("truncated info header (" + std::to_string(data.size()) + " of 40 bytes)");
    const uint32_t header_size = u32(data, 0);
    if (header_size < 40 || header_size > data.size())
        fail("bad info header size " + std::to_string(header_size));
    const int64_t width = int32_t(u32(data, 4));
    const int64_t stored_height = int32_t(u32(data, 8));
    const uint16_t planes = u16(data, 12);
    const uint16_t bits = u16(data, 14);
    const uint32_t compression = u32(data, 16);
    const uint32_t used = u32(data, 32);

    if (width <= 0 || width > kMaxSide) fail("bad width " + std::to_string(width));
    if (stored_height == 0 || stored_height > kMaxSide || stored_height < -kMaxSide)
        fail("bad height " + std::to_string(stored_height));
    if (planes != 1) fail("bad plane count " + std::to_string(planes));
    if (bits != 1 && bits != 4 && bits != 8) fail("unsupported bits per pixel " + std::to_string(bits));
    if (compression != 0) fail("unsupported compression " + std::to_string(compression));
    const uint32_t full = 1u << bits;
    if (used > full) fail("palette count " + std::to_string(used) + " exceeds " + std::to_string(full));
    const uint32_t entries = used == 0 ? full : used;

    const size_t palette_at = header_size;
    const size_t pixels_at = palette_at + size_t(entries) * 4;
    if (data.size() < pixels_at)
        fail("truncated palette (" + std::to_string(data.size() - palette_at) + " of " +
             std::to_string(entries * 4) + " bytes)");
    const int height = int(stored_height < 0 ? -stored_height : stored_height);
    const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
    const size_t needed = stride * size_t(height);
    if (data.size() - pixels_at < needed)
        fail("truncated pixel rows (" + std::to_string(data.size() - pixels_at) + " of " + std::to_string(needed) +
             " bytes)");

    Dib dib;
    dib.width = int(width);
    dib.height = height;
    dib.bits = bits;
    dib.palette.resize(entries);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t at = palette_at + i * 4;
        dib.palette[i] = uint32_t(data[at + 2]) << 16 | uint32_t(data[at + 1]) << 8 | data[at];
    }
    dib.indices.resize(size_t(width) * height);
    const uint32_t mask = full - 1;
    for (int y = 0; y < height; ++y) {
        const int stored_row = stored_height > 0 ? height - 1 - y : y;
        const uint8_t* row = data.data() + pixels_at + stride * size_t(stored_row);
        for (int x = 0; x < dib.width; ++x) {
            const size_t bit = size_t(x) * bits;
            // The leftmost pixel sits in the highest bits of its byte.
            const uint32_t v = (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
            if (v >= entries)
                fail("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") uses index " + std::to_string(v) +
                     " beyond the " + std::to_string(entries) + "-entry palette");
            dib.indices[size_t(y) * dib.width + x] = uint8_t(v);
        }
    }
    return dib;
}

Dib decode_bmp_file(std::span<const uint8_t> data) {
    if (data.size() < 14) fail("truncated file header (" + std::to_string(data.size()) + " of 14 bytes)");
    if (data[0] != 'B' || data[1] != 'M') fail("file does not start with BM");
    return decode_dib(data.subspan(14));
}

Dib load_bmp_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot open " + path);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        return decode_bmp_file(bytes);
    } catch (const DibError& e) {
        throw DibError(std::string(e.what()) + " in " + path);
    }
}

cairo_surface_t* to_surface(const Dib& dib) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dib.width, dib.height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        fail("cannot create a " + std::to_string(dib.width) + "x" + std::to_string(dib.height) + " surface");
    }
    cairo_surface_flush(s);
    unsigned char* out = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < dib.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out + size_t(y) * stride);
        for (int x = 0; x < dib.width; ++x) row[x] = 0xFF000000u | dib.rgb(x, y);
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void write_png(const Dib& dib, const std::string& path) {
    cairo_surface_t* s = to_surface(dib);
    const cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) fail("cannot write " + path + ": " + cairo_status_to_string(st));
}

}  // namespace gaugehost
