// Clock on the real KEL.gau: the chain as the host reads it, the time-of-day hands, and
// the stopwatch's four states driven through its two knobs, step by step, with the
// seconds and counter hands' results bit for bit and the time lookups counted.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <climits>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "gaugehost.h"
#include "test_support.h"

using namespace gaugehost;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

constexpr int kCounterHand = 1, kHourHand = 2, kMinuteHand = 3, kSecondsHand = 4;
constexpr int kStartStopEntry = 3, kResetEntry = 4;  // mouse entries, from 0
constexpr uint32_t kTimeToken = 557;

// One step of a stopwatch scenario: at time of day T, press a knob or read a hand.
enum class Op { Press, Reset, Seconds, Counter };
struct Step {
    Op op;
    double t;         // what the host's token 557 holds during the step
    double expected;  // the hand's result; 1 for a knob
    int lookups;      // LookupVar calls the step makes
};
Step Press(double t) { return {Op::Press, t, 1.0, 1}; }
Step Reset() { return {Op::Reset, 0.0, 1.0, 0}; }
Step Seconds(double t, double degrees) { return {Op::Seconds, t, degrees, 1}; }      // Running, Resumed
Step SecondsHeld(double degrees) { return {Op::Seconds, -1.0, degrees, 0}; }         // Idle, Stopped
Step Counter(double degrees) { return {Op::Counter, -2.0, degrees, 0}; }

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

const char* OpName(Op op) {
    switch (op) {
    case Op::Press: return "start/stop press";
    case Op::Reset: return "reset press";
    case Op::Seconds: return "seconds hand";
    case Op::Counter: return "counter hand";
    }
    return "?";
}

// Plays a scenario on a freshly loaded module (stopwatch idle at zero).
void Play(const Scenario& s) {
    Host host(KEL_GAU_PATH);
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const Step& step = s.steps[i];
        SCOPED_TRACE(std::string(s.name) + ", step " + std::to_string(i + 1) + " (" + OpName(step.op) + ")");
        host.set(kTimeToken, step.t);
        const uint64_t before = host.lookup_count(kTimeToken);
        double result = 0.0;
        switch (step.op) {
        case Op::Press: result = host.click("Clock", kStartStopEntry); break;
        case Op::Reset: result = host.click("Clock", kResetEntry); break;
        case Op::Seconds: result = host.call_callback("Clock", kSecondsHand).value; break;
        case Op::Counter: result = host.call_callback("Clock", kCounterHand).value; break;
        }
        EXPECT_TRUE(SameBitsOrNan(result, step.expected));
        EXPECT_EQ(host.lookup_count(kTimeToken) - before, uint64_t(step.lookups)) << "time lookups";
    }
    EXPECT_EQ(host.service_calls().size(), host.lookup_count(kTimeToken)) << "LookupVar is the only service used";
    EXPECT_TRUE(host.key_events().empty());
}

}  // namespace

TEST(ClockRecords, FaceThenCounterHourMinuteAndSecondsHands) {
    Host host(KEL_GAU_PATH);
    const GaugeModel& g = host.gauge("Clock");
    ASSERT_EQ(g.elements.size(), 5u);
    EXPECT_EQ(g.elements[0].kind, ElementKind::Static);
    EXPECT_EQ(g.elements[0].resource_id, 0x1100u);
    struct Row {
        int index;
        uint32_t resource;
        std::array<int32_t, 2> position, offset;
    };
    for (const Row& row : {Row{kCounterHand, 0x1101, {113, 202}, {6, 68}},
                           Row{kHourHand, 0x1102, {194, 202}, {27, 123}},
                           Row{kMinuteHand, 0x1103, {194, 202}, {4, 148}},
                           Row{kSecondsHand, 0x1104, {194, 202}, {6, 148}}}) {
        SCOPED_TRACE("element " + std::to_string(row.index));
        const ElementModel& e = g.elements[size_t(row.index)];
        EXPECT_EQ(e.parent, row.index - 1);
        EXPECT_EQ(e.kind, ElementKind::Needle);
        EXPECT_EQ(e.resource_id, row.resource);
        EXPECT_EQ(e.position, row.position);
        EXPECT_EQ(e.offset, row.offset);
        EXPECT_EQ(e.draw_flags, 7u);
        ASSERT_EQ(e.vars.size(), 1u);
        EXPECT_EQ(e.vars[0].token, kTimeToken);
        EXPECT_EQ(e.nonlinearity_table, 0u);
        EXPECT_EQ(e.nonlinearity_count, 0u);
        EXPECT_EQ(e.max_degrees_per_tick, 0);
        EXPECT_NE(e.value_callback, 0u);
    }
    EXPECT_EQ(g.elements[kSecondsHand].next_elements, 0u);
}

// Seconds / 120 and seconds / 10, unreduced, from the element's own variable, no lookup.
TEST(Clock, HourAndMinuteHandsFollowTheTimeOfDay) {
    struct Case {
        double t, hour, minute;
    };
    const Case cases[] = {
        {0.0,      0.0,                  0.0},
        {-0.0,    -0.0,                 -0.0},
        {1.0,      0.0083333333333333332, 0.10000000000000001},
        {3600.0,   30.0,                 360.0},
        {43200.0,  360.0,                4320.0},
        {50000.0,  416.66666666666669,   5000.0},
        {86399.0,  719.99166666666667,   8639.8999999999996},
        {-60.0,   -0.5,                 -6.0},
        {kInf,     kInf,                 kInf},
        {kNaN,     kNaN,                 kNaN},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        host.set(kTimeToken, c.t);
        SCOPED_TRACE("T " + std::to_string(c.t));
        EXPECT_TRUE(SameBitsOrNan(host.call_callback("Clock", kHourHand).value, c.hour));
        EXPECT_TRUE(SameBitsOrNan(host.call_callback("Clock", kMinuteHand).value, c.minute));
    }
    EXPECT_TRUE(host.service_calls().empty());
}

TEST(Stopwatch, ScenariosStepByStep) {
    const Scenario scenarios[] = {
        {"idle after load", {
            SecondsHeld(0.0), Counter(0.0), Reset(), SecondsHeld(0.0), Counter(0.0),
        }},
        {"start, run, stop, resume, stop, resume", {
            Press(1000.0),              // Running, start 1000
            Counter(0.0),                   // nothing evaluated yet
            Seconds(1030.0, 180.0), Counter(12.0),
            Seconds(1044.0, 264.0), Counter(17.6),
            Press(1045.0),                  // Stopped, mark 1045: the hands keep 44 s
            SecondsHeld(264.0), Counter(17.6),
            Press(1100.0),                  // Resumed: pause 55
            Seconds(1110.0, 330.0), Counter(22.0),
            Press(1120.0),                  // Stopped again; the pauses stay 55
            SecondsHeld(330.0),
            Press(1150.0),                  // Resumed: pause 30, 85 in all
            Seconds(1200.0, 690.0), Counter(46.0),
        }},
        {"a stop press does not recompute elapsed", {
            Press(1000.0), Press(1045.0), SecondsHeld(0.0), Counter(0.0),
        }},
        {"a click never returns to Running: after stop and resume the correction applies", {
            Press(1000.0), Press(1010.0), Press(1010.0),   // pause 0
            Seconds(990.0, 300.0),          // -10 + 60 = 50; Running would give -60
        }},
        {"reset while Running", {
            Press(1000.0), Seconds(1030.0, 180.0), Reset(),
            SecondsHeld(0.0), Counter(0.0),
            Press(2000.0), Seconds(2010.0, 60.0), Counter(4.0),  // afresh from the new T
        }},
        {"reset while Stopped", {
            Press(1000.0), Seconds(1030.0, 180.0), Press(1040.0), Reset(),
            SecondsHeld(0.0), Counter(0.0),
            Press(3000.0), Seconds(3005.0, 30.0),
        }},
        {"reset while Resumed clears the pauses", {
            Press(1000.0), Press(1010.0), Press(1110.0),   // pause 100
            Seconds(1120.0, 120.0), Reset(), SecondsHeld(0.0), Counter(0.0),
            Press(2000.0), Press(2010.0), Press(2020.0),   // pause 10 only
            Seconds(2030.0, 120.0), Counter(8.0),
        }},
        {"reset while Idle changes nothing", {
            Reset(), Reset(), SecondsHeld(0.0), Counter(0.0), Press(50.0), Seconds(60.0, 60.0),
        }},
        {"negative difference while Running: no correction", {
            Press(500.0), Seconds(490.0, -60.0), Counter(-4.0),
            Seconds(400.0, -600.0),         // far below -60, still none
        }},
        {"difference exactly zero while Resumed: no correction", {
            Press(1000.0), Press(1010.0), Press(1020.0),   // pause 10
            Seconds(1010.0, 0.0), Counter(0.0),
        }},
        {"negative difference while Resumed: one 60 added", {
            Press(1000.0), Press(1010.0), Press(1020.0),   // pause 10
            Seconds(1005.0, 330.0), Counter(22.0),             // -5 becomes 55
            Seconds(935.0, -90.0), Counter(-6.0),              // -75 becomes -15, only one 60
        }},
        {"negative pause at the resume press: one 60 added", {
            Press(86000.0), Seconds(86390.0, 2340.0),
            Press(86390.0),                 // stop mark 86390
            Press(10.0),                    // pause -86380 + 60 = -86320
            Seconds(20.0, 2040.0),          // (20 - 86000) + 86320 = 340
            Counter(136.0),
        }},
        {"no correction of start_time or the stop mark", {
            Press(-20.0), Seconds(10.0, 180.0),            // start -20 kept as is
            Press(-5.0),                    // mark -5 kept as is
            Press(100.0),                   // pause 105
            Seconds(200.0, 690.0),          // 220 - 105 = 115
        }},
        {"midnight while Running", {
            Press(86000.0), Seconds(86390.0, 2340.0),
            Seconds(10.0, -515940.0),       // 10 - 86000: 1440 turns below 410 s
            Counter(-34396.0),
        }},
        {"midnight while Resumed", {
            Press(86000.0), Press(86100.0), Press(86200.0),  // pause 100
            Seconds(86300.0, 1200.0),
            Seconds(100.0, -515640.0),      // (100 - 86000) - 100 + 60
            Counter(-34376.0),
        }},
        {"the counter goes beyond one turn", {
            Press(0.0), Seconds(900.0, 5400.0), Counter(360.0),
            Seconds(1800.0, 10800.0), Counter(720.0),
        }},
    };
    for (const Scenario& s : scenarios) Play(s);
}

// Two Clock gauges on one module show one stopwatch: a press on either advances it, and a
// counter hand shows what the last seconds-hand evaluation of either computed.
TEST(Stopwatch, TwoClockGaugesShareOneStopwatch) {
    Host host(KEL_GAU_PATH);
    host.set(kTimeToken, 1000.0);
    host.click("Clock", kStartStopEntry);  // pressed on the first clock

    host.set(kTimeToken, 1030.0);
    auto first = host.update("Clock");
    EXPECT_EQ(first[kCounterHand].value, 0.0) << "counter drawn before this update's seconds hand";
    EXPECT_EQ(first[kSecondsHand].value, 180.0);

    host.set(kTimeToken, 1040.0);
    auto second = host.update("Clock");
    EXPECT_EQ(second[kCounterHand].value, 12.0) << "the first clock's 30 s";
    EXPECT_EQ(second[kSecondsHand].value, 240.0);

    host.click("Clock", kStartStopEntry);  // stopped from the second clock
    host.set(kTimeToken, 5000.0);
    for (int clock = 0; clock < 2; ++clock) {
        auto r = host.update("Clock");
        EXPECT_EQ(r[kCounterHand].value, 16.0);
        EXPECT_EQ(r[kSecondsHand].value, 240.0);
        EXPECT_EQ(r[kHourHand].value, 5000.0 / 120.0);
        EXPECT_EQ(r[kMinuteHand].value, 500.0);
    }
    // Lookups: the start and stop presses and the two running evaluations only.
    EXPECT_EQ(host.lookup_count(kTimeToken), 4u);
}

// The stopwatch lives as long as the module: ModuleInit and ModuleDeinit leave it alone.
TEST(Stopwatch, ModuleInitAndDeinitLeaveItRunning) {
    Host host(KEL_GAU_PATH);
    host.set(kTimeToken, 100.0);
    host.click("Clock", kStartStopEntry);
    host.machine().call(host.model().module_deinit, {}, Convention::Stdcall, Returns::Nothing, "ModuleDeinit");
    host.machine().call(host.model().module_init, {}, Convention::Stdcall, Returns::Nothing, "ModuleInit");
    host.set(kTimeToken, 110.0);
    EXPECT_EQ(host.call_callback("Clock", kSecondsHand).value, 60.0);
}

// Both knobs ignore the host's two words and return 1.
TEST(Stopwatch, KnobsIgnoreTheirArgumentsAndReturnOne) {
    Host host(KEL_GAU_PATH);
    host.set(kTimeToken, 10.0);
    EXPECT_EQ(host.click("Clock", kStartStopEntry, 0xFFFFFFFF, 0x12345678), 1u);
    host.set(kTimeToken, 20.0);
    EXPECT_EQ(host.call_callback("Clock", kSecondsHand).value, 60.0);
    EXPECT_EQ(host.click("Clock", kResetEntry, 0xDEADBEEF, 7), 1u);
    EXPECT_EQ(host.call_callback("Clock", kSecondsHand).value, 0.0);
}

namespace {

// The module's writable data (its own sections, not the import table), address by byte.
std::map<uint32_t, uint8_t> WritableBytes(Host& host) {
    std::map<uint32_t, uint8_t> all;
    for (const Section& s : host.module().pe().sections) {
        if (!s.writable() || s.name == ".idata") continue;
        const uint32_t start = host.module().base() + s.rva;
        auto bytes = host.read(start, s.virtual_size);
        for (uint32_t i = 0; i < bytes.size(); ++i) all[start + i] = bytes[i];
    }
    return all;
}

// Finds the stopwatch's state word: the one 32-bit word that a start press turns from 0 to 1.
uint32_t FindStateWord(Host& host) {
    const auto before = WritableBytes(host);
    host.click("Clock", kStartStopEntry);
    const auto after = WritableBytes(host);
    std::vector<uint32_t> found;
    for (auto [address, byte] : after)
        if (address % 4 == 0 && before.count(address + 3) && host.read_u32(address) == 1) {
            bool was_zero = true;
            for (uint32_t k = 0; k < 4; ++k) was_zero = was_zero && before.at(address + k) == 0;
            if (was_zero) found.push_back(address);
        }
    if (found.size() != 1) throw Error("expected one state word, found " + std::to_string(found.size()));
    return found[0];
}

}  // namespace

// A state outside 0..3: the seconds hand shows 0 and the start/stop knob does nothing, both
// without a lookup; the counter still shows `elapsed`; only a reset brings back Idle.
TEST(Stopwatch, UnknownStateIsInertUntilReset) {
    for (int32_t unknown : {4, 7, -1, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE("state " + std::to_string(unknown));
        Host host(KEL_GAU_PATH);
        host.set(kTimeToken, 1000.0);
        const uint32_t state = FindStateWord(host);
        host.set(kTimeToken, 1030.0);
        ASSERT_EQ(host.call_callback("Clock", kSecondsHand).value, 180.0);  // elapsed 30

        host.machine().write_u32(state, uint32_t(unknown));
        host.clear_logs();
        host.set(kTimeToken, 1100.0);
        EXPECT_EQ(host.call_callback("Clock", kSecondsHand).value, 0.0);
        EXPECT_EQ(host.call_callback("Clock", kCounterHand).value, 12.0);
        EXPECT_EQ(host.click("Clock", kStartStopEntry), 1u);
        EXPECT_EQ(host.read_u32(state), uint32_t(unknown)) << "the press changed nothing";
        EXPECT_TRUE(host.service_calls().empty()) << "no lookup in an unknown state";

        EXPECT_EQ(host.click("Clock", kResetEntry), 1u);
        EXPECT_EQ(host.read_u32(state), 0u);
        EXPECT_EQ(host.call_callback("Clock", kCounterHand).value, 0.0);
        host.click("Clock", kStartStopEntry);  // starts afresh at 1100
        host.set(kTimeToken, 1110.0);
        EXPECT_EQ(host.call_callback("Clock", kSecondsHand).value, 60.0);
    }
}
