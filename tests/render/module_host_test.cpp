// The real KEL.gau drawn through gaugehost: its tables are the printed ones, every
// tabled needle lands on its dial points, limits hold over several updates, flags
// show and hide, text lands in its box and fixed axes stay put.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "gaugehost.h"
#include "render/host_panel.h"
#include "render/panel.h"
#include "scales.h"

namespace gaugehost::render {
namespace {

// What turns a token value into the value the needle's table is read with.
struct TabledNeedle {
    std::string gauge;
    uint32_t token;
    double per_unit;  // the callback's factor: table value = token value x per_unit
};

const TabledNeedle kTabledNeedles[] = {
    {"AIRSPEED", 61, 1.0},
    {"RADALT", 614, 3.28083989501312},
    {"VSI", 556, 0.06},
    {"RPM", 390, 5.5},
    {"TORQUE", 558, 1.0},
    {"FUELFLOW", 421, 1.0},
    {"TIT", 567, 1.0},
};

double DirectionError(double a, double b) { return ShortestTurn(b, a); }

class ModuleDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<Host>(KEL_GAU_PATH);
        panel_ = std::make_unique<HostPanel>(*host_);
    }

    // Draws `gauge` alone as of its last update.
    void Draw(const std::string& gauge) { picture_ = DrawGauge(panel_->gauge(gauge), 1.0); }

    uint32_t Rgb(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(picture_.get());
        const int stride = cairo_image_surface_get_stride(picture_.get());
        return reinterpret_cast<const uint32_t*>(data + size_t(y) * stride)[x] & 0xFFFFFF;
    }
    // The colour of pixel (x, y) of a bitmap resource, as stored.
    uint32_t Stored(uint32_t id, int x, int y) const {
        const IndexedBitmap b = ResourceLoader(host_->module())(id);
        return b.palette.at(b.pixels.at(size_t(y) * b.width + x));
    }
    const ElementModel& Element(const std::string& gauge, size_t i) const {
        return host_->gauge(gauge).elements.at(i);
    }

    std::unique_ptr<Host> host_;
    std::unique_ptr<HostPanel> panel_;
    Surface picture_;
};

TEST_F(ModuleDrawing, TheModulesTablesAreThePrintedScales) {
    for (const PrintedScale& printed : kPrintedScales) {
        SCOPED_TRACE(printed.gauge);
        const ElementModel& needle = Element(printed.gauge, 1);
        ASSERT_EQ(needle.kind, ::gaugehost::ElementKind::Needle);
        EXPECT_EQ(needle.position[0], printed.pivot_x);
        EXPECT_EQ(needle.position[1], printed.pivot_y);
        ASSERT_EQ(needle.points.size(), printed.points.size());
        for (size_t i = 0; i < printed.points.size(); ++i) {
            EXPECT_EQ(needle.points[i].x, printed.points[i].x) << "point " << i + 1;
            EXPECT_EQ(needle.points[i].y, printed.points[i].y) << "point " << i + 1;
            EXPECT_EQ(needle.points[i].value, printed.points[i].value) << "point " << i + 1;
        }
    }
}

TEST_F(ModuleDrawing, EveryTabledNeedleIsDrawnOnEachOfItsPoints) {
    for (const TabledNeedle& n : kTabledNeedles) {
        const PrintedScale& printed = FindPrintedScale(n.gauge);
        const ElementModel& needle = Element(n.gauge, 1);
        for (const PrintedPoint& p : printed.points) {
            SCOPED_TRACE(n.gauge + " value " + std::to_string(p.value));
            host_->set(n.token, p.value / n.per_unit);
            // Limited needles (the VSI's 6 degrees) get there within 60 updates.
            for (int i = 0; i < 60; ++i) panel_->Update(n.gauge);
            const GaugeRenderer& g = panel_->gauge(n.gauge);
            EXPECT_NEAR(DirectionError(g.NeedleTarget(1), p.direction), 0.0, 0.5);
            // The bitmap, drawn pointing right, is turned to that direction.
            EXPECT_NEAR(DirectionError(g.NeedleRotation(1) + 90.0, p.direction), 0.0, 0.5);
            // And the pixels say so: 100 pixels out along the direction lies the
            // needle's white pointer, bright over the dark dial.
            Draw(n.gauge);
            const double rad = p.direction * 3.14159265358979 / 180.0;
            const int x = int(std::lround(needle.position[0] + 0.5 + 100 * std::sin(rad) - 0.5));
            const int y = int(std::lround(needle.position[1] + 0.5 - 100 * std::cos(rad) - 0.5));
            const uint32_t c = Rgb(x, y);
            EXPECT_GT((c >> 8) & 0xFF, 0xB0) << "pixel " << x << "," << y << " is " << std::hex << c;
        }
    }
}

TEST_F(ModuleDrawing, RadarAltimeterAt250FeetPointsStraightUp) {
    host_->set(614, 250.0 / 3.28083989501312);
    panel_->Update("RADALT");
    EXPECT_NEAR(DirectionError(panel_->gauge("RADALT").NeedleTarget(1), 0.0), 0.0, 0.5);
}

TEST_F(ModuleDrawing, CompassCardCrossesNorthTheShortWayAtSixDegreesPerUpdate) {
    host_->set(81, 355.0);
    panel_->Update("COMPASS");
    const GaugeRenderer& compass = panel_->gauge("COMPASS");
    EXPECT_DOUBLE_EQ(compass.NeedleRotation(1), -355.0);
    host_->set(81, 5.0);  // the callback jumps from -355 to -5: 10 degrees through north
    const double expected[] = {-361.0, -5.0, -5.0};
    for (double e : expected) {
        panel_->Update("COMPASS");
        EXPECT_DOUBLE_EQ(compass.NeedleRotation(1), e);
    }
}

TEST_F(ModuleDrawing, VerticalSpeedNeedleIsLimitedToSixDegreesPerUpdate) {
    host_->set(556, 0.0);
    panel_->Update("VSI");
    const GaugeRenderer& vsi = panel_->gauge("VSI");
    const double start = vsi.NeedleRotation(1);
    host_->set(556, 1000.0);  // clamped to 4: 160 degrees away
    for (int i = 1; i <= 5; ++i) {
        panel_->Update("VSI");
        EXPECT_NEAR(vsi.NeedleRotation(1) - start, 6.0 * i, 1e-9);
    }
}

TEST_F(ModuleDrawing, AdfFlagShowsWhileTheNeedleIsParked) {
    // The flag icon at (350, 180), 52 x 33, clipped at the face's right edge (x 399).
    struct Case {
        double gate;
        bool flag;
    };
    for (const Case c : {Case{0.0, true}, Case{300.0, false}, Case{255.9, true}, Case{256.0, false}}) {
        SCOPED_TRACE("token 20 = " + std::to_string(c.gate));
        host_->set(20, c.gate);
        host_->set(81, 0.0);
        host_->set(39, 0.0);
        for (int i = 0; i < 20; ++i) panel_->Update("ADF");  // the needle turns 6 degrees per update
        EXPECT_EQ(panel_->gauge("ADF").IconImage(2), c.flag ? 1u : 0u);
        Draw("ADF");
        int flag_pixels = 0;
        for (int y = 181; y < 212; y += 3)
            for (int x = 352; x < 399; x += 3) {
                const uint32_t want = c.flag ? Stored(0x1053, x - 350, y - 180) : Stored(0x1050, x, y);
                flag_pixels += Rgb(x, y) == want;
            }
        EXPECT_EQ(flag_pixels, 11 * 16) << (c.flag ? "stripes expected" : "the dial expected");
    }
}

TEST_F(ModuleDrawing, DeviationFlagsFollowTheirGates) {
    struct Case {
        double course_gate, glide_gate;
        uint32_t course_flag, glide_flag;
    };
    for (const Case c : {Case{0, 0, 1, 1}, Case{300, 1, 0, 0}, Case{256, -1, 0, 0}, Case{255.9, 0, 1, 1}}) {
        SCOPED_TRACE(std::to_string(c.course_gate) + " / " + std::to_string(c.glide_gate));
        host_->set(49, c.course_gate);
        host_->set(44, c.glide_gate);
        panel_->Update("DEVIATION");
        EXPECT_EQ(panel_->gauge("DEVIATION").IconImage(3), c.course_flag);
        EXPECT_EQ(panel_->gauge("DEVIATION").IconImage(4), c.glide_flag);
        Draw("DEVIATION");
        // Middle of each flag: stripes when shown, the face (or a bar) when not.
        const bool course_striped = Rgb(117, 211) == Stored(0x1066, 16, 26);
        const bool glide_striped = Rgb(212, 121) == Stored(0x1068, 26, 16);
        EXPECT_EQ(course_striped, c.course_flag == 1);
        EXPECT_EQ(glide_striped, c.glide_flag == 1);
    }
}

TEST_F(ModuleDrawing, BarsMoveAlongTheirOwnAxisOnlyAndFixedAxesStayPut) {
    host_->set(49, 300.0);
    host_->set(44, 1.0);
    struct Case {
        double deviation;
        double offset;  // along the moving axis: (d + 127) / 254 x 233, held at the ends
    };
    for (const Case c : {Case{-127, 0.0}, Case{0, 116.5}, Case{127, 233.0}, Case{400, 233.0}}) {
        SCOPED_TRACE(c.deviation);
        host_->set(40, c.deviation);
        host_->set(41, c.deviation);
        panel_->Update("DEVIATION");
        const GaugeRenderer& dev = panel_->gauge("DEVIATION");
        EXPECT_DOUBLE_EQ(dev.MovingOffset(1).first, 0.0) << "glide-slope bar: fixed x (243 - 243) / 2";
        EXPECT_DOUBLE_EQ(dev.MovingOffset(1).second, c.offset);
        EXPECT_DOUBLE_EQ(dev.MovingOffset(2).first, c.offset);
        EXPECT_DOUBLE_EQ(dev.MovingOffset(2).second, 0.0) << "course bar: fixed y";
    }
    for (double ball : {-127.0, 0.0, 90.0}) {
        host_->set(69, ball);
        panel_->Update("ATTITUDE");
        EXPECT_DOUBLE_EQ(panel_->gauge("ATTITUDE").MovingOffset(4).second, 3.0) << "ball: fixed y (28 - 22) / 2";
        EXPECT_DOUBLE_EQ(panel_->gauge("ATTITUDE").MovingOffset(4).first, (ball + 127.0) / 254.0 * 102.0);
    }
}

TEST_F(ModuleDrawing, BankPointersWithoutCallbackTakeTheBankItselfSixDegreesAtATime) {
    for (const auto& [gauge, element] : {std::pair<std::string, size_t>{"ARTHORIZON", 2}, {"ATTITUDE", 3}}) {
        SCOPED_TRACE(gauge);
        host_->set(80, 25.0);
        panel_->Update(gauge);
        EXPECT_DOUBLE_EQ(panel_->gauge(gauge).NeedleRotation(element), 25.0) << "first update: the value itself";
        host_->set(80, 45.0);
        panel_->Update(gauge);
        EXPECT_DOUBLE_EQ(panel_->gauge(gauge).NeedleRotation(element), 31.0);
        host_->set(80, 0.0);
        for (int i = 0; i < 10; ++i) panel_->Update(gauge);
    }
}

TEST_F(ModuleDrawing, BothHorizonsTurnAgainstTheBankAndDropForPitchUp) {
    host_->set(77, 10.0);
    host_->set(80, 20.0);
    for (const char* gauge : {"ARTHORIZON", "ATTITUDE"}) {
        SCOPED_TRACE(gauge);
        panel_->Update(gauge);
        const GaugeRenderer& g = panel_->gauge(gauge);
        EXPECT_DOUBLE_EQ(g.NeedleRotation(1), -20.0) << "turn = bank x -1";
        EXPECT_DOUBLE_EQ(g.MovingOffset(1).first, 0.0) << "x scale 0";
        EXPECT_NEAR(g.MovingOffset(1).second, 28.4444, 1e-4) << "pitch x 2.84444 texture pixels, downward";
    }
}

TEST_F(ModuleDrawing, AttitudeShowsSkyAndGroundWhereThePitchAndBankPutThem) {
    // ATTITUDE's texture: light sky over dark ground, horizon through its middle.
    auto sky = [this](int x, int y) { return ((Rgb(x, y) >> 8) & 0xFF) > 0x80; };
    struct Case {
        std::string what;
        double pitch, bank;
        int x, y;
        bool sky;
    };
    const Case cases[] = {
        {"level: below the centre is ground", 0, 0, 149, 175, false},
        {"level: above the centre is sky", 0, 0, 149, 123, true},
        {"pitch up 20: the horizon drops 57 pixels", 20, 0, 149, 175, true},
        {"pitch down 20: the horizon rises", -20, 0, 149, 123, false},
        {"right bank 30: the left side drops", 0, 30, 104, 160, true},
        {"right bank 30: the right side rises", 0, 30, 194, 138, false},
        {"left bank 30: the left side rises", 0, -30, 104, 138, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host_->set(77, c.pitch);
        host_->set(80, c.bank);
        panel_->Update("ATTITUDE");
        Draw("ATTITUDE");
        EXPECT_EQ(sky(c.x, c.y), c.sky) << std::hex << Rgb(c.x, c.y);
    }
}

struct TextCase {
    std::string gauge;
    uint32_t token;
    double value;
    std::string text;
    int x, y, w, h;  // the box
};

TEST_F(ModuleDrawing, TextIsWrittenInsideItsBox) {
    const TextCase cases[] = {
        {"ALTIMETER", 75, 999.6, "0999", 135, 320, 130, 42},
        {"ALTIMETER", 75, 1013.0, "1013", 135, 320, 130, 42},
        {"OBS", 45, 45.7, "045", 57, 5, 85, 39},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.gauge + " " + c.text);
        host_->set(74, 0.0);  // altimeter hands straight up, clear of the window
        host_->set(c.token, c.value);
        panel_->Update(c.gauge);
        Draw(c.gauge);
        EXPECT_EQ(host_->text_of(c.gauge, 1), c.text);  // the string is element 1 in both
        int min_x = 1 << 20, max_x = -1, min_y = 1 << 20, max_y = -1;
        for (int y = c.y; y < c.y + c.h; ++y)
            for (int x = c.x; x < c.x + c.w; ++x) {
                const uint32_t p = Rgb(x, y);
                if ((p & 0xFF) > 0x80) {
                    min_x = std::min(min_x, x), max_x = std::max(max_x, x);
                    min_y = std::min(min_y, y), max_y = std::max(max_y, y);
                }
            }
        ASSERT_GE(max_x, 0) << "no white text in the box";
        EXPECT_NEAR((min_x + max_x) / 2.0, c.x + c.w / 2.0, 3.0);
        EXPECT_NEAR((min_y + max_y) / 2.0, c.y + c.h / 2.0, 3.0);
        EXPECT_GT(max_y - min_y, c.h / 2) << "digits as tall as half the box at least";
        // Just outside the box the face is as stored: the text stays inside.
        const uint32_t root = Element(c.gauge, 0).resource_id;
        for (int x = c.x; x < c.x + c.w; x += 4) {
            EXPECT_EQ(Rgb(x, c.y - 1), Stored(root, x, c.y - 1));
            EXPECT_EQ(Rgb(x, c.y + c.h), Stored(root, x, c.y + c.h));
        }
    }
}

}  // namespace
}  // namespace gaugehost::render
