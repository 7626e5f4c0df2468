// Median-cut reduction to a fixed palette size, and the stored DIB layout.
#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>

#include "artwork.h"

namespace artwork {
namespace {

struct Entry {
    Rgb colour;
    uint64_t count;
};

struct Box {
    std::vector<Entry> entries;
    uint64_t weight() const {
        uint64_t w = 0;
        for (const auto& e : entries) w += e.count;
        return w;
    }
    // Longest channel extent and which channel (0 red, 1 green, 2 blue).
    std::pair<int, int> extent() const {
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        for (const auto& e : entries) {
            const int c[3] = {red_of(e.colour), green_of(e.colour), blue_of(e.colour)};
            for (int i = 0; i < 3; ++i) {
                lo[i] = std::min(lo[i], c[i]);
                hi[i] = std::max(hi[i], c[i]);
            }
        }
        int best = 0;
        for (int i = 1; i < 3; ++i)
            if (hi[i] - lo[i] > hi[best] - lo[best]) best = i;
        return {hi[best] - lo[best], best};
    }
    Rgb mean() const {
        uint64_t r = 0, g = 0, b = 0, w = 0;
        for (const auto& e : entries) {
            r += uint64_t(red_of(e.colour)) * e.count;
            g += uint64_t(green_of(e.colour)) * e.count;
            b += uint64_t(blue_of(e.colour)) * e.count;
            w += e.count;
        }
        return rgb(int((r + w / 2) / w), int((g + w / 2) / w), int((b + w / 2) / w));
    }
};

int channel(Rgb c, int i) { return i == 0 ? red_of(c) : i == 1 ? green_of(c) : blue_of(c); }

// Splits colours into at most `count` boxes; the box to split next is the
// one whose spread times pixel weight is largest, ties to the earlier box.
std::vector<Rgb> median_cut(std::vector<Entry> entries, int count) {
    std::vector<Box> boxes;
    if (count <= 0 || entries.empty()) return {};
    boxes.push_back(Box{std::move(entries)});
    while (int(boxes.size()) < count) {
        int pick = -1;
        double best = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].entries.size() < 2) continue;
            const auto [ext, ch] = boxes[i].extent();
            const double score = double(ext + 1) * double(boxes[i].weight());
            if (ext > 0 && score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick < 0) break;
        Box& box = boxes[pick];
        const int ch = box.extent().second;
        std::stable_sort(box.entries.begin(), box.entries.end(), [ch](const Entry& a, const Entry& b) {
            return channel(a.colour, ch) < channel(b.colour, ch);
        });
        const uint64_t half = box.weight() / 2;
        uint64_t run = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.entries.size(); ++i) {
            run += box.entries[i].count;
            cut = i + 1;
            if (run >= half) break;
        }
        // Never split between two entries of the same channel value.
        while (cut < box.entries.size() &&
               channel(box.entries[cut].colour, ch) == channel(box.entries[cut - 1].colour, ch))
            ++cut;
        if (cut >= box.entries.size()) {
            cut = 1;
            while (cut < box.entries.size() &&
                   channel(box.entries[cut].colour, ch) == channel(box.entries[0].colour, ch))
                ++cut;
        }
        Box upper{std::vector<Entry>(box.entries.begin() + long(cut), box.entries.end())};
        box.entries.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> out;
    for (const auto& b : boxes) out.push_back(b.mean());
    return out;
}

int chroma(Rgb c) {
    return std::max({red_of(c), green_of(c), blue_of(c)}) - std::min({red_of(c), green_of(c), blue_of(c)});
}

// Weighted RGB distance plus a colourfulness term, so that a grey smoothing
// pixel between white and a dark face never rounds to a green or red entry.
int distance(Rgb a, Rgb b) {
    const int dr = red_of(a) - red_of(b), dg = green_of(a) - green_of(b), db = blue_of(a) - blue_of(b);
    const int dc = chroma(a) - chroma(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db + 6 * dc * dc;
}

bool contains(const std::vector<Rgb>& v, Rgb c) { return std::find(v.begin(), v.end(), c) != v.end(); }

}  // namespace

Indexed quantise(const Image& img, int count, const std::vector<Rgb>& keep,
                 const std::vector<Rgb>& exact_only) {
    if (count < 1 || count > 256) throw std::invalid_argument("palette size must be 1..256");
    std::map<Rgb, uint64_t> histogram;
    for (Rgb c : img.pixels) ++histogram[c];

    std::vector<Rgb> palette;
    if (int(histogram.size()) <= count) {
        // Every colour fits: most used first, black ahead of all.
        std::vector<Entry> all;
        for (auto [c, n] : histogram) all.push_back({c, n});
        std::stable_sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
            if ((a.colour == kBlack) != (b.colour == kBlack)) return a.colour == kBlack;
            return a.count > b.count;
        });
        for (const auto& e : all) palette.push_back(e.colour);
    } else {
        if (histogram.count(kBlack)) palette.push_back(kBlack);
        for (Rgb c : exact_only)
            if (histogram.count(c) && !contains(palette, c)) palette.push_back(c);
        if (int(palette.size()) > count) throw std::invalid_argument("more exact colours than palette entries");
        // Kept colours in order of preference, while room is left.
        for (Rgb c : keep)
            if (int(palette.size()) < count && histogram.count(c) && histogram[c] * 4000 >= img.pixels.size() &&
                !contains(palette, c))
                palette.push_back(c);
        std::vector<Entry> rest;
        for (auto [c, n] : histogram)
            if (!contains(palette, c)) rest.push_back({c, n});
        for (Rgb c : median_cut(std::move(rest), count - int(palette.size())))
            if (!contains(palette, c)) palette.push_back(c);
    }
    // Unused entries keep the stored count exact: greys not yet present, then tints.
    for (int step = 0; int(palette.size()) < count; ++step) {
        Rgb c;
        if (step < 512) {
            const int g = 128 + ((step & 1) ? -(step + 1) / 2 : step / 2);
            if (g < 2 || g > 255) continue;
            c = rgb(g, g, g);
        } else {
            const int k = step - 512;
            c = rgb(2 + (k * 37) % 254, 2 + (k * 71) % 254, 2 + (k * 113) % 254);
        }
        if (!contains(palette, c) && !contains(exact_only, c)) palette.push_back(c);
        if (step > 4096) throw std::logic_error("cannot pad palette");
    }

    std::map<Rgb, uint8_t> lookup;
    for (auto [c, n] : histogram) {
        int best = -1, best_d = 0;
        for (int i = 0; i < int(palette.size()); ++i) {
            if (palette[i] == c) {
                best = i;
                break;
            }
            if (contains(exact_only, palette[i])) continue;
            const int d = distance(c, palette[i]);
            if (best < 0 || d < best_d) {
                best = i;
                best_d = d;
            }
        }
        if (best < 0) throw std::logic_error("no palette entry for a colour");
        lookup[c] = uint8_t(best);
    }
    Indexed out;
    out.width = img.width;
    out.height = img.height;
    out.palette = std::move(palette);
    out.indices.reserve(img.pixels.size());
    for (Rgb c : img.pixels) out.indices.push_back(lookup[c]);
    return out;
}

namespace {
void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
}  // namespace

std::vector<uint8_t> encode_dib(const Indexed& ix, const BitmapEntry& entry) {
    if (ix.width != entry.width || ix.height != entry.height)
        throw std::logic_error("picture size differs from the catalogue");
    if (int(ix.palette.size()) != entry.palette) throw std::logic_error("palette size differs from the catalogue");
    if (entry.bits == 4 && entry.palette > 16) throw std::logic_error("4-bit picture with more than 16 colours");
    const uint32_t stride = ((uint32_t(entry.width) * entry.bits + 31) / 32) * 4;
    std::vector<uint8_t> out;
    out.reserve(40 + 4 * ix.palette.size() + size_t(stride) * entry.height);
    put32(out, 40);
    put32(out, uint32_t(entry.width));
    put32(out, uint32_t(entry.height));
    put16(out, 1);
    put16(out, uint32_t(entry.bits));
    put32(out, 0);                     // uncompressed
    put32(out, stride * entry.height);  // image size
    put32(out, 2835);                  // 72 dpi, both ways
    put32(out, 2835);
    put32(out, entry.count_zero ? 0u : uint32_t(entry.palette));
    put32(out, 0);
    for (Rgb c : ix.palette) {
        out.push_back(uint8_t(blue_of(c)));
        out.push_back(uint8_t(green_of(c)));
        out.push_back(uint8_t(red_of(c)));
        out.push_back(0);
    }
    for (int y = entry.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < entry.width; ++x) {
            const uint8_t i = ix.indices[size_t(y) * entry.width + x];
            if (entry.bits == 8)
                row[x] = i;
            else
                row[x / 2] |= uint8_t((x & 1) ? i : i << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> bmp_file(const std::vector<uint8_t>& dib) {
    std::vector<uint8_t> out;
    const uint32_t bits = dib[14] | (dib[15] << 8);
    uint32_t used = dib[32] | (dib[33] << 8) | (dib[34] << 16) | (uint32_t(dib[35]) << 24);
    if (used == 0) used = 1u << bits;
    out.push_back('B');
    out.push_back('M');
    put32(out, uint32_t(14 + dib.size()));
    put32(out, 0);
    put32(out, 14 + 40 + 4 * used);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

}  // namespace artwork
