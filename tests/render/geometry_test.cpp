// Needle scales, rate limits and moving-image axes: the geometry that decides
// where everything is drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/error.h"
#include "render/geometry.h"
#include "scales.h"

namespace gaugehost::render {
namespace {

double Mod360(double a) {
    double r = std::fmod(a, 360.0);
    return r < 0 ? r + 360.0 : r;
}

// Difference of two directions, ignoring whole turns, in (-180, 180].
double DirectionError(double a, double b) { return ShortestTurn(b, a); }

TEST(NeedleScaleTest, EveryPointOfEveryTableIsHitWithinHalfADegree) {
    for (const PrintedScale& table : kPrintedScales) {
        NeedleScale scale(table.pivot_x, table.pivot_y, table.Points());
        for (const PrintedPoint& p : table.points) {
            SCOPED_TRACE(table.gauge + " value " + std::to_string(p.value));
            EXPECT_NEAR(DirectionError(scale.DirectionAt(p.value), p.direction), 0.0, 0.5);
        }
    }
}

struct SweepCase {
    std::string gauge;
    double value;
    double direction;  // where the printed scale puts this value, clockwise from up
};

// Between points the needle follows the printed scale: long clockwise sweeps over
// the top, and the airspeed needle's back-step from 130 to 140.
const SweepCase kSweeps[] = {
    {"RADALT", 250.0, 0.0},        // straight up, half way round the 300-degree arc
    {"RADALT", 100.0, 270.3},      // 210.4 + 299.7 / 5
    {"AIRSPEED", 135.0, 133.2},    // between 135.4 and 131.0: counter-clockwise of 130
    {"AIRSPEED", 65.0, 11.05},     // through straight up between 359.7 and 22.4
    {"AIRSPEED", 12.5, 193.45},    // between the 10 and 15 points
    {"VSI", 3.0, 45.2},            // between 20.1 and 70.3
    {"VSI", -3.0, 135.2},
    {"RPM", 1500.0, 0.5},          // 209.9 + 301.2 / 2: over the top
    {"TORQUE", 0.5, 352.45},       // 270 + 164.9 / 2
    {"FUELFLOW", 185.0, 14.65},    // 263.1 + 223.1 / 2
    {"TIT", 465.0, 9.1},           // 257.7 + 222.8 / 2
};

TEST(NeedleScaleTest, StepsBetweenPointsFollowThePrintedScale) {
    for (const SweepCase& c : kSweeps) {
        SCOPED_TRACE(c.gauge + " value " + std::to_string(c.value));
        NeedleScale scale = FindPrintedScale(c.gauge).Scale();
        EXPECT_NEAR(DirectionError(scale.DirectionAt(c.value), c.direction), 0.0, 0.5);
    }
}

TEST(NeedleScaleTest, AirspeedTurnsBackBetween130And140AndOnAfterwards) {
    NeedleScale scale = FindPrintedScale("AIRSPEED").Scale();
    EXPECT_LT(scale.DirectionAt(135.0), scale.DirectionAt(130.0));
    EXPECT_LT(scale.DirectionAt(140.0), scale.DirectionAt(135.0));
    EXPECT_GT(scale.DirectionAt(392.0), scale.DirectionAt(130.0));
    EXPECT_GT(scale.DirectionAt(600.0), scale.DirectionAt(392.0));
}

TEST(NeedleScaleTest, EveryTableGrowsClockwiseOverall) {
    // From the first point to the last, every scale turns clockwise by less than a turn.
    for (const PrintedScale& table : kPrintedScales) {
        SCOPED_TRACE(table.gauge);
        NeedleScale scale = table.Scale();
        const double sweep = scale.PointDirection(scale.size() - 1) - scale.PointDirection(0);
        EXPECT_GT(sweep, 0.0);
        EXPECT_LT(sweep, 360.0);
    }
}

TEST(NeedleScaleTest, ValuesBeyondTheEndsHoldAtTheEndPoints) {
    for (const PrintedScale& table : kPrintedScales) {
        SCOPED_TRACE(table.gauge);
        NeedleScale scale = table.Scale();
        const double first = table.points.front().value, last = table.points.back().value;
        EXPECT_EQ(scale.DirectionAt(first - 1000.0), scale.DirectionAt(first));
        EXPECT_EQ(scale.DirectionAt(last + 1e9), scale.DirectionAt(last));
        EXPECT_EQ(scale.DirectionAt(NAN), scale.DirectionAt(first));
    }
}

TEST(NeedleScaleTest, RejectsTablesItCannotUse) {
    const std::vector<ScalePoint> one = {{10, 0, 0.0}};
    const std::vector<ScalePoint> falling = {{10, 0, 1.0}, {0, 10, 1.0}};
    const std::vector<ScalePoint> on_pivot = {{10, 0, 0.0}, {5, 5, 1.0}};
    const std::vector<ScalePoint> nan_value = {{10, 0, 0.0}, {0, 10, NAN}};
    for (const auto* points : {&one, &falling, &on_pivot, &nan_value})
        EXPECT_THROW(NeedleScale(5, 5, *points), RenderError);
}

struct StepCase {
    double from, to, step;
};

TEST(ScaleStepTest, ClockwiseUnlessLongerThan330) {
    const StepCase cases[] = {
        {210.4, 150.1, 299.7},   // radar altimeter: the long way over the top
        {135.4, 131.0, -4.4},    // airspeed back-step
        {340.4, 20.1, 39.7},     // across north, clockwise
        {10.0, 340.0, 330.0},    // exactly the limit is still clockwise
        {10.0, 339.0, 329.0},
        {10.0, 341.0, -29.0},    // just past it: the short way back
        {90.0, 90.0, 0.0},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        EXPECT_NEAR(ScaleStep(c.from, c.to), c.step, 1e-9);
    }
}

TEST(DirectionFromPivotTest, MeasuresClockwiseFromUpWithYDown) {
    EXPECT_NEAR(DirectionFromPivot(200, 200, 200, 0), 0.0, 1e-9);
    EXPECT_NEAR(DirectionFromPivot(200, 200, 300, 200), 90.0, 1e-9);
    EXPECT_NEAR(DirectionFromPivot(200, 200, 200, 300), 180.0, 1e-9);
    EXPECT_NEAR(DirectionFromPivot(200, 200, 100, 200), 270.0, 1e-9);
}

struct MotionCase {
    std::string what;
    int32_t limit;
    std::vector<double> targets;
    std::vector<double> shown;  // compared as directions (mod 360)
};

TEST(NeedleMotionTest, TurnsAtMostTheLimitPerUpdateTheShorterWayRound) {
    const MotionCase cases[] = {
        {"first update jumps", 6, {100.0}, {100.0}},
        {"no limit jumps", 0, {0.0, 170.0, -359.0}, {0.0, 170.0, -359.0}},
        {"climbs in steps of 6", 6, {0.0, 20.0, 20.0, 20.0, 20.0}, {0.0, 6.0, 12.0, 18.0, 20.0}},
        {"falls in steps of 6", 6, {0.0, -13.0, -13.0, -13.0}, {0.0, -6.0, -12.0, -13.0}},
        {"card crossing north turns 2", 6, {-359.0, -1.0}, {-359.0, -1.0}},
        {"card 355 to 5 turns 10 through north", 6, {-355.0, -5.0, -5.0}, {-355.0, -361.0, -5.0}},
        {"bug 350 to 10 goes clockwise", 6, {350.0, 10.0, 10.0, 10.0, 10.0}, {350.0, 356.0, 2.0, 8.0, 10.0}},
        {"target moves while turning", 6, {0.0, 30.0, 3.0}, {0.0, 6.0, 3.0}},
        {"ADF unparks from 90", 6, {90.0, 45.0, 45.0}, {90.0, 84.0, 78.0}},
    };
    for (const MotionCase& c : cases) {
        SCOPED_TRACE(c.what);
        NeedleMotion motion;
        for (size_t i = 0; i < c.targets.size(); ++i) {
            const double shown = motion.Advance(c.targets[i], c.limit);
            EXPECT_NEAR(DirectionError(shown, c.shown[i]), 0.0, 1e-9) << "update " << i;
        }
    }
}

TEST(NeedleMotionTest, ArrivesExactlyAtTheTargetItself) {
    NeedleMotion motion;
    motion.Advance(-359.0, 6);
    EXPECT_EQ(motion.Advance(-1.0, 6), -1.0);
}

TEST(NeedleMotionTest, HoldsOnANonFiniteTarget) {
    NeedleMotion motion;
    motion.Advance(42.0, 6);
    EXPECT_EQ(motion.Advance(NAN, 6), 42.0);
    EXPECT_EQ(motion.Advance(INFINITY, 0), 42.0);
}

struct AxisCase {
    std::string what;
    double value, min, max, travel, offset;
};

TEST(AxisOffsetTest, MapsMinToMaxAcrossTheTravelAndHoldsAtTheEnds) {
    const AxisCase cases[] = {
        {"centre", 0.0, -127.0, 127.0, 233.0, 116.5},
        {"min end", -127.0, -127.0, 127.0, 233.0, 0.0},
        {"max end", 127.0, -127.0, 127.0, 233.0, 233.0},
        {"beyond max holds", 200.0, -127.0, 127.0, 233.0, 233.0},
        {"beyond min holds", -1e300, -127.0, 127.0, 233.0, 0.0},
        {"quarter", -63.5, -127.0, 127.0, 100.0, 25.0},
        {"fixed axis with 1.0 stays centred", 1.0, 0.0, 0.0, 6.0, 3.0},
        {"fixed axis of a full-size bar", 1.0, 0.0, 0.0, 0.0, 0.0},
        {"not a number stays centred", NAN, -127.0, 127.0, 102.0, 51.0},
    };
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DOUBLE_EQ(AxisOffset(c.value, c.min, c.max, c.travel), c.offset);
    }
}

}  // namespace
}  // namespace gaugehost::render
