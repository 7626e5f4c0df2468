// The module's resources as the host loads them: every bitmap an element names (with its
// companions) exists at the size the element needs, stored as the catalogue says, and the
// version block reads as authored.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <unistd.h>

#include "bitmaps.h"
#include "gaugehost.h"

using namespace gaugehost;

namespace {

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

std::map<uint32_t, BitmapInfo> BitmapsById(const PeImage& pe) {
    std::map<uint32_t, BitmapInfo> by_id;
    for (const BitmapInfo& b : list_bitmaps(pe)) by_id[b.id] = b;
    return by_id;
}

}  // namespace

TEST(Resources, FiftyEightBitmapsStoredExactlyAsHeaderPalettePixels) {
    const PeImage pe = read_pe_file(KEL_GAU_PATH);
    const auto bitmaps = list_bitmaps(pe);
    ASSERT_EQ(bitmaps.size(), 58u);
    uint64_t total = 0;
    for (const BitmapInfo& b : bitmaps) {
        SCOPED_TRACE(b.id);
        EXPECT_GE(b.id, 0x1000u);
        EXPECT_LE(b.id, 0x1104u);
        EXPECT_EQ(b.language, 1033u);
        const uint32_t stride = (uint32_t(b.width) * b.bits + 31) / 32 * 4;
        EXPECT_EQ(b.bytes, 40 + 4 * b.palette + stride * b.height) << "nothing may follow the pixels";
        EXPECT_EQ(b.stored_palette == 0, b.id == 0x1103) << "only the minute hand stores a count of 0";
        EXPECT_EQ(b.bits == 4, b.id == 0x1020) << "only the radar altimeter face has 4 bits per pixel";
        total += b.bytes;
    }
    EXPECT_EQ(total, 3'541'540u);
}

// Image, mask and icon companions resolve; images drawn over a root are as large as it,
// masks as large as their windows, icon images all one size.
TEST(Resources, EveryBitmapAnElementNamesExistsAtTheSizeItNeeds) {
    const PeImage pe = read_pe_file(KEL_GAU_PATH);
    const auto by_id = BitmapsById(pe);
    auto size_of = [&](uint32_t id) -> Size {
        auto it = by_id.find(id);
        if (it == by_id.end()) ADD_FAILURE() << "no bitmap 0x" << std::hex << id;
        return it == by_id.end() ? Size{0, 0} : Size{it->second.width, it->second.height};
    };
    Host host(KEL_GAU_PATH);
    std::set<uint32_t> used;
    for (const GaugeModel& g : host.model().gauges) {
        const Size root = size_of(g.elements[0].resource_id);
        for (const ElementModel& e : g.elements) {
            SCOPED_TRACE(g.name + " element at 0x" + std::to_string(e.address));
            switch (e.kind) {
            case ElementKind::String:
                EXPECT_EQ(e.resource_id, 0xFFFFFFFFu);
                continue;
            case ElementKind::Static:
                EXPECT_EQ(size_of(e.resource_id), root);
                used.insert(e.resource_id);
                break;
            case ElementKind::Needle:
                size_of(e.resource_id);
                used.insert(e.resource_id);
                break;
            case ElementKind::Icon:
                ASSERT_EQ(e.image_count, 2u);
                EXPECT_EQ(size_of(e.resource_id), size_of(e.resource_id + 1));
                used.insert({e.resource_id, e.resource_id + 1});
                break;
            case ElementKind::MovingImage: {
                const Size image = size_of(e.resource_id), mask = size_of(e.resource_id + 1);
                EXPECT_LE(image.width, mask.width);
                EXPECT_LE(image.height, mask.height);
                used.insert({e.resource_id, e.resource_id + 1});
                break;
            }
            case ElementKind::Sprite:
                EXPECT_EQ(size_of(e.resource_id), (Size{256, 512}));
                EXPECT_EQ(size_of(e.resource_id + 1), root);
                used.insert({e.resource_id, e.resource_id + 1});
                break;
            }
        }
    }
    EXPECT_EQ(used.size(), 58u) << "every bitmap is used by exactly one element or companion";
    EXPECT_EQ(size_of(0x1086), (Size{117, 28})) << "the inclinometer ball's window";
    EXPECT_EQ(size_of(0x1050), (Size{400, 399}));
}

TEST(Resources, VersionBlockReadsAsAuthored) {
    const PeImage pe = read_pe_file(KEL_GAU_PATH);
    const auto version = pe.version();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(VersionInfo::dotted(version->file_version_ms, version->file_version_ls), "1.0.0.0");
    EXPECT_EQ(VersionInfo::dotted(version->product_version_ms, version->product_version_ls), "1.0.0.0");
    EXPECT_EQ(version->flags_mask, 0x3Fu);
    EXPECT_EQ(version->flags, 0u);
    EXPECT_EQ(version->os, 0x00010004u);
    EXPECT_EQ(version->file_type, 1u);
    EXPECT_EQ(version->file_subtype, 0u);
    EXPECT_EQ(version->string_table, "040904b0");
    std::vector<std::string> keys;
    for (const auto& [key, value] : version->strings) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"CompanyName", "FileDescription", "FileVersion", "LegalCopyright",
                                              "ProductName", "ProductVersion"}));
    std::map<std::string, std::string> strings(version->strings.begin(), version->strings.end());
    EXPECT_EQ(strings["FileDescription"], "KEL Gauges");
    EXPECT_EQ(strings["ProductName"], "KEL Gauges");
    EXPECT_EQ(strings["FileVersion"], "1.0.0");
    EXPECT_EQ(strings["ProductVersion"], "1.0.0");
    EXPECT_EQ(version->translations, (std::vector<uint32_t>{0x0409u | (1200u << 16)}));
    const Resource* block = pe.find_resource(16, 1);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->language, 1033u);
}

TEST(Resources, WritesABitmapAsPngAndNamesAMissingOne) {
    const PeImage pe = read_pe_file(KEL_GAU_PATH);
    const auto dir = std::filesystem::temp_directory_path() / ("kel-bitmaps-" + std::to_string(::getpid()));
    const std::string path = write_bitmap_png(pe, 0x1103, dir.string());
    EXPECT_EQ(std::filesystem::path(path).filename(), "1103.png");
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    std::filesystem::remove_all(dir);
    try {
        write_bitmap_png(pe, 0x10A0, dir.string());
        ADD_FAILURE() << "0x10A0 is not a bitmap of the module";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "no bitmap 0x10A0 among the module's resources");
    }
}
