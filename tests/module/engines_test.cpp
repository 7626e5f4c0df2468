// RPM, TORQUE, FUELFLOW and TIT: chains, calibration tables and the four callbacks.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "gaugehost.h"
#include "test_support.h"

namespace {

using gaugehost::ElementKind;
using gaugehost::Host;

constexpr int kNeedle = 1;

struct Point {
    int32_t x, y;
    double value;
};

struct EngineGauge {
    const char* name;
    int slot;
    uint32_t face, needle, overlay;  // overlay 0: none
    uint32_t token;
    std::vector<Point> table;
};

const EngineGauge kGauges[] = {
    {"RPM",      13, 0x1090, 0x1091, 0x1092, 390, {{199, 399, 0.0}, {100, 374, 500.0}, {295, 372, 2500.0}}},
    {"TORQUE",   14, 0x1095, 0x1096, 0x1097, 558, {{  0, 200, 0.0}, {385, 150,   1.0}}},
    {"FUELFLOW", 15, 0x109A, 0x109B,      0, 421, {{ 37, 318, 0.0}, {  3, 224, 110.0}, {361, 318, 260.0}}},
    {"TIT",      16, 0x109C, 0x109D,      0, 567, {{ 35, 300, 0.0}, { 17, 240, 130.0}, {370, 300, 800.0}}},
};

TEST(Engines, ChainsAndTables) {
    Host host(KEL_GAU_PATH);
    for (const EngineGauge& want : kGauges) {
        SCOPED_TRACE(want.name);
        const auto& g = host.gauge(want.name);
        EXPECT_EQ(g.slot, want.slot);
        ASSERT_EQ(g.elements.size(), want.overlay ? 3u : 2u);
        EXPECT_EQ(g.elements[0].resource_id, want.face);
        EXPECT_EQ(g.elements[0].draw_flags, 1u);

        const auto& n = g.elements[kNeedle];
        EXPECT_EQ(n.kind, ElementKind::Needle);
        EXPECT_EQ(n.resource_id, want.needle);
        EXPECT_EQ(n.position, (std::array<int32_t, 2>{200, 200}));
        EXPECT_EQ(n.offset, (std::array<int32_t, 2>{25, 27}));
        EXPECT_EQ(n.draw_flags, 7u);
        EXPECT_EQ(n.max_degrees_per_tick, 0);
        EXPECT_EQ(n.vars.at(0).token, want.token);
        EXPECT_NE(n.value_callback, 0u);
        ASSERT_EQ(n.nonlinearity_count, want.table.size());
        ASSERT_EQ(n.points.size(), want.table.size());
        for (size_t i = 0; i < want.table.size(); ++i) {
            SCOPED_TRACE("point " + std::to_string(i + 1));
            EXPECT_EQ(n.points[i].x, want.table[i].x);
            EXPECT_EQ(n.points[i].y, want.table[i].y);
            EXPECT_EQ(Bits(n.points[i].value), Bits(want.table[i].value));
        }

        if (want.overlay) {
            const auto& o = g.elements[2];
            EXPECT_EQ(o.kind, ElementKind::Static);
            EXPECT_EQ(o.resource_id, want.overlay);
            EXPECT_EQ(o.draw_flags, 3u);
            EXPECT_EQ(o.parent, kNeedle);
            EXPECT_EQ(o.next_elements, 0u);
        } else {
            EXPECT_EQ(n.next_elements, 0u);
        }
    }
}

// Each callback reads its own variable only: RPM × 5.5, the others unchanged, unclamped.
TEST(Engines, CallbacksBitExact) {
    const double inputs[] = {0.0, -0.0, 100.0, 500.0 / 5.5, 2500.0 / 5.5, -3.0, 2.0, 0.1, 1e308,
                             -1e308, 5e-324, 123456.789, std::numeric_limits<double>::infinity()};
    Host host(KEL_GAU_PATH);
    for (const EngineGauge& g : kGauges) {
        const double factor = std::string(g.name) == "RPM" ? 5.5 : 1.0;
        for (double v : inputs) {
            SCOPED_TRACE(std::string(g.name) + " " + std::to_string(v));
            host.set(g.token, v);
            host.clear_logs();
            const double expected = factor == 1.0 ? v : v * 5.5;
            EXPECT_EQ(Bits(host.call_callback(g.name, kNeedle).value), Bits(expected));
            EXPECT_TRUE(host.service_calls().empty());
        }
    }
}

}  // namespace
