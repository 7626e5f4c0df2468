// The stored form of the 58 bitmaps: headers, palettes, strides, sizes,
// shared pictures, the resource list and repeatable output.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "artwork_files.h"

namespace fs = std::filesystem;
using namespace artwork_test;

namespace {

struct Expected {
    uint16_t id;
    int width, height, bits, palette;
};

// The catalogue as the module's resource list gives it.
const Expected kCatalogue[] = {
    {0x1000, 400, 400, 8, 39},  {0x1001, 300, 35, 8, 71},   {0x1010, 400, 400, 8, 56},  {0x1011, 37, 208, 8, 10},
    {0x1012, 51, 168, 8, 15},   {0x1013, 37, 145, 8, 9},    {0x1014, 45, 45, 8, 161},   {0x1015, 45, 45, 8, 161},
    {0x1020, 400, 400, 4, 16},  {0x1021, 189, 55, 8, 9},    {0x1030, 400, 400, 8, 2},   {0x1031, 400, 400, 8, 14},
    {0x1032, 391, 49, 8, 216},  {0x1033, 400, 400, 8, 5},   {0x1034, 45, 45, 8, 161},   {0x1035, 45, 45, 8, 161},
    {0x1040, 400, 400, 8, 15},  {0x1041, 210, 39, 8, 10},   {0x1050, 400, 399, 8, 20},  {0x1051, 54, 189, 8, 9},
    {0x1052, 52, 33, 8, 1},     {0x1053, 52, 33, 8, 2},     {0x1060, 243, 243, 8, 17},  {0x1061, 243, 10, 8, 4},
    {0x1062, 243, 243, 8, 2},   {0x1063, 10, 243, 8, 4},    {0x1064, 243, 243, 8, 2},   {0x1065, 33, 52, 8, 1},
    {0x1066, 33, 52, 8, 2},     {0x1067, 52, 33, 8, 1},     {0x1068, 52, 33, 8, 2},     {0x1069, 200, 50, 8, 197},
    {0x1070, 400, 400, 8, 181}, {0x1071, 256, 512, 8, 5},   {0x1072, 400, 400, 8, 22},  {0x1073, 13, 161, 8, 2},
    {0x1080, 297, 294, 8, 256}, {0x1081, 256, 512, 8, 225}, {0x1082, 297, 294, 8, 256}, {0x1083, 297, 294, 8, 256},
    {0x1084, 9, 153, 8, 75},    {0x1085, 15, 22, 8, 207},   {0x1086, 117, 28, 8, 3},    {0x1090, 400, 400, 8, 3},
    {0x1091, 189, 55, 8, 9},    {0x1092, 400, 400, 8, 21},  {0x1095, 400, 400, 8, 3},   {0x1096, 189, 55, 8, 9},
    {0x1097, 400, 400, 8, 10},  {0x109A, 400, 400, 8, 5},   {0x109B, 189, 55, 8, 5},    {0x109C, 400, 400, 8, 6},
    {0x109D, 189, 55, 8, 9},    {0x1100, 400, 400, 8, 256}, {0x1101, 13, 75, 8, 32},    {0x1102, 54, 131, 8, 121},
    {0x1103, 10, 154, 8, 256},  {0x1104, 13, 188, 8, 38},
};

void PrintTo(const Expected& e, std::ostream* os) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "0x%04X %dx%d", e.id, e.width, e.height);
    *os << buf;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

std::string id_name(const testing::TestParamInfo<Expected>& info) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "id_%04X", info.param.id);
    return buf;
}

class CatalogueEntry : public testing::TestWithParam<Expected> {};

}  // namespace

TEST_P(CatalogueEntry, IsStoredAsTheResourceListGivesIt) {
    const Expected e = GetParam();
    const auto file = file_bytes(e.id);
    ASSERT_GE(file.size(), 54u) << file_name(e.id) << " missing or truncated";

    const uint32_t stride = ((uint32_t(e.width) * e.bits + 31) / 32) * 4;
    const uint32_t entries = e.palette;
    const size_t resource = 40 + 4 * entries + size_t(stride) * e.height;

    // File header: BM, total size, pixels right after the palette.
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), file.size());
    EXPECT_EQ(le32(file, 10), 14 + 40 + 4 * entries);
    // Resource: exactly header + palette + rows, nothing after.
    EXPECT_EQ(file.size() - 14, resource);
    const size_t h = 14;
    EXPECT_EQ(le32(file, h + 0), 40u);
    EXPECT_EQ(int32_t(le32(file, h + 4)), e.width);
    EXPECT_EQ(int32_t(le32(file, h + 8)), e.height) << "height must be positive (bottom-up rows)";
    EXPECT_EQ(le16(file, h + 12), 1);
    EXPECT_EQ(le16(file, h + 14), e.bits);
    EXPECT_EQ(le32(file, h + 16), 0u) << "uncompressed";
    EXPECT_EQ(le32(file, h + 20), stride * e.height) << "image size is stride times height";
    EXPECT_EQ(le32(file, h + 24), le32(file, h + 28)) << "equal resolutions";
    EXPECT_GT(le32(file, h + 24), 0u);
    EXPECT_EQ(le32(file, h + 32), e.id == 0x1103 ? 0u : entries);
    EXPECT_EQ(le32(file, h + 36), 0u);
    for (uint32_t i = 0; i < entries; ++i) EXPECT_EQ(file[h + 40 + 4 * i + 3], 0) << "palette entry " << i;

    const auto& dib = bitmap(e.id);
    EXPECT_EQ(dib.width, e.width);
    EXPECT_EQ(dib.height, e.height);
    EXPECT_EQ(int(dib.palette.size()), e.palette);
}

INSTANTIATE_TEST_SUITE_P(Artwork, CatalogueEntry, testing::ValuesIn(kCatalogue), id_name);

// Bitmaps whose layout a careless reader or writer gets wrong.
TEST(ArtworkStorage, EdgeCasesOfTheStoredLayout) {
    struct Case {
        uint16_t id;
        uint32_t stride;
        size_t resource_size;
    } cases[] = {
        {0x1103, 12, 40 + 256 * 4 + 12 * 154},  // count 0: all 256 entries follow
        {0x1020, 200, 40 + 16 * 4 + 200 * 400}, // 4 bits: two pixels a byte
        {0x1060, 244, 40 + 17 * 4 + 244 * 243}, // 243 wide rounds up to 244
        {0x1062, 244, 40 + 2 * 4 + 244 * 243},
        {0x1063, 12, 40 + 4 * 4 + 12 * 243},    // 10 wide rounds up to 12
        {0x1050, 400, 40 + 20 * 4 + 400 * 399}, // one row short of square
    };
    for (const auto& c : cases) {
        const auto file = file_bytes(c.id);
        ASSERT_FALSE(file.empty()) << file_name(c.id);
        EXPECT_EQ(file.size() - 14, c.resource_size) << file_name(c.id);
        EXPECT_EQ(le32(file, 14 + 20), c.stride * le32(file, 14 + 8)) << file_name(c.id);
    }
    EXPECT_EQ(bitmap(0x1103).palette.size(), 256u);
    EXPECT_EQ(bitmap(0x1020).bits, 4);
}

TEST(ArtworkStorage, ResourceSizesAddUp) {
    size_t total = 0;
    for (const auto& e : kCatalogue) total += file_bytes(e.id).size() - 14;
    EXPECT_EQ(total, 3541540u);
}

TEST(ArtworkStorage, SharedPicturesAreByteIdentical) {
    const std::vector<std::vector<uint16_t>> groups = {
        {0x1014, 0x1015, 0x1034, 0x1035}, {0x1021, 0x1091, 0x1096, 0x109D}, {0x1052, 0x1067},
        {0x1053, 0x1068},                 {0x1062, 0x1064}};
    for (const auto& g : groups)
        for (uint16_t id : g) EXPECT_EQ(file_bytes(id), file_bytes(g[0])) << file_name(id) << " vs " << file_name(g[0]);
    // And pictures that merely look alike are not accidentally shared.
    EXPECT_NE(file_bytes(0x1052), file_bytes(0x1065));
    EXPECT_NE(file_bytes(0x1021), file_bytes(0x109B));
}

TEST(ArtworkStorage, DirectoryHoldsExactlyTheCatalogue) {
    std::set<std::string> want, got;
    for (const auto& e : kCatalogue) want.insert(file_name(e.id));
    for (const auto& f : fs::directory_iterator(KEL_ARTWORK_DIR))
        if (f.path().extension() == ".bmp") got.insert(f.path().filename().string());
    EXPECT_EQ(got, want);
}

TEST(ArtworkStorage, ResourceScriptListsEveryBitmapByDecimalIdAndAbsolutePath) {
    std::ifstream in(std::string(KEL_ARTWORK_DIR) + "/bitmaps.rc");
    ASSERT_TRUE(in) << "bitmaps.rc missing";
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "LANGUAGE 9, 1");
    std::set<uint16_t> ids;
    int lines = 0;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        ++lines;
        std::istringstream s(line);
        unsigned id = 0;
        std::string type, path;
        s >> id >> type >> path;
        EXPECT_EQ(type, "BITMAP") << line;
        ASSERT_GE(path.size(), 2u) << line;
        ASSERT_EQ(path.front(), '"') << line;
        ASSERT_EQ(path.back(), '"') << line;
        path = path.substr(1, path.size() - 2);
        EXPECT_TRUE(fs::path(path).is_absolute()) << line;
        EXPECT_EQ(fs::path(path).filename().string(), file_name(uint16_t(id))) << line;
        EXPECT_EQ(read_bytes(path), file_bytes(uint16_t(id))) << line;
        ids.insert(uint16_t(id));
    }
    EXPECT_EQ(lines, 58);
    std::set<uint16_t> want;
    for (const auto& e : kCatalogue) want.insert(e.id);
    EXPECT_EQ(ids, want);
}

// Two fresh runs give the same bytes as each other and as the build's copy.
TEST(ArtworkStorage, GeneratorIsDeterministic) {
    const fs::path base = fs::temp_directory_path() / ("kel-artwork-test-" + std::to_string(::getpid()));
    const fs::path a = base / "a", b = base / "b";
    for (const auto& d : {a, b}) {
        const std::string cmd = std::string("\"") + KEL_ARTWORK_EXE + "\" \"" + d.string() + "\"";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    for (const auto& e : kCatalogue) {
        const auto first = read_bytes((a / file_name(e.id)).string());
        EXPECT_FALSE(first.empty()) << file_name(e.id);
        EXPECT_EQ(first, read_bytes((b / file_name(e.id)).string())) << file_name(e.id);
        EXPECT_EQ(first, file_bytes(e.id)) << file_name(e.id);
    }
    fs::remove_all(base);
}

TEST(ArtworkStorage, GeneratorRefusesBadArguments) {
    const std::string exe = std::string("\"") + KEL_ARTWORK_EXE + "\"";
    EXPECT_NE(std::system((exe + " >/dev/null 2>&1").c_str()), 0) << "no output directory";
    EXPECT_NE(std::system((exe + " /tmp/x /tmp/y >/dev/null 2>&1").c_str()), 0) << "two directories";
    EXPECT_NE(std::system((exe + " --bogus >/dev/null 2>&1").c_str()), 0) << "unknown option";
    // An output path that cannot be a directory.
    EXPECT_NE(std::system((exe + " /dev/null/sub >/dev/null 2>&1").c_str()), 0);
}
