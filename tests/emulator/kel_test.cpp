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

}  // namespace
