// ADF: the gate on token 20, the parked needle, and the flag that follows the needle's
// last call through module-global state.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "gaugehost.h"
#include "test_support.h"

namespace {

using gaugehost::Callback;
using gaugehost::Host;

constexpr int kNeedle = 1, kFlag = 2;

using Tokens = std::vector<uint32_t>;

// Tokens of the standalone records passed to LookupVar, in call order.
Tokens LookedUpTokens(const Host& host) {
    Tokens tokens;
    for (const auto& call : host.service_calls()) {
        EXPECT_EQ(call.entry, gaugehost::service::kLookupVar) << "only LookupVar is expected";
        if (call.entry == gaugehost::service::kLookupVar) tokens.push_back(host.read_u32(call.args[0]));
    }
    return tokens;
}

TEST(Adf, ChainRecords) {
    Host host(KEL_GAU_PATH);
    const auto& g = host.gauge("ADF");
    ASSERT_EQ(g.slot, 8);
    ASSERT_EQ(g.elements.size(), 3u);

    const auto& face = g.elements[0];
    EXPECT_EQ(face.kind, gaugehost::ElementKind::Static);
    EXPECT_EQ(face.resource_id, 0x1050u);
    EXPECT_EQ(face.draw_flags, 1u);

    const auto& needle = g.elements[kNeedle];
    EXPECT_EQ(needle.kind, gaugehost::ElementKind::Needle);
    EXPECT_EQ(needle.resource_id, 0x1051u);
    EXPECT_EQ(needle.position, (std::array<int32_t, 2>{199, 199}));
    EXPECT_EQ(needle.offset, (std::array<int32_t, 2>{26, 162}));
    EXPECT_EQ(needle.draw_flags, 7u);
    EXPECT_EQ(needle.vars.at(0).token, 39u);
    EXPECT_EQ(needle.nonlinearity_table, 0u);
    EXPECT_EQ(needle.nonlinearity_count, 0u);
    EXPECT_EQ(needle.max_degrees_per_tick, 6);
    EXPECT_NE(needle.value_callback, 0u);

    const auto& flag = g.elements[kFlag];
    EXPECT_EQ(flag.kind, gaugehost::ElementKind::Icon);
    EXPECT_EQ(flag.resource_id, 0x1052u);
    EXPECT_EQ(flag.position, (std::array<int32_t, 2>{350, 180}));
    EXPECT_EQ(flag.offset, (std::array<int32_t, 2>{0, 0}));
    EXPECT_EQ(flag.draw_flags, 7u);
    EXPECT_EQ(flag.vars.at(0).token, 0u);
    EXPECT_EQ(flag.image_count, 2u);
    EXPECT_EQ(flag.parent, kNeedle);
}

// The gate passes from 256.0 up; below it the heading is not even looked up.
TEST(Adf, GateParksNeedleAndRaisesFlag) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double gate, heading, bearing;
        double needle;
        double flag;
    };
    const Case cases[] = {
        //  gate     heading  bearing   needle  flag
        {    0.0,     123.0,    45.0,    90.0,  1.0},
        {   -5.0,     123.0,    45.0,    90.0,  1.0},
        {  255.9,     123.0,    45.0,    90.0,  1.0},
        {  256.0,     350.0,    30.0,   380.0,  0.0},  // 256 itself is a signal; the sum is not wrapped
        {  256.0,       0.0,     0.0,     0.0,  0.0},
        { 1000.0,      10.0,   -30.0,   -20.0,  0.0},
        {   kNaN,       1.5,     2.0,     3.5,  0.0},  // not below 256: follows the bearing
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases) {
        SCOPED_TRACE("gate " + std::to_string(c.gate));
        host.set(20, c.gate);
        host.set(81, c.heading);
        host.set(39, c.bearing);
        host.clear_logs();
        const double needle = host.call_callback("ADF", kNeedle).value;
        EXPECT_EQ(Bits(needle), Bits(c.needle)) << needle;
        const bool parked = c.flag == 1.0;
        const Tokens looked_up = parked ? Tokens{20} : Tokens{20, 81};
        EXPECT_EQ(LookedUpTokens(host), looked_up);

        host.clear_logs();
        const double flag = host.call_callback("ADF", kFlag).value;
        EXPECT_EQ(Bits(flag), Bits(c.flag));
        EXPECT_TRUE(host.service_calls().empty()) << "the flag calls no service";
    }
}

// While parked the heading record keeps the value of its last lookup.
TEST(Adf, ParkedNeedleLeavesHeadingRecordAlone) {
    Host host(KEL_GAU_PATH);
    host.set(20, 300.0);
    host.set(81, 77.0);
    host.call_callback("ADF", kNeedle);
    const uint32_t heading_record = host.service_calls().at(1).args.at(0);
    const uint32_t gate_record = host.service_calls().at(0).args.at(0);
    ASSERT_EQ(host.read_u32(heading_record), 81u);
    ASSERT_EQ(host.read_u32(gate_record), 20u);

    host.set(20, 100.0);
    host.set(81, 200.0);
    host.clear_logs();
    EXPECT_EQ(host.call_callback("ADF", kNeedle).value, 90.0);
    EXPECT_EQ(host.lookups_of_record(heading_record), 0u);
    EXPECT_EQ(host.lookups_of_record(gate_record), 1u);
    EXPECT_EQ(host.read_f64(heading_record + 0x0C), 77.0);

    // Back above the gate: refreshed before it is read.
    host.set(20, 256.0);
    host.set(39, 0.0);
    EXPECT_EQ(host.call_callback("ADF", kNeedle).value, 200.0);
}

// The ADF's heading record is its own: the compass's lookups of token 81 go to another
// record, and each keeps the value of its own last lookup.
TEST(Adf, HeadingRecordIsNotTheCompasss) {
    Host host(KEL_GAU_PATH);
    host.set(20, 256.0);
    host.set(81, 40.0);
    host.call_callback("ADF", kNeedle);
    const uint32_t adf_record = host.service_calls().at(1).args.at(0);

    host.set(81, 90.0);
    host.clear_logs();
    host.update("COMPASS");
    ASSERT_EQ(host.lookup_count(81), 1u) << "the compass looks up its own heading once per update";
    const uint32_t compass_record = host.service_calls().at(0).args.at(0);
    EXPECT_NE(compass_record, adf_record);
    EXPECT_EQ(host.lookups_of_record(adf_record), 0u);
    EXPECT_EQ(host.read_f64(adf_record + 0x0C), 40.0);
    EXPECT_EQ(host.read_f64(compass_record + 0x0C), 90.0);
}

// The flag's own variable and token 20 do not move the flag; only the needle's last call does.
TEST(Adf, FlagFollowsLastNeedleCallAcrossUpdates) {
    Host host(KEL_GAU_PATH);
    host.set(20, 0.0);
    EXPECT_EQ(host.call_callback("ADF", kFlag).value, 0.0) << "a fresh module shows the stowed flag";

    host.call_callback("ADF", kNeedle);
    EXPECT_EQ(host.call_callback("ADF", kFlag).value, 1.0);

    host.set(20, 400.0);  // gate passes, but the needle has not run since
    EXPECT_EQ(host.call_callback("ADF", kFlag).value, 1.0);
    host.call_callback("ADF", kNeedle);
    EXPECT_EQ(host.call_callback("ADF", kFlag).value, 0.0);

    // A whole update runs the needle before the flag, so they agree within one update.
    host.set(20, 12.0);
    auto results = host.update("ADF");
    EXPECT_EQ(results[kNeedle].value, 90.0);
    EXPECT_EQ(results[kFlag].value, 1.0);
}

// The state lives as long as the loaded module: a second load starts at 0, and
// ModuleDeinit does not clear the first one's.
TEST(Adf, ParkedStateBelongsToLoadedModule) {
    Host first(KEL_GAU_PATH);
    first.set(20, 0.0);
    first.call_callback("ADF", kNeedle);
    ASSERT_EQ(first.call_callback("ADF", kFlag).value, 1.0);

    Host second(KEL_GAU_PATH);
    EXPECT_EQ(second.call_callback("ADF", kFlag).value, 0.0);

    first.call_routine("ADF", 7);  // GaugeKill of an instance changes nothing
    EXPECT_EQ(first.call_callback("ADF", kFlag).value, 1.0);
    first.shutdown();  // ModuleDeinit and detach
    EXPECT_EQ(first.call_callback("ADF", kFlag).value, 1.0);
}

}  // namespace
