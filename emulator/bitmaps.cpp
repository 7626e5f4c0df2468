#include "bitmaps.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "bytes.h"
#include "dib.h"

namespace gaugehost {

namespace {
constexpr uint32_t kBitmapType = 2;

std::string id_hex(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", id);
    return text;
}

Dib decode(const PeImage& pe, const Resource& r) {
    try {
        return decode_dib(pe.resource_bytes(r));
    } catch (const DibError& e) {
        throw Error("bitmap 0x" + id_hex(r.id) + ": " + e.what());
    }
}
}  // namespace

std::vector<BitmapInfo> list_bitmaps(const PeImage& pe) {
    std::vector<BitmapInfo> list;
    for (const Resource& r : pe.resources) {
        if (r.type != kBitmapType) continue;
        const Dib dib = decode(pe, r);
        const auto bytes = pe.resource_bytes(r);
        BitmapInfo b;
        b.id = r.id;
        b.language = r.language;
        b.bytes = r.size;
        b.width = dib.width;
        b.height = dib.height;
        b.bits = dib.bits;
        b.stored_palette = ByteReader(bytes, "bitmap header").u32(32, "palette count");
        b.palette = uint32_t(dib.palette.size());
        list.push_back(b);
    }
    std::sort(list.begin(), list.end(), [](const BitmapInfo& a, const BitmapInfo& b) { return a.id < b.id; });
    return list;
}

std::string write_bitmap_png(const PeImage& pe, uint32_t id, const std::string& dir) {
    const Resource* r = pe.find_resource(kBitmapType, id);
    if (!r) throw Error("no bitmap 0x" + id_hex(id) + " among the module's resources");
    std::filesystem::create_directories(dir);
    const std::string path = (std::filesystem::path(dir) / (id_hex(id) + ".png")).string();
    try {
        write_png(decode(pe, *r), path);
    } catch (const DibError& e) {
        throw Error(path + ": " + e.what());
    }
    return path;
}

std::string bitmaps_text(const std::vector<BitmapInfo>& bitmaps) {
    std::ostringstream out;
    uint64_t total = 0;
    out << bitmaps.size() << " bitmaps\n";
    for (const BitmapInfo& b : bitmaps) {
        out << "  0x" << id_hex(b.id) << "  " << b.width << " x " << b.height << "  " << b.bits << " bpp  palette "
            << b.palette;
        if (b.stored_palette != b.palette) out << " (stored " << b.stored_palette << ")";
        out << "  " << b.bytes << " bytes  lang " << b.language << "\n";
        total += b.bytes;
    }
    out << "total " << total << " bytes\n";
    return out.str();
}

nlohmann::json bitmaps_json(const std::vector<BitmapInfo>& bitmaps) {
    nlohmann::json list = nlohmann::json::array();
    for (const BitmapInfo& b : bitmaps)
        list.push_back({{"id", b.id},
                        {"width", b.width},
                        {"height", b.height},
                        {"bits", b.bits},
                        {"palette", b.palette},
                        {"stored_palette", b.stored_palette},
                        {"bytes", b.bytes},
                        {"language", b.language}});
    return list;
}

}  // namespace gaugehost
