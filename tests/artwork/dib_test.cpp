// The DIB reader on hand-made resources: layout cases and refusals.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <filesystem>

#include "dib.h"

using gaugehost::decode_bmp_file;
using gaugehost::decode_dib;
using gaugehost::DibError;

namespace {

// A resource built field by field, so each test can break one thing.
struct Builder {
    int32_t width = 3, height = 2;
    uint16_t planes = 1, bits = 8;
    uint32_t compression = 0, used = 2;
    std::vector<uint32_t> palette = {0x000000, 0xFF8000};  // 0x00RRGGBB
    std::vector<std::vector<uint8_t>> rows;                // as stored, bottom row first for height > 0

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> b;
        auto p32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
        };
        auto p16 = [&](uint16_t v) {
            b.push_back(uint8_t(v));
            b.push_back(uint8_t(v >> 8));
        };
        p32(40);
        p32(uint32_t(width));
        p32(uint32_t(height));
        p16(planes);
        p16(bits);
        p32(compression);
        p32(0);
        p32(2835);
        p32(2835);
        p32(used);
        p32(0);
        for (uint32_t c : palette) {
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
            b.push_back(uint8_t(c >> 16));
            b.push_back(0);
        }
        for (const auto& r : rows) b.insert(b.end(), r.begin(), r.end());
        return b;
    }
};

std::string error_of(const std::vector<uint8_t>& bytes) {
    try {
        decode_dib(bytes);
    } catch (const DibError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(DibReader, EightBitRowsAreBottomUpAndPaddedToFourBytes) {
    Builder b;
    b.rows = {{1, 0, 1, 0xEE}, {0, 1, 0, 0xEE}};  // stored bottom row first; 0xEE is padding
    const auto d = decode_dib(b.bytes());
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.rgb(0, 0), 0x000000u);  // top row is the second stored row
    EXPECT_EQ(d.rgb(1, 0), 0xFF8000u);
    EXPECT_EQ(d.rgb(0, 1), 0xFF8000u);
    EXPECT_EQ(d.rgb(2, 1), 0xFF8000u);
}

TEST(DibReader, NegativeHeightMeansTopRowFirst) {
    Builder b;
    b.height = -2;
    b.rows = {{1, 0, 1, 0}, {0, 1, 0, 0}};
    const auto d = decode_dib(b.bytes());
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(d.rgb(0, 0), 0xFF8000u);
    EXPECT_EQ(d.rgb(0, 1), 0x000000u);
}

TEST(DibReader, FourBitPixelsPutTheLeftPixelInTheHighHalf) {
    Builder b;
    b.bits = 4;
    b.width = 3;
    b.height = 1;
    b.used = 3;
    b.palette = {0x000000, 0x112233, 0x445566};
    b.rows = {{0x21, 0x00, 0, 0}};  // pixels 2, 1, 0
    const auto d = decode_dib(b.bytes());
    EXPECT_EQ(d.bits, 4);
    EXPECT_EQ(d.rgb(0, 0), 0x445566u);
    EXPECT_EQ(d.rgb(1, 0), 0x112233u);
    EXPECT_EQ(d.rgb(2, 0), 0x000000u);
}

TEST(DibReader, PaletteCountZeroMeansTheFullPalette) {
    Builder b;
    b.width = 1;
    b.height = 1;
    b.used = 0;
    b.palette.assign(256, 0);
    b.palette[255] = 0xABCDEF;
    b.rows = {{255, 0, 0, 0}};
    const auto d = decode_dib(b.bytes());
    EXPECT_EQ(d.palette.size(), 256u);
    EXPECT_EQ(d.rgb(0, 0), 0xABCDEFu);
    // Read literally, a count of 0 would leave index 255 with no colour.
    b.palette.resize(2);
    EXPECT_NE(error_of(b.bytes()).find("truncated palette"), std::string::npos);
}

TEST(DibReader, RefusesMalformedResourcesWithAMessageNamingTheFault) {
    struct Case {
        const char* name;
        void (*breakit)(Builder&, std::vector<uint8_t>&);
        const char* message;
    } cases[] = {
        {"short header", [](Builder&, std::vector<uint8_t>& v) { v.resize(39); }, "truncated info header"},
        {"zero width", [](Builder& b, std::vector<uint8_t>& v) { b.width = 0; v = b.bytes(); }, "bad width"},
        {"zero height", [](Builder& b, std::vector<uint8_t>& v) { b.height = 0; v = b.bytes(); }, "bad height"},
        {"huge width", [](Builder& b, std::vector<uint8_t>& v) { b.width = 1 << 30; v = b.bytes(); }, "bad width"},
        {"planes", [](Builder& b, std::vector<uint8_t>& v) { b.planes = 2; v = b.bytes(); }, "plane count"},
        {"24 bits", [](Builder& b, std::vector<uint8_t>& v) { b.bits = 24; v = b.bytes(); },
         "unsupported bits per pixel 24"},
        {"compressed", [](Builder& b, std::vector<uint8_t>& v) { b.compression = 1; v = b.bytes(); },
         "unsupported compression"},
        {"palette too big", [](Builder& b, std::vector<uint8_t>& v) { b.used = 300; v = b.bytes(); },
         "palette count 300"},
        {"short palette", [](Builder& b, std::vector<uint8_t>& v) { b.rows.clear(); v = b.bytes(); v.resize(44); },
         "truncated palette"},
        {"short rows", [](Builder&, std::vector<uint8_t>& v) { v.pop_back(); }, "truncated pixel rows"},
        {"index past palette",
         [](Builder& b, std::vector<uint8_t>& v) {
             b.rows[0][1] = 7;
             v = b.bytes();
         },
         "uses index 7"},
    };
    for (const auto& c : cases) {
        Builder b;
        b.rows = {{1, 0, 1, 0}, {0, 1, 0, 0}};
        std::vector<uint8_t> v = b.bytes();
        c.breakit(b, v);
        const std::string err = error_of(v);
        EXPECT_NE(err.find(c.message), std::string::npos) << c.name << ": got '" << err << "'";
        EXPECT_EQ(err.find('\n'), std::string::npos) << c.name;
    }
}

TEST(DibReader, FileHeaderIsCheckedAndSkipped) {
    Builder b;
    b.rows = {{1, 0, 1, 0}, {0, 1, 0, 0}};
    const auto dib = b.bytes();
    std::vector<uint8_t> file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    file.insert(file.end(), dib.begin(), dib.end());
    EXPECT_EQ(decode_bmp_file(file).rgb(0, 1), 0xFF8000u);
    file[0] = 'X';
    EXPECT_THROW(decode_bmp_file(file), DibError);
    EXPECT_THROW(decode_bmp_file(std::vector<uint8_t>(10, 'B')), DibError);
    EXPECT_THROW(gaugehost::load_bmp_file("/nonexistent/none.bmp"), DibError);
}

TEST(DibReader, SurfaceAndPngCarryThePixels) {
    Builder b;
    b.rows = {{1, 0, 1, 0}, {0, 1, 0, 0}};
    const auto d = decode_dib(b.bytes());
    cairo_surface_t* s = gaugehost::to_surface(d);
    ASSERT_EQ(cairo_image_surface_get_width(s), 3);
    const auto* px = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s));
    EXPECT_EQ(px[1], 0xFFFF8000u);  // top row, middle pixel, opaque
    cairo_surface_destroy(s);

    const auto path = (std::filesystem::temp_directory_path() / "kel-dib-test.png").string();
    gaugehost::write_png(d, path);
    cairo_surface_t* back = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_height(back), 2);
    cairo_surface_destroy(back);
    std::remove(path.c_str());
    EXPECT_THROW(gaugehost::write_png(d, "/nonexistent/dir/x.png"), DibError);
}
