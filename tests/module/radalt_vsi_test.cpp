// RADALT and VSI on the real KEL.gau: the records as the host reads them, and the two
// callbacks' scale and clamp, compared bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "gaugehost.h"
#include "test_support.h"

using namespace gaugehost;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Point {
    int32_t x, y;
    double value;
};

struct ScaleCase {
    double input;
    double expected;
};

void ExpectNeedle(const ElementModel& e, uint32_t resource, std::array<int32_t, 2> position,
                  std::array<int32_t, 2> offset, uint32_t token, int32_t max_degrees) {
    EXPECT_EQ(e.kind, ElementKind::Needle);
    EXPECT_EQ(e.resource_id, resource);
    EXPECT_EQ(e.position, position);
    EXPECT_EQ(e.offset, offset);
    EXPECT_EQ(e.draw_flags, 7u);
    ASSERT_EQ(e.vars.size(), 1u);
    EXPECT_EQ(e.vars[0].token, token);
    EXPECT_EQ(e.max_degrees_per_tick, max_degrees);
    EXPECT_NE(e.value_callback, 0u);
    EXPECT_EQ(e.next_elements, 0u);
}

void ExpectTable(const ElementModel& e, const std::vector<Point>& points) {
    ASSERT_EQ(e.nonlinearity_count, points.size());
    ASSERT_EQ(e.points.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(e.points[i].x, points[i].x) << "point " << i + 1;
        EXPECT_EQ(e.points[i].y, points[i].y) << "point " << i + 1;
        EXPECT_TRUE(SameBitsOrNan(e.points[i].value, points[i].value)) << "point " << i + 1;
    }
}

// Runs every case through one needle's callback and checks nothing was looked up.
void ExpectScale(const char* gauge, uint32_t token, const std::vector<ScaleCase>& cases) {
    Host host(KEL_GAU_PATH);
    for (const ScaleCase& c : cases) {
        host.set(token, c.input);
        EXPECT_TRUE(SameBitsOrNan(host.call_callback(gauge, 1).value, c.expected)) << gauge << " input " << c.input;
    }
    EXPECT_TRUE(host.service_calls().empty()) << gauge << " called the host";
}

}  // namespace

TEST(RadaltVsiRecords, DialAndTabledNeedleAsAuthored) {
    Host host(KEL_GAU_PATH);
    const GaugeModel& radalt = host.gauge("RADALT");
    ASSERT_EQ(radalt.elements.size(), 2u);
    EXPECT_EQ(radalt.elements[0].resource_id, 0x1020u);
    ExpectNeedle(radalt.elements[1], 0x1021, {200, 200}, {25, 27}, 614, 0);
    ExpectTable(radalt.elements[1], {{99, 372, 0.0}, {299, 372, 500.0}});

    const GaugeModel& vsi = host.gauge("VSI");
    ASSERT_EQ(vsi.elements.size(), 2u);
    EXPECT_EQ(vsi.elements[0].resource_id, 0x1040u);
    ExpectNeedle(vsi.elements[1], 0x1041, {199, 199}, {19, 19}, 556, 6);
    ExpectTable(vsi.elements[1], {{386, 268, -4.0}, {267, 387, -2.0}, {133, 386, -1.0}, {48, 327, -0.5}, {1, 200, 0.0},
                                  {48, 73, 0.5}, {133, 14, 1.0}, {267, 13, 2.0}, {386, 132, 4.0}});
}

// Metres times 0x400A3F28FCA3F288 (not the nearest double to 1/0.3048), held at 500 from above only.
TEST(Radalt, FeetFromMetresHeldAt500FromAbove) {
    ExpectScale("RADALT", 614, {
        {0.0,                 0.0},
        {-0.0,               -0.0},
        {1.0,                 3.2808398950131199},             // the stored factor itself
        {30.48,               99.999999999999901},             // a hair short of the 100 mark
        {100.0,               328.08398950131198},
        {152.4,               499.99999999999949},             // below 500: unclamped
        {152.40000000000015,  499.99999999999994},             // the last product below 500
        {152.40000000000018,  500.0},                          // the first above it
        {152.5,               500.0},
        {200.0,               500.0},
        {1e300,               500.0},
        {kInf,                500.0},
        {-10.0,              -32.808398950131199},             // no lower limit
        {-1e300,             -3.2808398950131199e300},
        {-kInf,              -kInf},
        {kNaN,                kNaN},                           // no comparison holds: passed on
    });
}

// Times 0.06 (0x3FAEB851EB851EB8), then held to -4..4; the ends pass unchanged.
TEST(Vsi, ScaledAndClampedToFourEitherWay) {
    ExpectScale("VSI", 556, {
        {0.0,                 0.0},
        {-0.0,               -0.0},
        {1.0,                 0.059999999999999998},
        {25.0,                1.5},
        {-25.0,              -1.5},
        {50.0,                3.0},
        {-50.0,              -3.0},
        {66.666666666666657,  3.9999999999999991},
        {200.0 / 3.0,         4.0},                            // a product of exactly 4
        {-200.0 / 3.0,       -4.0},
        {66.67,               4.0},
        {-66.67,             -4.0},
        {100.0,               4.0},
        {-100.0,             -4.0},
        {kInf,                4.0},
        {-kInf,              -4.0},
        {kNaN,                kNaN},
    });
}
