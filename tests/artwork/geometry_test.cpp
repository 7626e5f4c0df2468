// Artwork drawn where the gauges rely on it: pivots on hubs, pointers the
// right way round, mask windows in place, table points on printed marks.
#include <gtest/gtest.h>

#include <set>

#include "artwork_files.h"

using namespace artwork_test;

namespace {

bool used(const gaugehost::Dib& d, uint32_t colour) {
    for (uint8_t i : d.indices)
        if (d.palette[i] == colour) return true;
    return false;
}

}  // namespace

// Each needle's pivot pixel must be painted (the host turns the bitmap about
// it), the pointer must reach where it is drawn and nothing lies beyond.
TEST(ArtworkGeometry, NeedlesHaveTheirPivotOnTheHubAndPointTheDrawnWay) {
    struct Needle {
        uint16_t id;
        int pivot_x, pivot_y;  // element offset
        int tip_x, tip_y;      // a pixel of the pointer near its end
        int past_x, past_y;    // a pixel beyond the end: nothing drawn
    } needles[] = {
        {0x1001, 98, 16, 266, 16, 276, 16},   // pointing right, tip at x 270
        {0x1011, 18, 189, 18, 6, 18, 0},      // pointing up, to y 3
        {0x1012, 25, 148, 25, 7, 25, 1},      // spike to y 4
        {0x1013, 18, 127, 18, 6, 18, 0},      // arrowhead to y 3
        {0x1021, 25, 27, 182, 27, 188, 27},   // to x 185
        {0x1041, 19, 19, 202, 19, 209, 19},   // to x 205
        {0x1051, 26, 162, 26, 5, 26, 0},      // to y 2
        {0x1101, 6, 68, 6, 4, 6, 0},
        {0x1102, 27, 123, 27, 6, 27, 0},
        {0x1103, 4, 148, 4, 5, 4, 0},
        {0x1104, 6, 148, 6, 5, 6, 0},
        {0x1031, 199, 199, 199, 30, 199, 395}, // card: disc to 183 from the centre
        {0x1015, 22, 22, 22, 5, 0, 0},         // knob: round, corners empty
    };
    for (const auto& n : needles) {
        SCOPED_TRACE(file_name(n.id));
        const auto& d = bitmap(n.id);
        EXPECT_NE(d.rgb(n.pivot_x, n.pivot_y), kBlack) << "pivot not on the hub";
        EXPECT_NE(d.rgb(n.tip_x, n.tip_y), kBlack) << "pointer does not reach its tip";
        EXPECT_EQ(d.rgb(n.past_x, n.past_y), kBlack) << "something drawn beyond the tip";
    }
}

TEST(ArtworkGeometry, MarkersDrawnAwayFromThePivot) {
    // Fuel-flow needle: no hub, starts 51 right of the pivot (25, 27).
    const auto& ff = bitmap(0x109B);
    EXPECT_EQ(ff.rgb(25, 27), kBlack);
    EXPECT_EQ(ff.rgb(70, 27), kBlack);
    EXPECT_NE(ff.rgb(80, 27), kBlack);
    EXPECT_NE(ff.rgb(183, 27), kBlack);
    // Bank pointers: the mark hangs below the pivot and points down.
    const auto& bank = bitmap(0x1073);
    EXPECT_EQ(bank.rgb(6, 0), kBlack);
    EXPECT_EQ(bank.rgb(6, 120), kBlack);
    EXPECT_NE(bank.rgb(0, 130), kBlack);  // wide at row 130
    EXPECT_NE(bank.rgb(12, 130), kBlack);
    EXPECT_EQ(bank.rgb(0, 158), kBlack);  // narrow at the bottom
    EXPECT_NE(bank.rgb(6, 159), kBlack);
    const auto& small = bitmap(0x1084);
    EXPECT_EQ(small.rgb(4, 76), kBlack);
    EXPECT_NE(small.rgb(4, 140), kBlack);
    EXPECT_EQ(small.rgb(4, 120), kBlack);
    // Heading bug: chevron only at the right end, 165 to 195 from the pivot (195, 24).
    const auto& bug = bitmap(0x1032);
    EXPECT_NE(bug.rgb(364, 24), kBlack);
    EXPECT_NE(bug.rgb(388, 8), kBlack);
    for (int x = 0; x < 358; ++x) ASSERT_EQ(bug.rgb(x, 24), kBlack) << "x " << x;
}

TEST(ArtworkGeometry, MaskWindowsAreExactlyWhereTheGaugesShowThroughThem) {
    // Deviation bar masks: a disc 240 across centred on the face, pure black corners.
    for (uint16_t id : {0x1062, 0x1064}) {
        SCOPED_TRACE(file_name(id));
        const auto& m = bitmap(id);
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                const double r = std::hypot(x + 0.5 - 121.0, y + 0.5 - 121.0);
                const uint32_t c = m.rgb(x, y);
                if (r < 119.0) {
                    ASSERT_EQ(c, kWindow) << x << "," << y;
                }
                if (r > 121.0) {
                    ASSERT_EQ(c, kBlack) << x << "," << y;
                }
                ASSERT_TRUE(c == kWindow || c == kBlack);
            }
        int left = m.width, right = -1;
        for (int x = 0; x < m.width; ++x)
            if (m.rgb(x, 121) == kWindow) left = std::min(left, x), right = std::max(right, x);
        EXPECT_EQ(right - left + 1, 240);
    }
    // Main horizon: window from pixel 40 to 358 round (199, 199), aircraft symbol inside.
    const auto& h = bitmap(0x1072);
    EXPECT_EQ(h.rgb(40, 199), kWindow);
    EXPECT_EQ(h.rgb(39, 199), kBlack);
    EXPECT_EQ(h.rgb(358, 199), kWindow);
    EXPECT_EQ(h.rgb(359, 199), kBlack);
    EXPECT_EQ(h.rgb(199, 40), kWindow);
    EXPECT_EQ(h.rgb(199, 359), kBlack);
    EXPECT_EQ(h.rgb(199, 188), kWindow);  // just above the symbol
    EXPECT_EQ(h.rgb(199, 120), kWindow);
    EXPECT_GE(brightness(h.rgb(130, 199)), 200) << "wing bar of the aircraft symbol";
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x)
            if (h.rgb(x, y) == kWindow) {
                ASSERT_LE(std::hypot(x - 199.0, y - 199.0), 160.0) << x << "," << y;
            }
    // Second attitude indicator: bezel around a window 67..233 holding (149, 149).
    const auto& a = bitmap(0x1082);
    EXPECT_EQ(a.rgb(149, 149), kWindow);
    EXPECT_EQ(a.rgb(67, 150), kWindow);
    EXPECT_EQ(a.rgb(233, 150), kWindow);
    EXPECT_EQ(a.rgb(150, 67), kWindow);
    EXPECT_EQ(a.rgb(150, 233), kWindow);
    EXPECT_NE(a.rgb(66, 150), kWindow);
    EXPECT_NE(a.rgb(234, 150), kWindow);
    EXPECT_FALSE(used(a, kBlack)) << "the bezel is painted everywhere outside the window";
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.rgb(x, y) == kWindow) {
                ASSERT_LE(std::hypot(x - 150.0, y - 150.0), 84.5) << x << "," << y;
            }
    // Inclinometer tube: (1,1,1) sagging in the middle, (50,50,50) lines at 46-48 and 66-68.
    const auto& t = bitmap(0x1086);
    const uint32_t line = rgb(50, 50, 50);
    for (int x : {46, 47, 48, 66, 67, 68}) EXPECT_EQ(t.rgb(x, 5), line) << "column " << x;
    for (int x : {45, 49, 65, 69}) EXPECT_EQ(t.rgb(x, 5), kWindow) << "column " << x;
    EXPECT_EQ(t.rgb(57, 25), kWindow) << "deep in the middle";
    EXPECT_EQ(t.rgb(3, 25), kBlack) << "shallow at the ends";
    EXPECT_EQ(t.rgb(3, 5), kWindow);
    EXPECT_EQ(t.rgb(0, 5), kBlack);
    EXPECT_EQ(t.rgb(57, 0), kBlack);
}

TEST(ArtworkGeometry, SpecialColoursOnlyWhereMeant) {
    // (1,1,1) is a window colour: no other picture may use it.
    const std::set<uint16_t> masks = {0x1062, 0x1064, 0x1072, 0x1082, 0x1086};
    for (uint16_t id : {0x1000, 0x1001, 0x1010, 0x1011, 0x1012, 0x1013, 0x1014, 0x1020, 0x1021, 0x1030, 0x1031,
                        0x1032, 0x1033, 0x1040, 0x1041, 0x1050, 0x1051, 0x1053, 0x1060, 0x1061, 0x1063, 0x1066,
                        0x1069, 0x1070, 0x1071, 0x1073, 0x1080, 0x1081, 0x1083, 0x1084, 0x1085, 0x1090, 0x1092,
                        0x1095, 0x1097, 0x109A, 0x109B, 0x109C, 0x1100, 0x1101, 0x1102, 0x1103, 0x1104}) {
        ASSERT_FALSE(masks.count(id));
        EXPECT_FALSE(used(bitmap(id), kWindow)) << file_name(id);
    }
    // Flag image 0: a one-colour palette of pure black.
    for (uint16_t id : {0x1052, 0x1065, 0x1067}) {
        const auto& d = bitmap(id);
        ASSERT_EQ(d.palette.size(), 1u) << file_name(id);
        EXPECT_EQ(d.palette[0], kBlack) << file_name(id);
    }
    // Flag image 1: red and white stripes, no black.
    for (uint16_t id : {0x1053, 0x1066, 0x1068}) {
        const auto& d = bitmap(id);
        EXPECT_FALSE(used(d, kBlack)) << file_name(id);
        EXPECT_TRUE(used(d, rgb(255, 255, 255))) << file_name(id);
    }
    // Dial faces are (25,25,25) discs on pure-black corners.
    for (uint16_t id : {0x1000, 0x1010, 0x1020, 0x1040, 0x1050, 0x1090, 0x1095, 0x109A, 0x109C}) {
        const auto& d = bitmap(id);
        EXPECT_EQ(d.rgb(0, 0), kBlack) << file_name(id);
        EXPECT_EQ(d.rgb(399, 0), kBlack) << file_name(id);
        EXPECT_TRUE(used(d, kFace)) << file_name(id);
    }
    // No pure-black holes inside a face: the host may take black for "nothing here".
    struct Face {
        uint16_t id;
        double cx, cy, r;
    } faces[] = {{0x1000, 200, 200, 195}, {0x1010, 200, 200, 195}, {0x1020, 200, 200, 195}, {0x1040, 199, 199, 195},
                 {0x1050, 199, 199, 195}, {0x1060, 121, 121, 119}, {0x1070, 199, 199, 195}, {0x1090, 200, 200, 195},
                 {0x1095, 200, 200, 195}, {0x109A, 200, 200, 195}, {0x109C, 200, 200, 195}, {0x1100, 194, 202, 190},
                 {0x1031, 199, 199, 180}};
    for (const auto& f : faces) {
        const auto& d = bitmap(f.id);
        int holes = 0;
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x)
                holes += std::hypot(x - f.cx, y - f.cy) <= f.r && d.rgb(x, y) == kBlack;
        EXPECT_EQ(holes, 0) << file_name(f.id);
    }
    EXPECT_EQ(bitmap(0x1000).rgb(110, 200), kFace);
    EXPECT_EQ(bitmap(0x1060).rgb(60, 60), rgb(5, 5, 5));
    EXPECT_EQ(bitmap(0x1060).rgb(0, 0), kBlack);
    // Compass base: black but for a (5,5,5) ring about 199 from (199, 199).
    const auto& base = bitmap(0x1030);
    EXPECT_EQ(base.rgb(0, 199), rgb(5, 5, 5));
    EXPECT_EQ(base.rgb(398, 199), rgb(5, 5, 5));
    EXPECT_EQ(base.rgb(199, 199), kBlack);
    EXPECT_EQ(base.rgb(10, 199), kBlack);
}

TEST(ArtworkGeometry, TextWindowsLieUnderTheirTextBoxes) {
    // Altimeter pressure window: one dark colour under the whole box (135, 320) 130 x 42,
    // framed about x 130-270, y 318-369.
    const auto& alt = bitmap(0x1010);
    const uint32_t inside = alt.rgb(135, 320);
    EXPECT_LT(brightness(inside), 20);
    EXPECT_NE(inside, kFace);
    for (int y = 320; y < 362; ++y)
        for (int x = 135; x < 265; ++x) ASSERT_EQ(alt.rgb(x, y), inside) << x << "," << y;
    EXPECT_GT(brightness(alt.rgb(131, 340)), 100) << "frame";
    EXPECT_GT(brightness(alt.rgb(269, 340)), 100) << "frame";
    EXPECT_GT(brightness(alt.rgb(200, 318)), 100) << "frame";
    // Course readout: dark cells behind the box (57, 5) 85 x 39, R button left, knob right.
    const auto& obs = bitmap(0x1069);
    for (int x : {60, 75, 100, 125, 138}) EXPECT_LT(brightness(obs.rgb(x, 25)), 20) << "x " << x;
    EXPECT_GT(brightness(obs.rgb(176, 25)), 100) << "knob";
    int bright_r = 0;
    for (int y = 15; y < 35; ++y)
        for (int x = 15; x < 35; ++x) bright_r += brightness(obs.rgb(x, y)) > 200;
    EXPECT_GT(bright_r, 30) << "letter R on the button";
}

// A table point seen from the pivot must fall on a printed mark, and the dial
// must not simply be white everywhere along the rim.
TEST(ArtworkGeometry, TablePointsLandOnPrintedMarks) {
    struct Probe {
        uint16_t id;
        double cx, cy, deg, radius;
        bool mark;  // true: a mark must be there; false: plain face
    };
    std::vector<Probe> probes;
    auto table = [&](uint16_t id, double cx, double cy, std::vector<std::pair<int, int>> pts, double r) {
        for (auto [x, y] : pts) probes.push_back({id, cx, cy, direction_of(cx, cy, x, y), r, true});
    };
    // Airspeed 0 to 140 knots.
    table(0x1000, 200, 200,
          {{199, 399}, {170, 396}, {138, 389}, {101, 373}, {15, 268}, {12, 133}, {99, 31}, {199, 1}, {275, 18},
           {338, 16}, {379, 124}, {399, 201}, {389, 251}, {368, 301}, {338, 340}, {397, 371}},
          190);
    table(0x1020, 200, 200, {{99, 372}, {299, 372}}, 188);
    table(0x1040, 199, 199,
          {{386, 268}, {267, 387}, {133, 386}, {48, 327}, {1, 200}, {48, 73}, {133, 14}, {267, 13}, {386, 132}}, 190);
    table(0x1090, 200, 200, {{100, 374}, {295, 372}}, 190);
    table(0x109A, 200, 200, {{37, 318}, {361, 318}}, 190);
    table(0x109C, 200, 200, {{17, 240}, {370, 300}}, 190);
    table(0x1095, 200, 200, {{0, 200}}, 190);  // the printed 0.5
    table(0x1097, 200, 200, {{385, 150}}, 175);  // the red overlay mark
    // Printed scales as the gauges describe them.
    for (double a : {210.0, 285.0, 0.0, 75.0, 150.0}) probes.push_back({0x1090, 200, 200, a, 175, true});
    for (double a : {240.0, 300.0, 0.0, 60.0, 120.0}) probes.push_back({0x1095, 200, 200, a, 175, true});
    for (int k = 0; k <= 10; ++k) probes.push_back({0x109A, 200, 200, 234.4 + 25.2 * k, 175, true});
    for (double a : {300.0, 0.0, 60.0, 120.0, 258.0, 90.0}) probes.push_back({0x109C, 200, 200, a, 190, true});
    for (int k = 0; k < 12; ++k) probes.push_back({0x1050, 199, 199, 30.0 * k, 180, true});
    for (int k = 0; k < 12; ++k) probes.push_back({0x1031, 199, 199, 30.0 * k, 165, true});
    for (int k = 0; k < 12; ++k) probes.push_back({0x1100, 194, 202, 30.0 * k, 160, true});
    for (int k = 0; k < 15; ++k) probes.push_back({0x1100, 113, 202, 24.0 * k, 62, true});
    for (double a : {180.0, 170.0, 160.0, 150.0, 190.0, 200.0, 210.0, 120.0, 240.0, 90.0, 270.0})
        probes.push_back({0x1070, 199, 199, a, 168, true});
    for (double a : {180.0, 170.0, 160.0, 150.0, 190.0, 200.0, 210.0, 120.0, 240.0, 90.0, 270.0})
        if (a != 180.0) probes.push_back({0x1083, 149, 149, a, 84, true});
    for (int k = 0; k < 8; ++k) probes.push_back({0x1033, 199, 199, 45.0 * k, 190, true});
    // Between marks the face shows.
    probes.push_back({0x1090, 200, 200, 217.5, 190, false});
    probes.push_back({0x1095, 200, 200, 243.0, 190, false});
    probes.push_back({0x1040, 199, 199, 90.0, 190, false});  // the unreachable arc
    probes.push_back({0x1020, 200, 200, 180.0, 190, false}); // no graduations across the bottom
    probes.push_back({0x1070, 199, 199, 0.0, 168, false});   // no bank marks at the top
    probes.push_back({0x1033, 199, 199, 22.5, 190, false});

    for (const auto& p : probes) {
        int x = 0, y = 0;
        along(bitmap(p.id), p.cx, p.cy, p.deg, p.radius, &x, &y);
        const int b = brightness_near(bitmap(p.id), x, y);
        if (p.mark)
            EXPECT_GE(b, 150) << file_name(p.id) << ": no mark at " << p.deg << " deg, pixel " << x << "," << y;
        else
            EXPECT_LE(b, 60) << file_name(p.id) << ": unexpected mark at " << p.deg << " deg, pixel " << x << ","
                             << y;
    }
}

TEST(ArtworkGeometry, PivotDotsAndFixedMarksSitOnTheirCentres) {
    EXPECT_GT(brightness(bitmap(0x1100).rgb(194, 202)), 100) << "clock centre";
    EXPECT_GT(brightness(bitmap(0x1100).rgb(113, 202)), 100) << "stopwatch sub-dial centre";
    // Zero-bank index of the main horizon, rows 362 to 374 under the centre.
    EXPECT_GT(brightness(bitmap(0x1070).rgb(199, 368)), 150);
    EXPECT_LT(brightness(bitmap(0x1070).rgb(199, 355)), 60);
    // Index triangle of the second attitude indicator, rows 224 to 238.
    EXPECT_GT(brightness(bitmap(0x1083).rgb(149, 232)), 150);
    // Horizon texture: white line rows 253 to 257, marks 29, 58, 88 from it.
    const auto& tex = bitmap(0x1071);
    for (int y = 253; y <= 257; ++y) EXPECT_EQ(tex.rgb(5, y), rgb(255, 255, 255)) << "row " << y;
    EXPECT_EQ(tex.rgb(5, 252), kBlack);
    EXPECT_EQ(tex.rgb(5, 258), kBlack);
    for (int off : {29, 58, 88}) {
        EXPECT_NE(tex.rgb(128, 255 - off), kBlack) << off;
        EXPECT_NE(tex.rgb(128, 255 + off), kBlack) << off;
    }
    // Attitude texture: light sky over dark ground, meeting at rows 255/256.
    const auto& sky = bitmap(0x1081);
    EXPECT_GT(brightness(sky.rgb(10, 200)), brightness(sky.rgb(10, 300)) + 60);
    // Deviation face: centre ring and four dots each way.
    const auto& dev = bitmap(0x1060);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_GT(brightness(dev.rgb(121 + 22 * k, 121)), 150) << k;
        EXPECT_GT(brightness(dev.rgb(121, 121 - 22 * k)), 150) << k;
    }
}
