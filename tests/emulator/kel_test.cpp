// The real KEL.gau: it loads at its preferred base and elsewhere, and reads the same.
#include "gaugehost.h"
#include "support.h"

using namespace gaugehost;

namespace {

std::vector<std::string> names(const Host& host) {
    std::vector<std::string> out;
    for (const GaugeModel& g : host.model().gauges) out.push_back(g.name);
    return out;
}

TEST(KelModule, LoadsAtItsPreferredBaseAndElsewhereWithTheSameGauges) {
    if (!fixtures::have_kel()) GTEST_SKIP() << KEL_GAU << " is not built yet";
    Host preferred(KEL_GAU);
    EXPECT_EQ(preferred.module().base(), preferred.module().pe().preferred_base);
    const std::vector<std::string> expected = {"AIRSPEED", "ALTIMETER", "KOHLSMAN", "RADALT", "COMPASS", "HEADINGBUG",
                                               "VSI", "ADF", "DEVIATION", "ARTHORIZON", "ATTITUDE", "OBS",
                                               "RPM", "TORQUE", "FUELFLOW", "TIT", "Clock"};
    EXPECT_EQ(names(preferred), expected);

    uint32_t other = preferred.module().pe().preferred_base == 0x20000000 ? 0x30000000 : 0x20000000;
    Host moved(KEL_GAU, {.base = other});
    EXPECT_EQ(moved.module().base(), other);
    EXPECT_EQ(names(moved), expected);
    // Every pointer the model followed moved by the same distance.
    uint32_t delta = other - preferred.module().base();
    ASSERT_EQ(moved.model().gauges.size(), preferred.model().gauges.size());
    for (size_t i = 0; i < preferred.model().gauges.size(); ++i) {
        const GaugeModel& a = preferred.model().gauges[i];
        const GaugeModel& b = moved.model().gauges[i];
        EXPECT_EQ(b.header, a.header + delta) << a.name;
        ASSERT_EQ(b.elements.size(), a.elements.size()) << a.name;
        for (size_t k = 0; k < a.elements.size(); ++k) EXPECT_EQ(b.elements[k].address, a.elements[k].address + delta);
        EXPECT_EQ(b.mouse.size(), a.mouse.size()) << a.name;
    }
    preferred.shutdown();
    moved.shutdown();
}

TEST(KelModule, EveryGaugeUpdatesAlikeAtBothBases) {
    if (!fixtures::have_kel()) GTEST_SKIP() << KEL_GAU << " is not built yet";
    Host preferred(KEL_GAU);
    Host moved(KEL_GAU, {.base = preferred.module().pe().preferred_base + 0x10000000});
    // Values for a broad set of tokens, so gated callbacks take their open paths too.
    const std::pair<uint32_t, double> sets[] = {{20, 300}, {39, 15}, {40, 60},  {41, -30},  {44, 1},    {45, 123.4},
                                                {49, 300}, {61, 95}, {69, 20},  {74, 4321}, {75, 1013}, {77, 5},
                                                {80, -12}, {81, 87}, {390, 2000}, {421, 150}, {556, 700}, {557, 45678},
                                                {558, 0.5}, {567, 400}, {614, 80}, {855, 100}};
    for (auto [token, value] : sets) {
        preferred.set(token, value);
        moved.set(token, value);
    }
    for (const GaugeModel& g : preferred.model().gauges) {
        auto a = preferred.update(g.name);
        auto b = moved.update(g.name);
        ASSERT_EQ(a.size(), b.size()) << g.name;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].value, b[i].value) << g.name << " element " << i;
            EXPECT_EQ(a[i].text, b[i].text) << g.name << " element " << i;
            EXPECT_EQ(a[i].x, b[i].x) << g.name << " element " << i;
            EXPECT_EQ(a[i].y, b[i].y) << g.name << " element " << i;
            EXPECT_EQ(a[i].rotation, b[i].rotation) << g.name << " element " << i;
        }
    }
}

}  // namespace
