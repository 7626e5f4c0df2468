// Reading the generated bitmaps for the artwork tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "dib.h"

namespace artwork_test {

inline std::string file_name(uint16_t id) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x.bmp", id);
    return buf;
}

inline std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> file_bytes(uint16_t id) {
    return read_bytes(std::string(KEL_ARTWORK_DIR) + "/" + file_name(id));
}

// Decoded bitmap by id, read once per test run.
inline const gaugehost::Dib& bitmap(uint16_t id) {
    static std::map<uint16_t, gaugehost::Dib> cache;
    auto it = cache.find(id);
    if (it == cache.end()) it = cache.emplace(id, gaugehost::decode_bmp_file(file_bytes(id))).first;
    return it->second;
}

inline uint32_t rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
constexpr uint32_t kBlack = 0x000000, kWindow = 0x010101, kFace = 0x191919;

inline int brightness(uint32_t c) {
    return std::max({int(c >> 16) & 255, int(c >> 8) & 255, int(c) & 255});
}

// Pixel at `radius` from pixel (cx, cy) along `deg` clockwise from straight up.
inline uint32_t along(const gaugehost::Dib& d, double cx, double cy, double deg, double radius, int* px = nullptr,
                      int* py = nullptr) {
    const double a = deg * 3.14159265358979323846 / 180.0;
    const int x = int(std::lround(cx + radius * std::sin(a)));
    const int y = int(std::lround(cy - radius * std::cos(a)));
    if (px) *px = x;
    if (py) *py = y;
    return d.rgb(x, y);
}

// Brightest of a pixel and its four neighbours: "on the mark, give or take a pixel".
inline int brightness_near(const gaugehost::Dib& d, int x, int y) {
    int best = 0;
    const int nb[5][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (auto [dx, dy] : nb) {
        const int u = x + dx, v = y + dy;
        if (u >= 0 && v >= 0 && u < d.width && v < d.height) best = std::max(best, brightness(d.rgb(u, v)));
    }
    return best;
}

inline double direction_of(double cx, double cy, double x, double y) {
    double deg = std::atan2(x - cx, cy - y) * 180.0 / 3.14159265358979323846;
    return deg < 0 ? deg + 360.0 : deg;
}

}  // namespace artwork_test
