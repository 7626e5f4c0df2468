// DEVIATION: bars and flags gated by standalone variables with three different tests.
// OBS: the three-character course text and the 180-event reciprocal click.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "gaugehost.h"
#include "test_support.h"

namespace {

using gaugehost::Callback;
using gaugehost::Host;

// DEVIATION elements in chain order.
constexpr int kGlideSlopeBar = 1, kCourseBar = 2, kCourseFlag = 3, kGlideSlopeFlag = 4;
// OBS elements and mouse entries.
constexpr int kReadout = 1, kKnobDown = 3, kKnobUp = 4, kReciprocalButton = 5;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Tokens = std::vector<uint32_t>;

Tokens LookedUpTokens(const Host& host) {
    Tokens tokens;
    for (const auto& call : host.service_calls()) {
        EXPECT_EQ(call.entry, gaugehost::service::kLookupVar);
        tokens.push_back(host.read_u32(call.args.at(0)));
    }
    return tokens;
}

TEST(Deviation, ChainRecords) {
    Host host(KEL_GAU_PATH);
    const auto& g = host.gauge("DEVIATION");
    ASSERT_EQ(g.elements.size(), 5u);
    EXPECT_EQ(g.elements[0].resource_id, 0x1060u);
    EXPECT_EQ(g.elements[0].draw_flags, 5u);

    struct Bar {
        int index;
        uint32_t resource, x_token, y_token;
        double x_min, x_max, y_min, y_max;
    };
    const Bar bars[] = {
        //  element          bitmap  x   y    x_min  x_max   y_min  y_max
        {kGlideSlopeBar,    0x1061,  0, 41,     0.0,   0.0, -127.0, 127.0},
        {kCourseBar,        0x1063, 40,  0,  -127.0, 127.0,    0.0,   0.0},
    };
    for (const Bar& b : bars) {
        const auto& e = g.elements[size_t(b.index)];
        SCOPED_TRACE("element " + std::to_string(b.index));
        EXPECT_EQ(e.kind, gaugehost::ElementKind::MovingImage);
        EXPECT_EQ(e.resource_id, b.resource);
        EXPECT_EQ(e.position, (std::array<int32_t, 2>{0, 0}));
        EXPECT_EQ(e.draw_flags, 7u);
        EXPECT_EQ(e.vars.at(0).token, b.x_token);
        EXPECT_EQ(e.vars.at(1).token, b.y_token);
        EXPECT_EQ(Bits(e.x_min), Bits(b.x_min));
        EXPECT_EQ(Bits(e.x_max), Bits(b.x_max));
        EXPECT_EQ(Bits(e.y_min), Bits(b.y_min));
        EXPECT_EQ(Bits(e.y_max), Bits(b.y_max));
    }

    struct Flag {
        int index;
        uint32_t resource, token;
        std::array<int32_t, 2> position;
    };
    const Flag flags[] = {
        {kCourseFlag,     0x1065, 44, {101, 185}},
        {kGlideSlopeFlag, 0x1067, 53, {186, 105}},
    };
    for (const Flag& f : flags) {
        const auto& e = g.elements[size_t(f.index)];
        EXPECT_EQ(e.kind, gaugehost::ElementKind::Icon);
        EXPECT_EQ(e.resource_id, f.resource);
        EXPECT_EQ(e.vars.at(0).token, f.token);
        EXPECT_EQ(e.position, f.position);
        EXPECT_EQ(e.image_count, 2u);
        EXPECT_EQ(e.draw_flags, 7u);
    }
}

// Course: bar and flag both gate on token 49 below 256.0; the deviation (40) is looked up
// only when the gate passes.
TEST(Deviation, CourseGate) {
    struct Case {
        double gate, deviation;
        double bar, flag;
    };
    const Case cases[] = {
        //  gate    deviation   bar     flag
        {    0.0,     55.0,      0.0,   1.0},
        { -300.0,     55.0,      0.0,   1.0},
        {  255.9,     55.0,      0.0,   1.0},
        {  256.0,     55.0,     55.0,   0.0},
        {  300.0,    200.0,    200.0,   0.0},   // beyond x_max, unclamped
        {  300.0,     -0.0,     -0.0,   0.0},
        {   kNaN,     -7.5,     -7.5,   0.0},   // not below 256
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        SCOPED_TRACE("gate " + std::to_string(c.gate));
        host.set(49, c.gate);
        host.set(40, c.deviation);
        const bool gated = c.flag == 1.0;

        host.clear_logs();
        EXPECT_EQ(Bits(host.call_callback("DEVIATION", kCourseBar, Callback::X).value), Bits(c.bar));
        const Tokens looked_up = gated ? Tokens{49} : Tokens{49, 40};
        EXPECT_EQ(LookedUpTokens(host), looked_up);

        host.clear_logs();
        EXPECT_EQ(Bits(host.call_callback("DEVIATION", kCourseFlag).value), Bits(c.flag));
        EXPECT_EQ(LookedUpTokens(host), Tokens{49});
    }
}

// Glide slope: the bar parks at 0.0 or below, the flag shows only at exactly 0.0.
TEST(Deviation, GlideSlopeGate) {
    struct Case {
        double gate, deviation;
        double bar, flag;
    };
    const Case cases[] = {
        //  gate      deviation   bar     flag
        {    0.0,       33.0,      0.0,   1.0},
        {   -0.0,       33.0,      0.0,   1.0},   // equal to 0.0
        {   -1.0,       33.0,      0.0,   0.0},   // parked, flag hidden
        {   -kInf,      33.0,      0.0,   0.0},
        {    0.5,       33.0,     33.0,   0.0},
        {  5e-324,    -140.0,   -140.0,   0.0},   // the smallest step above 0.0 passes
        {  256.0,      -0.25,    -0.25,   0.0},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        SCOPED_TRACE("gate " + std::to_string(c.gate));
        host.set(44, c.gate);
        host.set(41, c.deviation);
        const bool parked = c.gate <= 0.0;  // the deviation is not looked up

        host.clear_logs();
        EXPECT_EQ(Bits(host.call_callback("DEVIATION", kGlideSlopeBar, Callback::Y).value), Bits(c.bar));
        const Tokens looked_up = parked ? Tokens{44} : Tokens{44, 41};
        EXPECT_EQ(LookedUpTokens(host), looked_up);

        host.clear_logs();
        EXPECT_EQ(Bits(host.call_callback("DEVIATION", kGlideSlopeFlag).value), Bits(c.flag));
        EXPECT_EQ(LookedUpTokens(host), Tokens{44});
    }
}

// Bar and flag of one axis share one gate record; the deviation record is refreshed
// right before it is read again after a gated spell.
TEST(Deviation, StandaloneRecordsAreSharedAndRefreshedBeforeUse) {
    Host host(KEL_GAU_PATH);
    host.set(49, 300.0);
    host.set(40, 10.0);
    host.call_callback("DEVIATION", kCourseBar, Callback::X);
    const uint32_t gate_record = host.service_calls().at(0).args.at(0);
    const uint32_t deviation_record = host.service_calls().at(1).args.at(0);
    host.clear_logs();
    host.call_callback("DEVIATION", kCourseFlag);
    EXPECT_EQ(host.service_calls().at(0).args.at(0), gate_record);

    host.set(49, 0.0);
    host.set(40, 20.0);
    host.call_callback("DEVIATION", kCourseBar, Callback::X);
    EXPECT_EQ(host.read_f64(deviation_record + 0x0C), 10.0) << "not refreshed while gated";
    host.set(49, 256.0);
    EXPECT_EQ(host.call_callback("DEVIATION", kCourseBar, Callback::X).value, 20.0);

    // The glide-slope pair shares its own gate record, distinct from the course's.
    host.set(44, 1.0);
    host.clear_logs();
    host.call_callback("DEVIATION", kGlideSlopeBar, Callback::Y);
    host.call_callback("DEVIATION", kGlideSlopeFlag);
    ASSERT_EQ(host.service_calls().size(), 3u);
    EXPECT_EQ(host.service_calls()[0].args[0], host.service_calls()[2].args[0]);
    EXPECT_NE(host.service_calls()[0].args[0], gate_record);
}

// The flags' own variables decide nothing; the fixed axes return 1.0 and call nothing.
TEST(Deviation, OwnVariablesAndFixedAxes) {
    Host host(KEL_GAU_PATH);
    host.set(49, 100.0);
    host.set(44, 5.0);
    for (double own : {0.0, 1.0, -9.0, 300.0}) {
        host.set(53, own);  // glide-slope flag's own variable
        EXPECT_EQ(host.call_callback("DEVIATION", kGlideSlopeFlag).value, 0.0);
    }
    host.set(44, 0.0);  // course flag's own token changes, its gate does not
    EXPECT_EQ(host.call_callback("DEVIATION", kCourseFlag).value, 1.0);
    host.set(44, 500.0);
    EXPECT_EQ(host.call_callback("DEVIATION", kCourseFlag).value, 1.0);

    host.clear_logs();
    EXPECT_EQ(host.call_callback("DEVIATION", kGlideSlopeBar, Callback::X).value, 1.0);
    EXPECT_EQ(host.call_callback("DEVIATION", kCourseBar, Callback::Y).value, 1.0);
    EXPECT_TRUE(host.service_calls().empty());
}

TEST(Obs, ReadoutRecord) {
    Host host(KEL_GAU_PATH);
    const auto& g = host.gauge("OBS");
    ASSERT_EQ(g.elements.size(), 2u);
    EXPECT_EQ(g.elements[0].resource_id, 0x1069u);
    const auto& s = g.elements[kReadout];
    ExpectCommonTextField(host, s);
    EXPECT_EQ(s.position, (std::array<int32_t, 2>{57, 5}));
    ASSERT_EQ(s.vars.size(), 3u);
    EXPECT_EQ(s.vars[0].token, 45u);
    EXPECT_EQ(s.vars[1].token, 567u);
    EXPECT_EQ(s.vars[2].token, 421u);
    EXPECT_EQ(s.box_size, (std::array<int32_t, 2>{85, 39}));
    EXPECT_EQ(s.max_chars, 3u);
}

// The format is chosen on the double; out of range values saturate to three characters
// (gaugehost fails the call if the module writes past max_chars + 1).
TEST(Obs, CourseText) {
    struct Case {
        double course;
        const char* text;
    };
    const Case cases[] = {
        {  -0.7,   "000"},
        {   0.0,   "000"},
        {  -0.0,   "000"},
        {   5.9,   "005"},
        {   9.99,  "009"},
        {  10.0,   "010"},
        {  45.7,   "045"},
        {  99.5,   "099"},
        { 100.0,   "100"},
        { 359.0,   "359"},
        { 360.0,   "360"},
        { 999.9,   "999"},
        // beyond three digits: saturated
        {1000.0,   "999"},
        {  1e12,   "999"},
        {  kInf,   "999"},
        {  -1.0,   "000"},
        { -99.0,   "000"},
        { -1e12,   "000"},
        { -kInf,   "000"},
        {  kNaN,   "---"},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        SCOPED_TRACE("course " + std::to_string(c.course));
        host.set(45, c.course);
        host.clear_logs();
        const double returned = host.call_callback("OBS", kReadout).value;
        EXPECT_EQ(host.text_of("OBS", kReadout), c.text);
        if (std::isnan(c.course))
            EXPECT_TRUE(std::isnan(returned));
        else
            EXPECT_EQ(Bits(returned), Bits(c.course)) << "the course comes back unchanged";
        EXPECT_TRUE(host.service_calls().empty());
    }
}

TEST(Obs, UnreadVariablesDoNotChangeText) {
    Host host(KEL_GAU_PATH);
    host.set(45, 7.0);
    for (double other : {0.0, 12345.0, -1.0, kNaN}) {
        host.set(567, other);
        host.set(421, other);
        auto results = host.update("OBS");
        EXPECT_EQ(results[kReadout].text, "007");
    }
}

// One click: exactly 180 increments with parameter 0, result 1; the course goes round.
TEST(Obs, ReciprocalClick) {
    struct Case {
        double before, after;
        const char* text;
    };
    const Case cases[] = {
        {  0.0, 180.0, "180"},
        { 10.0, 190.0, "190"},
        {200.0,  20.0, "020"},
        {359.0, 179.0, "179"},
    };
    Host host(KEL_GAU_PATH);
    const auto& button = host.gauge("OBS").mouse.at(kReciprocalButton);
    ASSERT_EQ(button.rect_type, 2u);
    ASSERT_NE(button.mouse_function, 0u);
    ASSERT_EQ(button.event_id, 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE("course " + std::to_string(c.before));
        host.set(45, c.before);
        host.clear_logs();
        EXPECT_EQ(host.click("OBS", kReciprocalButton, 0xDEAD, 0xBEEF), 1u);

        ASSERT_EQ(host.key_events().size(), 180u);
        for (const auto& e : host.key_events()) {
            EXPECT_EQ(e.event, 0x1007Fu);
            EXPECT_EQ(e.parameter, 0u);
            EXPECT_TRUE(e.from_module);
        }
        EXPECT_EQ(host.service_calls().size(), 180u) << "nothing but the key events";
        EXPECT_EQ(host.get(45), c.after);
        EXPECT_EQ(host.update("OBS")[kReadout].text, c.text);
    }
}

// The knob halves are the host's own events; the module is not called for them.
TEST(Obs, KnobHalvesSendTheirEvents) {
    Host host(KEL_GAU_PATH);
    host.set(45, 0.0);
    EXPECT_EQ(host.click("OBS", kKnobDown), 0u);
    EXPECT_EQ(host.get(45), 359.0);
    EXPECT_EQ(host.click("OBS", kKnobUp), 0u);
    EXPECT_EQ(host.get(45), 0.0);
    ASSERT_EQ(host.key_events().size(), 2u);
    EXPECT_EQ(host.key_events()[0].event, 0x1007Eu);
    EXPECT_EQ(host.key_events()[1].event, 0x1007Fu);
    EXPECT_FALSE(host.key_events()[0].from_module);
    EXPECT_TRUE(host.service_calls().empty());
}

}  // namespace
