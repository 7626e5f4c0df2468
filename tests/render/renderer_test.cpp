// Drawing on small synthetic bitmaps, sampled where each element must land:
// needle pivots and turns, flags shown and hidden, text inside its box, masks
// and sprites.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "render/error.h"
#include "render/renderer.h"

namespace gaugehost::render {
namespace {

constexpr uint32_t kGrey = 0x404040, kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF,
                   kGreen = 0x00FF00, kBlack = 0x000000, kWindow = 0x010101;

// A bitmap of one colour.
IndexedBitmap Solid(int w, int h, uint32_t rgb) {
    return {w, h, {rgb}, std::vector<uint8_t>(size_t(w) * h, 0)};
}

// A bitmap painted by `colour_at(x, y)` over a small palette.
template <class F>
IndexedBitmap Painted(int w, int h, std::vector<uint32_t> palette, F colour_at) {
    IndexedBitmap b{w, h, palette, std::vector<uint8_t>(size_t(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour_at(x, y);
            size_t k = 0;
            while (k < palette.size() && palette[k] != c) ++k;
            b.pixels[size_t(y) * w + x] = uint8_t(k);
        }
    return b;
}

struct Pixel {
    uint32_t rgb;
    uint8_t alpha;
};

class RenderFixture : public ::testing::Test {
protected:
    // Every test draws over a 100 x 100 grey root, 0x1000.
    void SetUp() override { bitmaps_[0x1000] = Solid(100, 100, kGrey); }

    ElementLayout Root() const {
        ElementLayout e;
        e.kind = ElementKind::kStaticImage;
        e.resource_id = 0x1000;
        e.draw_flags = 1;
        return e;
    }

    GaugeRenderer& Make(std::vector<ElementLayout> chain) {
        cache_ = std::make_unique<SurfaceCache>([this](uint32_t id) {
            auto it = bitmaps_.find(id);
            if (it == bitmaps_.end()) throw RenderError("no bitmap " + std::to_string(id));
            return it->second;
        });
        renderer_ = std::make_unique<GaugeRenderer>(GaugeLayout{"TEST", std::move(chain)}, *cache_);
        return *renderer_;
    }

    // Updates with `results` (one per element) and draws.
    void DrawWith(std::vector<ElementResult> results) {
        renderer_->Update(results);
        Draw();
    }
    void Draw() {
        surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, renderer_->width(), renderer_->height()));
        cairo_t* cr = cairo_create(surface_.get());
        renderer_->Draw(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface_.get());
    }

    Pixel At(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(surface_.get());
        const int stride = cairo_image_surface_get_stride(surface_.get());
        const uint32_t argb = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride)[x];
        return {argb & 0xFFFFFF, uint8_t(argb >> 24)};
    }
    uint32_t Rgb(int x, int y) const { return At(x, y).rgb; }

    std::map<uint32_t, IndexedBitmap> bitmaps_;
    std::unique_ptr<SurfaceCache> cache_;
    std::unique_ptr<GaugeRenderer> renderer_;
    Surface surface_;
};

// A needle lying right from its pivot (0, 1): 40 x 3, white, as tabled needles are drawn.
ElementLayout RightNeedle(std::vector<ScalePoint> table, int32_t limit = 0) {
    ElementLayout e;
    e.kind = ElementKind::kNeedle;
    e.resource_id = 0x1001;
    e.position_x = 50;
    e.position_y = 50;
    e.offset_x = 0;
    e.offset_y = 1;
    e.draw_flags = 7;
    e.table = std::move(table);
    e.max_degrees_per_tick = limit;
    return e;
}

struct NeedleSample {
    double value;
    int x, y;  // a pixel 30 along the expected direction from the pivot (50, 50)
};

TEST_F(RenderFixture, TabledNeedlePointsAtItsPointsAndSweepsClockwiseBetweenThem) {
    bitmaps_[0x1001] = Solid(40, 3, kWhite);
    // 0 straight down, 1 to the right: clockwise from down to right is 270 degrees,
    // through the left and the top.
    Make({Root(), RightNeedle({{50, 95, 0.0}, {95, 50, 1.0}})});
    const NeedleSample samples[] = {
        {0.0, 50, 80},     // down
        {1.0 / 3, 20, 50}, // left
        {0.5, 29, 29},     // up-left, 315 degrees
        {2.0 / 3, 50, 20}, // up
        {1.0, 80, 50},     // right
        {5.0, 80, 50},     // beyond the table: held at the last point
    };
    for (const NeedleSample& s : samples) {
        SCOPED_TRACE("value " + std::to_string(s.value));
        ElementResult r;
        r.value = s.value;
        DrawWith({{}, r});
        EXPECT_EQ(Rgb(s.x, s.y), kWhite);
        // Opposite the pointer there is only the root.
        EXPECT_EQ(Rgb(100 - s.x, 100 - s.y), kGrey);
    }
}

TEST_F(RenderFixture, UntabledNeedleTurnsClockwiseFromAsDrawnAboutItsOffsetPixel) {
    // Drawn pointing up, 5 x 31, pivot (2, 30) marked red, white elsewhere.
    bitmaps_[0x1001] = Painted(5, 31, {kWhite, kRed}, [](int x, int y) { return x == 2 && y == 30 ? kRed : kWhite; });
    ElementLayout needle;
    needle.kind = ElementKind::kNeedle;
    needle.resource_id = 0x1001;
    needle.position_x = 40;
    needle.position_y = 60;
    needle.offset_x = 2;
    needle.offset_y = 30;
    needle.draw_flags = 1;  // nearest pixel: the pivot's pixel lands exactly
    Make({Root(), needle});
    const NeedleSample samples[] = {{0.0, 40, 40}, {90.0, 60, 60}, {180.0, 40, 80}, {-90.0, 20, 60}, {450.0, 60, 60}};
    for (const NeedleSample& s : samples) {
        SCOPED_TRACE("angle " + std::to_string(s.value));
        ElementResult r;
        r.value = s.value;
        DrawWith({{}, r});
        EXPECT_EQ(Rgb(40, 60), kRed) << "the offset pixel covers the position pixel";
        EXPECT_EQ(Rgb(s.x, s.y), kWhite);
    }
}

TEST_F(RenderFixture, LimitedNeedleTurnsSixDegreesPerUpdate) {
    bitmaps_[0x1001] = Solid(40, 3, kWhite);
    ElementLayout needle = RightNeedle({}, 6);
    Make({Root(), needle});
    ElementResult r;
    r.value = 0.0;
    renderer_->Update(std::vector<ElementResult>{{}, r});
    r.value = 90.0;
    for (double expected : {6.0, 12.0, 18.0}) {
        renderer_->Update(std::vector<ElementResult>{{}, r});
        EXPECT_DOUBLE_EQ(renderer_->NeedleRotation(1), expected);
    }
}

ElementLayout Flag(uint32_t flags) {
    ElementLayout e;
    e.kind = ElementKind::kIcon;
    e.resource_id = 0x1052;
    e.position_x = 80;
    e.position_y = 40;
    e.draw_flags = flags;
    e.image_count = 2;
    return e;
}

struct FlagCase {
    double result;
    uint32_t flags;
    uint32_t shown;  // colour at the icon's place
};

TEST_F(RenderFixture, FlagShowsForImageOneAndItsBlackImageIsClearUnderBitZero) {
    bitmaps_[0x1052] = Solid(30, 10, kBlack);
    bitmaps_[0x1053] = Painted(30, 10, {kRed, kWhite}, [](int x, int y) { return (x + y) / 3 % 2 ? kWhite : kRed; });
    const FlagCase cases[] = {
        {0.0, 7, kGrey},   // image 0 is pure black: the dial shows through
        {1.0, 7, kRed},
        {0.0, 6, kBlack},  // without bit 0 the black image is painted
        {7.0, 7, kRed},    // beyond the last image: the last image
        {-3.0, 7, kGrey},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE("result " + std::to_string(c.result) + " flags " + std::to_string(c.flags));
        Make({Root(), Flag(c.flags)});
        ElementResult r;
        r.value = c.result;
        DrawWith({{}, r});
        EXPECT_EQ(Rgb(80, 40), c.shown);
        EXPECT_EQ(Rgb(79, 40), kGrey) << "nothing left of the icon";
        // The icon runs past the root's right edge (80 + 30 > 100): clipped, no overrun.
        EXPECT_EQ(Rgb(99, 49), c.shown == kRed ? Rgb(99, 49) : c.shown);
    }
}

TEST_F(RenderFixture, TextIsDrawnCentredInsideItsBoxAndNowhereElse) {
    ElementLayout text;
    text.kind = ElementKind::kString;
    text.resource_id = 0xFFFFFFFF;
    text.position_x = 20;
    text.position_y = 30;
    text.box_width = 60;
    text.box_height = 28;
    text.fore_color = 0x00FFFFFF;
    text.back_color = 0x00000000;
    text.font_weight = 700;
    text.text_format = 0x25;
    Make({Root(), text});
    ElementResult r;
    r.text = "045";
    DrawWith({{}, r});

    int min_x = 1000, max_x = -1, min_y = 1000, max_y = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 20 && x < 80 && y >= 30 && y < 58;
            const uint32_t c = Rgb(x, y);
            if (!inside) {
                ASSERT_EQ(c, kGrey) << "outside the box at " << x << "," << y;
                continue;
            }
            if ((c & 0xFF) > 0x80) {  // bright: ink of the text
                min_x = std::min(min_x, x), max_x = std::max(max_x, x);
                min_y = std::min(min_y, y), max_y = std::max(max_y, y);
            }
        }
    ASSERT_GE(max_x, 0) << "no text drawn";
    EXPECT_EQ(Rgb(20, 30), kBlack) << "box filled with the back colour";
    EXPECT_EQ(Rgb(79, 57), kBlack);
    EXPECT_NEAR((min_x + max_x) / 2.0, 49.5, 2.0) << "centred across";
    EXPECT_NEAR((min_y + max_y) / 2.0, 43.5, 3.0) << "centred down";
    EXPECT_GT(max_y - min_y, 14) << "digits fill most of the box height";
    EXPECT_GT(max_x - min_x, 25) << "three digits wide";
}

TEST_F(RenderFixture, TextTooWideForItsBoxIsMadeSmallerToFit) {
    ElementLayout text;
    text.kind = ElementKind::kString;
    text.position_x = 10;
    text.position_y = 10;
    text.box_width = 30;
    text.box_height = 40;
    text.fore_color = 0x00FFFFFF;
    text.text_format = 0x25;
    Make({Root(), text});
    ElementResult r;
    r.text = "88888888";
    DrawWith({{}, r});
    int ink = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 40; ++x) ink += (Rgb(x, y) & 0xFF) > 0x80;
    EXPECT_GT(ink, 20);
    for (int x = 10; x < 40; ++x) EXPECT_LT(Rgb(x, 10) & 0xFF, 0x80) << "the shrunk line stays off the top edge";
}

TEST_F(RenderFixture, TextWithAnyBytesIsDrawnWithoutBreakingTheDrawing) {
    ElementLayout text;
    text.kind = ElementKind::kString;
    text.position_x = 10;
    text.position_y = 10;
    text.box_width = 60;
    text.box_height = 30;
    text.fore_color = 0x00FFFFFF;
    text.text_format = 0x25;
    bitmaps_[0x1052] = Solid(10, 10, kRed);
    bitmaps_[0x1053] = Solid(10, 10, kRed);
    ElementLayout flag = Flag(7);
    Make({Root(), text, flag});
    ElementResult t, f;
    t.text = std::string("\xB0\xFF\x01\n9", 5);  // Latin-1 and control bytes
    f.value = 1.0;
    DrawWith({{}, t, f});
    EXPECT_EQ(Rgb(85, 45), kRed) << "the element after the text is still drawn";
}

// A 40 x 20 mask at (30, 40): a window of (1,1,1) in columns 5..34, pure black
// outside it, and a fixed grey-blue line of artwork down column 20.
IndexedBitmap WindowMask() {
    return Painted(40, 20, {kBlack, kWindow, kBlue}, [](int x, int) {
        if (x == 20) return kBlue;
        return x >= 5 && x < 35 ? kWindow : kBlack;
    });
}

ElementLayout Ball(uint32_t flags = 3) {
    ElementLayout e;
    e.kind = ElementKind::kMovingImage;
    e.resource_id = 0x1085;
    e.position_x = 30;
    e.position_y = 40;
    e.draw_flags = flags;
    e.x_min = -127.0;
    e.x_max = 127.0;
    e.y_min = 0.0;
    e.y_max = 0.0;
    return e;
}

TEST_F(RenderFixture, MovingImageShowsOnlyThroughItsWindowUnderTheMaskArtwork) {
    bitmaps_[0x1085] = Solid(40, 6, kRed);  // as wide as the mask: fills the window at any x
    bitmaps_[0x1086] = WindowMask();
    Make({Root(), Ball()});
    ElementResult r;
    r.value = 0.0;
    r.value_y = 1.0;  // fixed axis: the callback's 1.0 is outside 0..0 and must not move it
    DrawWith({{}, r});
    EXPECT_EQ(Rgb(40, 50), kRed) << "window shows the bitmap";
    EXPECT_EQ(Rgb(32, 50), kGrey) << "pure black of the mask shows the dial";
    EXPECT_EQ(Rgb(50, 50), kBlue) << "artwork lies over the bitmap";
    EXPECT_EQ(Rgb(40, 46), kGrey) << "the 6-row bitmap is centred in 20 rows: rows 7..12";
    EXPECT_EQ(Rgb(40, 47), kRed);
    EXPECT_EQ(Rgb(40, 52), kRed);
    EXPECT_EQ(Rgb(40, 53), kGrey);
}

struct BallCase {
    double x;
    int red_x;    // the ball's left column in the root
    int clear_x;  // a column of the window the ball does not cover
};

TEST_F(RenderFixture, MovingAxisSpansTheTravelAndTheFixedAxisStaysPut) {
    bitmaps_[0x1085] = Solid(4, 6, kRed);
    bitmaps_[0x1086] = Painted(40, 20, {kWindow}, [](int, int) { return kWindow; });
    Make({Root(), Ball(1)});  // whole pixels
    const BallCase cases[] = {{-127.0, 30, 34}, {127.0, 66, 65}, {0.0, 48, 47}, {500.0, 66, 65}};
    for (const BallCase& c : cases) {
        for (double y : {1.0, -1e9, 1e9}) {
            SCOPED_TRACE("x " + std::to_string(c.x) + " y " + std::to_string(y));
            ElementResult r;
            r.value = c.x;
            r.value_y = y;
            DrawWith({{}, r});
            EXPECT_EQ(Rgb(c.red_x, 47), kRed);
            EXPECT_EQ(Rgb(c.clear_x, 47), kGrey);
            EXPECT_EQ(renderer_->MovingOffset(1).second, 7.0) << "fixed axis centred: (20 - 6) / 2";
        }
    }
}

// Sky over ground, 20 x 40: rows 0..19 blue, 20..39 green; windowed by a mask of
// the root's size whose window is all but a black frame of 10 pixels.
ElementLayout Horizon() {
    ElementLayout e;
    e.kind = ElementKind::kSprite;
    e.resource_id = 0x1071;
    e.offset_x = 50;
    e.offset_y = 50;
    e.draw_flags = 1;
    return e;
}

struct SpriteCase {
    std::string what;
    double y, rotation;  // shift in texture pixels and turn in degrees (variables x scales)
    int sky_x, sky_y, ground_x, ground_y;
};

TEST_F(RenderFixture, SpriteShiftsDownForAPositiveProductAndTurnsClockwise) {
    bitmaps_[0x1071] = Painted(20, 40, {kBlue, kGreen}, [](int, int y) { return y < 20 ? kBlue : kGreen; });
    bitmaps_[0x1072] = Painted(100, 100, {kBlack, kWindow}, [](int x, int y) {
        return x >= 10 && x < 90 && y >= 10 && y < 90 ? kWindow : kBlack;
    });
    Make({Root(), Horizon()});
    const SpriteCase cases[] = {
        {"level", 0.0, 0.0, 50, 45, 50, 55},
        {"+10 shifts down 10", 10.0, 0.0, 50, 58, 50, 62},
        {"-10 shifts up 10", -10.0, 0.0, 50, 38, 50, 42},
        {"+90 turns clockwise: sky on the right", 0.0, 90.0, 55, 50, 45, 50},
        {"-90 turns counter-clockwise: sky on the left", 0.0, -90.0, 45, 50, 55, 50},
        {"shifted and turned: the shift runs along the turned frame", 10.0, 90.0, 42, 50, 38, 50},
    };
    for (const SpriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        ElementResult r;
        r.value = 0.0;
        r.value_y = c.y;
        r.value_rotation = c.rotation;
        DrawWith({{}, r});
        EXPECT_EQ(Rgb(c.sky_x, c.sky_y), kBlue);
        EXPECT_EQ(Rgb(c.ground_x, c.ground_y), kGreen);
        EXPECT_EQ(Rgb(5, 50), kGrey) << "outside the window";
    }
}

TEST_F(RenderFixture, BlackOfTheRootIsTransparentUnderBitZero) {
    bitmaps_[0x1000] = Painted(100, 100, {kBlack, kGrey}, [](int x, int y) {
        return (x - 50) * (x - 50) + (y - 50) * (y - 50) < 45 * 45 ? kGrey : kBlack;
    });
    Make({Root()});
    DrawWith({{}});
    EXPECT_EQ(At(0, 0).alpha, 0);
    EXPECT_EQ(At(50, 50).alpha, 255);
    ElementLayout opaque = Root();
    opaque.draw_flags = 0;
    Make({opaque});
    DrawWith({{}});
    EXPECT_EQ(At(0, 0).alpha, 255);
}

TEST_F(RenderFixture, RejectsLayoutsItCannotDraw) {
    ElementLayout needle = RightNeedle({});
    EXPECT_THROW(Make({needle}), RenderError) << "root is not a static image";
    try {
        Make({Root(), needle});  // 0x1001 missing
        FAIL() << "missing bitmap accepted";
    } catch (const RenderError& e) {
        EXPECT_NE(std::string(e.what()).find("element 1 (needle)"), std::string::npos) << e.what();
    }
    bitmaps_[0x1001] = Solid(40, 3, kWhite);
    Make({Root(), RightNeedle({})});
    EXPECT_THROW(renderer_->Update(std::vector<ElementResult>(1)), RenderError) << "one result for two elements";
}

TEST(MakeSurfaceTest, RejectsBitmapsThatDoNotHoldTogether) {
    IndexedBitmap short_pixels{4, 4, {0}, std::vector<uint8_t>(15)};
    IndexedBitmap bad_index{2, 1, {0, 1}, {0, 2}};
    IndexedBitmap no_palette{1, 1, {}, {0}};
    IndexedBitmap no_size{0, 5, {0}, {}};
    for (const IndexedBitmap* b : {&short_pixels, &bad_index, &no_palette, &no_size})
        EXPECT_THROW(MakeSurface(*b, Paint::kOpaque), RenderError);
}

}  // namespace
}  // namespace gaugehost::render
