// The whole module walked from Linkage by raw byte offsets: every gauge's chain, each
// element once, child lists of one element and a null, and the totals the host expects.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "gaugehost.h"

namespace {

using gaugehost::Host;

// Offsets the host reads.
constexpr uint32_t kGaugeTable = 0x18, kHeaderElements = 0x08;
constexpr uint32_t kType = 0x00, kResource = 0x04, kPosition = 0x08, kOffset = 0x18, kGaugeHeader = 0x20,
                   kNext = 0x28, kDrawFlags = 0x30;
constexpr uint32_t kNeedleTable = 0x70, kNeedleCount = 0x74, kPointSize = 24, kPointDegrees = 0x10;

struct Totals {
    int elements = 0;
    std::map<uint32_t, int> by_kind;
    std::map<uint32_t, int> by_draw_flags;
};

// Reads a child list: exactly one element, then null.
uint32_t OnlyChild(const Host& host, uint32_t list, const std::string& where) {
    EXPECT_NE(list, 0u) << where;
    if (list == 0) return 0;
    EXPECT_EQ(host.read_u32(list + 4), 0u) << where << ": list must hold one element and a null";
    return host.read_u32(list);
}

void WalkModule(const Host& host, Totals& totals) {
    std::set<uint32_t> seen;
    const uint32_t linkage = host.linkage();
    for (uint32_t slot = 0; slot < 17; ++slot) {
        const uint32_t header = host.read_u32(linkage + kGaugeTable + 4 * slot);
        const std::string name = host.model().gauges.at(slot).name;
        SCOPED_TRACE("slot " + std::to_string(slot + 1) + " " + name);
        uint32_t element = OnlyChild(host, host.read_u32(header + kHeaderElements), "element_list");
        bool root = true;
        for (int depth = 0; element != 0; ++depth) {
            SCOPED_TRACE("depth " + std::to_string(depth));
            ASSERT_LT(depth, 8) << "chain too long";
            ASSERT_TRUE(seen.insert(element).second) << "element reached twice";
            ++totals.elements;
            const uint32_t type = host.read_u32(element + kType);
            ++totals.by_kind[type];
            ++totals.by_draw_flags[host.read_u32(element + kDrawFlags)];
            EXPECT_EQ(host.read_u32(element + kGaugeHeader), header) << "gauge_header must point back";
            if (root) {
                EXPECT_EQ(type, 0u) << "roots are static images";
                EXPECT_EQ(host.read_u32(element + kPosition), 0u);
                EXPECT_EQ(host.read_u32(element + kPosition + 4), 0u);
                EXPECT_EQ(host.read_u32(element + kOffset), 0u);
                EXPECT_EQ(host.read_u32(element + kOffset + 4), 0u);
                root = false;
            }
            if (type == 2) EXPECT_EQ(host.read_u32(element + kResource), 0xFFFFFFFFu);
            if (type == 1) {
                const uint32_t table = host.read_u32(element + kNeedleTable);
                const uint32_t count = host.read_u32(element + kNeedleCount);
                EXPECT_EQ(table == 0, count == 0) << "table and count go together";
                for (uint32_t p = 0; p < count; ++p)
                    for (uint32_t b = 0; b < 8; b += 4)
                        EXPECT_EQ(host.read_u32(table + p * kPointSize + kPointDegrees + b), 0u)
                            << "degrees of point " << p;
            }
            const uint32_t next = host.read_u32(element + kNext);
            element = next ? OnlyChild(host, next, "next_elements") : 0;  // a leaf is null, never an empty list
        }
    }
    EXPECT_EQ(host.read_u32(linkage + kGaugeTable + 4 * 17), 0u) << "gauge table ends with null";
}

TEST(ModuleWalk, FiftyTwoElementsEachReachedOnce) {
    Host host(KEL_GAU_PATH);
    Totals t;
    WalkModule(host, t);
    EXPECT_EQ(t.elements, 52);
    const std::map<uint32_t, int> kinds = {{0, 21}, {1, 21}, {2, 2}, {4, 3}, {5, 3}, {6, 2}};
    EXPECT_EQ(t.by_kind, kinds) << "static, needle, string, icon, moving image, sprite";
    const std::map<uint32_t, int> draw_flags = {{1, 16}, {3, 6}, {5, 2}, {7, 28}};
    EXPECT_EQ(t.by_draw_flags, draw_flags);
}

}  // namespace
