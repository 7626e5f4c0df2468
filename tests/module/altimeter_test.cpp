// ALTIMETER and KOHLSMAN on the real KEL.gau: the element chains as the host reads them,
// the three hands and the knob bit for bit, and the pressure window's text within its
// four characters for every input.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

#include "gaugehost.h"
#include "test_support.h"

using namespace gaugehost;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Element indices in chain order.
constexpr int kPressureText = 1, kShortHand = 2, kMiddleHand = 3, kLongHand = 4;
constexpr int kKnobFace = 1;

struct NeedleRow {
    int index;
    uint32_t resource;
    std::array<int32_t, 2> position, offset;
    uint32_t draw_flags;
    uint32_t token;
};

void ExpectNeedleRow(const GaugeModel& g, const NeedleRow& row) {
    SCOPED_TRACE(g.name + " element " + std::to_string(row.index));
    const ElementModel& e = g.elements.at(size_t(row.index));
    EXPECT_EQ(e.kind, ElementKind::Needle);
    EXPECT_EQ(e.resource_id, row.resource);
    EXPECT_EQ(e.position, row.position);
    EXPECT_EQ(e.offset, row.offset);
    EXPECT_EQ(e.draw_flags, row.draw_flags);
    ASSERT_EQ(e.vars.size(), 1u);
    EXPECT_EQ(e.vars[0].token, row.token);
    EXPECT_EQ(e.nonlinearity_table, 0u);
    EXPECT_EQ(e.nonlinearity_count, 0u);
    EXPECT_EQ(e.max_degrees_per_tick, 0);
    EXPECT_NE(e.value_callback, 0u);
}

}  // namespace

TEST(AltimeterRecords, ChainIsDialTextThenShortMiddleAndLongHand) {
    Host host(KEL_GAU_PATH);
    const GaugeModel& g = host.gauge("ALTIMETER");
    ASSERT_EQ(g.elements.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g.elements[size_t(i)].parent, i - 1) << "a chain, element " << i;
    EXPECT_EQ(g.elements[0].resource_id, 0x1010u);
    EXPECT_EQ(g.elements[kLongHand].next_elements, 0u);
    for (const NeedleRow& row : {NeedleRow{kShortHand, 0x1013, {200, 200}, {18, 127}, 7, 74},
                                 NeedleRow{kMiddleHand, 0x1012, {200, 200}, {25, 148}, 7, 74},
                                 NeedleRow{kLongHand, 0x1011, {200, 200}, {18, 189}, 7, 74}})
        ExpectNeedleRow(g, row);

    const ElementModel& t = g.elements[kPressureText];
    ExpectCommonTextField(host, t);
    EXPECT_EQ(t.position, (std::array<int32_t, 2>{135, 320}));
    EXPECT_EQ(t.offset, (std::array<int32_t, 2>{0, 0}));
    ASSERT_EQ(t.vars.size(), 3u);
    EXPECT_EQ(t.vars[0].token, 75u);
    EXPECT_EQ(t.vars[1].token, 335u);
    EXPECT_EQ(t.vars[2].token, 0u);
    EXPECT_EQ(t.box_size, (std::array<int32_t, 2>{130, 42}));
    EXPECT_EQ(t.max_chars, 4u);
    EXPECT_EQ(host.read_u32(t.address + layout::kStringBuffer), 0u) << "text_buffer is the host's, null as authored";
}

TEST(KohlsmanRecords, KnobFaceTurnsOverItsBase) {
    Host host(KEL_GAU_PATH);
    const GaugeModel& g = host.gauge("KOHLSMAN");
    ASSERT_EQ(g.elements.size(), 2u);
    EXPECT_EQ(g.elements[0].resource_id, 0x1014u);
    ExpectNeedleRow(g, {kKnobFace, 0x1015, {22, 22}, {22, 22}, 3, 75});
    EXPECT_EQ(g.elements[kKnobFace].next_elements, 0u);
}

// 0.36, 0.036 and 0.0036 degrees per foot, with the stored doubles 0x3FD70A3D70A3D70A,
// 0x3FA26E978D4FDF3B and 0x3F6D7DBF487FCB92; no clamp, no wrap.
TEST(Altimeter, HandsTurnAtTheirStoredRates) {
    struct Case {
        double feet, hundreds, thousands, ten_thousands;
    };
    const Case cases[] = {
        {0.0,      0.0,                 0.0,                  0.0},
        {-0.0,    -0.0,                -0.0,                 -0.0},
        {1.0,      0.35999999999999999, 0.035999999999999997, 0.0035999999999999999},  // the constants
        {500.0,    180.0,               18.0,                 1.8},
        {1000.0,   360.0,               36.0,                 3.6000000000000001},
        {2500.0,   900.0,               90.0,                 9.0},
        {-100.0,  -36.0,               -3.5999999999999996,  -0.35999999999999999},
        {12345.6,  4444.4160000000002,  444.44159999999999,   44.444159999999997},
        {kInf,     kInf,                kInf,                 kInf},
        {kNaN,     kNaN,                kNaN,                 kNaN},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        host.set(74, c.feet);
        SCOPED_TRACE("altitude " + std::to_string(c.feet));
        EXPECT_TRUE(SameBitsOrNan(host.call_callback("ALTIMETER", kLongHand).value, c.hundreds));
        EXPECT_TRUE(SameBitsOrNan(host.call_callback("ALTIMETER", kMiddleHand).value, c.thousands));
        EXPECT_TRUE(SameBitsOrNan(host.call_callback("ALTIMETER", kShortHand).value, c.ten_thousands));
    }
    EXPECT_TRUE(host.service_calls().empty());
}

// The format is chosen on the double (below 1000: one leading zero), the integer is the
// double truncated toward zero, and the returned double is the input itself. Outside what
// four characters can show, the text saturates: 9999 above, 0-99 below, ---- for NaN.
TEST(Altimeter, PressureWindowTextStaysWithinFourCharacters) {
    struct Case {
        double setting;
        const char* text;
    };
    const Case cases[] = {
        {1013.0,             "1013"},
        {1013.9999999999999, "1013"},  // truncated, not rounded
        {1000.0,             "1000"},  // 1000 itself takes no zero
        {999.99999999999989, "0999"},  // below 1000 on the double
        {999.7,              "0999"},
        {999.6,              "0999"},
        {950.0,              "0950"},
        {100.0,              "0100"},
        {99.0,               "099"},   // only one zero is ever added
        {5.5,                "05"},
        {0.0,                "00"},
        {-0.0,               "00"},
        {-0.5,               "00"},
        {-2.5,               "0-2"},
        {-99.9,              "0-99"},
        {9999.0,             "9999"},
        {9999.9,             "9999"},
        // Beyond four characters: held at the nearest text that fits.
        {10000.0,            "9999"},
        {123456.0,           "9999"},
        {2147483648.0,       "9999"},
        {1e300,              "9999"},
        {kInf,               "9999"},
        {-100.0,             "0-99"},
        {-100000.0,          "0-99"},
        {-2147483649.0,      "0-99"},
        {-1e300,             "0-99"},
        {-kInf,              "0-99"},
        {kNaN,               "----"},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        host.set(75, c.setting);
        SCOPED_TRACE("setting " + std::to_string(c.setting));
        CallResult r;
        // gaugehost fails the call if the text runs past max_chars + 1 into its guard bytes.
        ASSERT_NO_THROW(r = host.call_callback("ALTIMETER", kPressureText));
        EXPECT_EQ(host.text_of("ALTIMETER", kPressureText), c.text);
        EXPECT_TRUE(SameBitsOrNan(r.value, c.setting)) << "the value is returned unchanged";
    }
    EXPECT_TRUE(host.service_calls().empty());
}

TEST(Altimeter, OnlyTheFirstTextVariableCounts) {
    Host host(KEL_GAU_PATH);
    host.set(75, 1013.0);
    for (double other : {0.0, 5.0, -1e9, kNaN}) {
        host.set(335, other);
        host.call_callback("ALTIMETER", kPressureText);
        EXPECT_EQ(host.text_of("ALTIMETER", kPressureText), "1013") << "token 335 at " << other;
    }
}

TEST(Altimeter, OneUpdateShowsTextAndHands) {
    Host host(KEL_GAU_PATH);
    host.set(74, 2500.0);
    host.set(75, 950.0);
    auto r = host.update("ALTIMETER");
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[kPressureText].text, "0950");
    EXPECT_EQ(r[kPressureText].value, 950.0);
    EXPECT_EQ(r[kShortHand].value, 9.0);
    EXPECT_EQ(r[kMiddleHand].value, 90.0);
    EXPECT_EQ(r[kLongHand].value, 900.0);
}

// (1013 - setting) * -5, in that order: 1013 gives a negative zero.
TEST(Kohlsman, KnobTurnsFiveDegreesPerUnitFrom1013) {
    struct Case {
        double setting, degrees;
    };
    const Case cases[] = {
        {1013.0,             -0.0},
        {1014.0,              5.0},
        {1012.0,             -5.0},
        {1013.9999999999999,  4.9999999999994316},
        {999.6,              -66.999999999999886},
        {1000.0,             -65.0},
        {950.0,              -315.0},
        {1085.0,              360.0},
        {0.0,                -5065.0},
        {kInf,                kInf},
        {-kInf,              -kInf},
        {kNaN,                kNaN},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        host.set(75, c.setting);
        EXPECT_TRUE(SameBitsOrNan(host.call_callback("KOHLSMAN", kKnobFace).value, c.degrees)) << "setting " << c.setting;
    }
    EXPECT_TRUE(host.service_calls().empty());
}
