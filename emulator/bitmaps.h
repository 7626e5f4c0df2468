// The module's bitmap resources as a host loads them: listed, checked and written as PNGs.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "pe.h"

namespace gaugehost {

struct BitmapInfo {
    uint32_t id = 0;
    uint32_t language = 0;
    uint32_t bytes = 0;          // resource size
    int width = 0, height = 0;
    int bits = 0;
    uint32_t stored_palette = 0; // the header's palette count; 0 means 1 << bits
    uint32_t palette = 0;        // entries the bitmap carries
};

// Every bitmap resource (type 2) in id order, decoded to check that it holds together;
// a bitmap that does not decode is an Error naming its id.
std::vector<BitmapInfo> list_bitmaps(const PeImage& pe);

// Writes bitmap `id` as DIR/<id in hex>.png and returns the path written.
std::string write_bitmap_png(const PeImage& pe, uint32_t id, const std::string& dir);

std::string bitmaps_text(const std::vector<BitmapInfo>& bitmaps);
nlohmann::json bitmaps_json(const std::vector<BitmapInfo>& bitmaps);

}  // namespace gaugehost
