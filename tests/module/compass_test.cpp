// COMPASS and HEADINGBUG on the real KEL.gau: the chains as the host reads them, the card,
// bug and knob angles bit for bit, and the bug's own heading lookup on every call.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "gaugehost.h"
#include "test_support.h"

using namespace gaugehost;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr int kCard = 1, kBug = 2, kOverlay = 3;
constexpr int kKnobFace = 1;

// Addresses of the records LookupVar was given, in call order.
std::vector<uint32_t> LookedUpRecords(const Host& host) {
    std::vector<uint32_t> records;
    for (const ServiceCall& c : host.service_calls())
        if (c.entry == service::kLookupVar) records.push_back(c.args.at(0));
    return records;
}

struct Row {
    int index;
    ElementKind kind;
    uint32_t resource;
    std::array<int32_t, 2> position, offset;
    uint32_t draw_flags;
    uint32_t token;  // 0: a static image, no variable
    int32_t max_degrees;
};

void ExpectRows(const GaugeModel& g, const std::vector<Row>& rows) {
    ASSERT_EQ(g.elements.size(), rows.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(g.name + " element " + std::to_string(row.index));
        const ElementModel& e = g.elements[size_t(row.index)];
        EXPECT_EQ(e.parent, row.index - 1) << "each element is the only child of the one before";
        EXPECT_EQ(e.kind, row.kind);
        EXPECT_EQ(e.resource_id, row.resource);
        EXPECT_EQ(e.position, row.position);
        EXPECT_EQ(e.offset, row.offset);
        EXPECT_EQ(e.draw_flags, row.draw_flags);
        if (row.kind != ElementKind::Needle) continue;
        ASSERT_EQ(e.vars.size(), 1u);
        EXPECT_EQ(e.vars[0].token, row.token);
        EXPECT_EQ(e.nonlinearity_table, 0u);
        EXPECT_EQ(e.nonlinearity_count, 0u);
        EXPECT_EQ(e.max_degrees_per_tick, row.max_degrees);
        EXPECT_NE(e.value_callback, 0u);
    }
    EXPECT_EQ(g.elements.back().next_elements, 0u);
}

}  // namespace

TEST(CompassRecords, BaseCardBugOverlayAndTheKnob) {
    Host host(KEL_GAU_PATH);
    using K = ElementKind;
    ExpectRows(host.gauge("COMPASS"), {
        {0,        K::Static, 0x1030, {0, 0},     {0, 0},     1, 0,   0},
        {kCard,    K::Needle, 0x1031, {199, 199}, {199, 199}, 7, 81,  6},
        {kBug,     K::Needle, 0x1032, {199, 199}, {195, 24},  7, 855, 6},
        {kOverlay, K::Static, 0x1033, {0, 0},     {0, 0},     7, 0,   0},
    });
    ExpectRows(host.gauge("HEADINGBUG"), {
        {0,         K::Static, 0x1034, {0, 0},   {0, 0},   1, 0,   0},
        {kKnobFace, K::Needle, 0x1035, {22, 22}, {22, 22}, 3, 855, 6},
    });
}

// Card -1 x heading, bug (setting - heading), knob the setting; nothing wrapped.
TEST(Compass, CardBugAndKnobAngles) {
    struct Case {
        double heading, setting;
        double card, bug, knob;
    };
    const Case cases[] = {
        {0.0,    0.0,    -0.0,    0.0,     0.0},    // N up, bug at the right
        {90.0,   90.0,   -90.0,   0.0,     90.0},
        {350.0,  10.0,   -350.0, -340.0,   10.0},
        {10.0,   350.0,  -10.0,   340.0,   350.0},
        {359.0,  0.0,    -359.0, -359.0,   0.0},
        {1.0,    360.0,  -1.0,    359.0,   360.0},
        {-0.0,   -0.0,    0.0,    0.0,    -0.0},   // -0 - -0 is +0; the knob passes -0 on
        {0.1,    0.3,    -0.1,    0.19999999999999998, 0.3},
        {720.5,  -45.0,  -720.5, -765.5,  -45.0},
        {kInf,   kInf,   -kInf,   kNaN,    kInf},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        host.set(81, c.heading);
        host.set(855, c.setting);
        SCOPED_TRACE("heading " + std::to_string(c.heading) + ", setting " + std::to_string(c.setting));
        EXPECT_TRUE(SameBits(host.call_callback("COMPASS", kCard).value, c.card));
        double bug = host.call_callback("COMPASS", kBug).value;
        if (std::isnan(c.bug))
            EXPECT_TRUE(std::isnan(bug)) << bug;
        else
            EXPECT_TRUE(SameBits(bug, c.bug));
        EXPECT_TRUE(SameBits(host.call_callback("HEADINGBUG", kKnobFace).value, c.knob));
    }
}

// A multiply, not a negation: the NaN keeps its sign.
TEST(Compass, CardMultipliesByMinusOne) {
    Host host(KEL_GAU_PATH);
    for (double nan : {kNaN, -kNaN}) {
        host.set(81, nan);
        double card = host.call_callback("COMPASS", kCard).value;
        ASSERT_TRUE(std::isnan(card));
        EXPECT_EQ(std::signbit(card), std::signbit(nan));
    }
}

// The bug looks its heading up afresh on every call, into a record of its own; the card
// and the knob call no service.
TEST(Compass, BugRefreshesItsOwnHeadingOnEveryCall) {
    Host host(KEL_GAU_PATH);
    host.set(855, 100.0);
    for (int i = 0; i < 3; ++i) {
        host.call_callback("COMPASS", kCard);
        host.call_callback("HEADINGBUG", kKnobFace);
    }
    EXPECT_TRUE(host.service_calls().empty());

    const double headings[] = {10.0, 350.0, 350.0, 0.0, 42.5};
    for (double h : headings) {
        host.set(81, h);
        EXPECT_EQ(host.call_callback("COMPASS", kBug).value, 100.0 - h);
    }
    EXPECT_EQ(host.lookup_count(81), std::size(headings));
    EXPECT_EQ(host.service_calls().size(), std::size(headings)) << "LookupVar only";
    auto records = LookedUpRecords(host);
    EXPECT_EQ(std::set<uint32_t>(records.begin(), records.end()).size(), 1u) << "always the same record";
    EXPECT_NE(records.at(0), host.gauge("COMPASS").elements[kCard].vars[0].address) << "not the card's variable";
    // The record carries its token and nothing else of the module's (the value is the host's).
    auto record = host.read(records.at(0), 28);
    EXPECT_EQ(host.read_u32(records.at(0)), 81u);
    for (size_t i : {4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 20u, 21u, 22u, 23u, 24u, 25u, 26u, 27u})
        EXPECT_EQ(record[i], 0) << "byte " << i;

    // The ADF's heading record for the same token is another one.
    host.clear_logs();
    host.set(20, 300.0);
    host.call_callback("ADF", 1);
    std::set<uint32_t> adf;
    for (const ServiceCall& c : host.service_calls())
        if (c.entry == service::kLookupVar && host.read_u32(c.args.at(0)) == 81) adf.insert(c.args.at(0));
    ASSERT_EQ(adf.size(), 1u);
    EXPECT_NE(*adf.begin(), records.at(0));
}

// The bug reads the heading from its lookup, not from the card's embedded copy.
TEST(Compass, BugUsesTheHeadingOfItsOwnLookup) {
    Host host(KEL_GAU_PATH);
    host.set(81, 30.0);
    host.set(855, 40.0);
    host.call_callback("COMPASS", kCard);  // the card's copy now holds 30
    host.set(81, 35.0);
    EXPECT_EQ(host.call_callback("COMPASS", kBug).value, 5.0);
    EXPECT_EQ(host.read_f64(host.gauge("COMPASS").elements[kCard].vars[0].address + layout::kVarValue), 30.0);
}

TEST(Compass, OneUpdateLooksUpOnce) {
    Host host(KEL_GAU_PATH);
    host.set(81, 90.0);
    host.set(855, 90.0);
    auto r = host.update("COMPASS");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[kCard].value, -90.0);
    EXPECT_EQ(r[kBug].value, 0.0);
    EXPECT_FALSE(r[kOverlay].has_value);
    EXPECT_EQ(host.lookup_count(81), 1u);
}

// The knob's halves move token 855 through the host; the bug and knob follow it.
TEST(HeadingBug, KnobHalvesMoveTheSettingThatBugAndKnobShow) {
    Host host(KEL_GAU_PATH);
    host.set(81, 0.0);
    host.set(855, 0.0);
    host.click("HEADINGBUG", 3);  // left half: down
    EXPECT_EQ(host.call_callback("HEADINGBUG", kKnobFace).value, 359.0);
    EXPECT_EQ(host.call_callback("COMPASS", kBug).value, 359.0);
    host.click("HEADINGBUG", 4);  // right half: up
    host.click("HEADINGBUG", 4);
    EXPECT_EQ(host.call_callback("HEADINGBUG", kKnobFace).value, 1.0);
    ASSERT_EQ(host.key_events().size(), 3u);
    EXPECT_EQ(host.key_events()[0].event, 0x10158u);
    EXPECT_EQ(host.key_events()[1].event, 0x10157u);
    for (const KeyEvent& k : host.key_events()) EXPECT_FALSE(k.from_module);
}
